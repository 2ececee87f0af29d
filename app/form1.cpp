#include "app/form1.h"

#include "app/identification_run.h"
#include "identity/bios_readers.h"
#include "identity/drive_serial.h"
#include "platform/system_services.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TApplication& application) : TForm(application) {
  FormProperties properties;
  properties.caption = "Form1";
  properties.left = 424;
  properties.top = 258;
  properties.client_width = 250;
  properties.client_height = 158;
  properties.screen_center = true;
  CreateHandle(properties);
}

void TForm1::FormCreate(TForm* /*sender*/) {
  RunIdentification(SystemFileApi(), {ReadDriveSerial, ReadBiosDate, ReadBiosVersion});
}
