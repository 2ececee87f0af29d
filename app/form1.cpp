#include "app/form1.h"

#include <cstring>
#include <string>

#include "app/identification_run.h"
#include "identity/bios_readers.h"
#include "identity/drive_serial.h"
#include "platform/exceptions.h"
#include "platform/system_services.h"

TForm1* Form1 = nullptr;

namespace {

constexpr char kDefinitionResource[] = "TFORM1";

using CreateHandler = void (TForm1::*)(TForm*);
using IdleHandler = void (TForm1::*)(TApplication*, bool&);

// The handlers a definition may name, the way the form's published methods are found.
CreateHandler FindCreateHandler(const std::string& name) {
  if (name.empty()) return nullptr;
  if (name == "FormCreate") return &TForm1::FormCreate;
  throw Exception("Method " + name + " not found");
}

IdleHandler FindIdleHandler(const std::string& name) {
  if (name.empty()) return nullptr;
  if (name == "ApplicationEvents1Idle") return &TForm1::ApplicationEvents1Idle;
  throw Exception("Method " + name + " not found");
}

}  // namespace

TForm1::TForm1(TApplication& application) : TForm(application) {
  // In the definition's order: the form's own values, Image1 with its picture's header,
  // ApplicationEvents1 attached to the idle step; then the window, hidden.
  const WindowDefinition definition = LoadWindowDefinition(application.Instance(),
                                                           kDefinitionResource);
  on_create_ = FindCreateHandler(definition.form.on_create);
  Image1 = std::make_unique<TImage>(definition.image);
  ApplicationEvents1 = std::make_unique<TApplicationEvents>(application);
  if (const IdleHandler idle = FindIdleHandler(definition.application_events.on_idle)) {
    ApplicationEvents1->OnIdle = [this, idle](TApplication* sender, bool& done) {
      (this->*idle)(sender, done);
    };
  }
  CreateHandle(definition.form);
}

TForm1::~TForm1() {
  // The global names the one instance only while it exists.
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreateHandler() {
  if (on_create_ != nullptr) (this->*on_create_)(this);
}

void TForm1::Paint(HDC dc, const RECT& client) {
  TForm::Paint(dc, client);
  Image1->Paint(dc);
}

void TForm1::FormCreate(TForm* /*sender*/) {
  RunIdentification(SystemFileApi(), {ReadDriveSerial, ReadBiosDate, ReadBiosVersion});
}

void TForm1::ApplicationEvents1Idle(TApplication* /*sender*/, bool& /*done*/) {
  // Paint whatever is waiting to be painted now; nothing happens when nothing is.
  if (Form1 != nullptr && Form1->Handle() != nullptr) UpdateWindow(Form1->Handle());
}
