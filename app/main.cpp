// The program block: the whole life of the process.
#include <windows.h>

#include <exception>
#include <string>
#include <typeinfo>

#include "app/form1.h"
#include "app/identification_run.h"
#include "identity/platform_family.h"
#include "platform/app_title.h"
#include "platform/exception_display.h"
#include "platform/exceptions.h"
#include "platform/system_services.h"
#include "platform/win32/application.h"
#include "platform/win32/module_name.h"

namespace {

constexpr char kLocalAddress[] = "http://localhost:5683/";
constexpr char kNoText[] = "";

void InitializeModules() {
  InitPlatformFamily(QuerySystemPlatformId);
  Application = new TApplication();
}

void FinalizeModules() {
  // Reverse order of initialisation: the application object with its forms, then the
  // program's own module.
  delete Application;
  Application = nullptr;
  BiosVersionText.clear();
  BiosVersionText.shrink_to_fit();
}

[[noreturn]] void ShowLastResort(const char* class_name, uintptr_t address,
                                 const std::string& message) {
  const std::string text =
      LastResortText(class_name, FileNamePart(ModuleFileName()), address, message);
  MessageBoxA(nullptr, text.c_str(), kLastResortCaption, MB_OK | MB_TASKMODAL | MB_ICONERROR);
  ExitProcess(1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    InitializeModules();
    Application->CreateForm(Form1);
    // The shell's answer is not looked at: a missing browser shows nothing here.
    ShellExecuteA(Application->Handle(), "open", kLocalAddress, kNoText, kNoText,
                  SW_SHOWNORMAL);
    Application->Terminate();
    Application->Run();
  } catch (const Exception& error) {
    ShowLastResort(error.ClassName(), error.Address(), error.Message());
  } catch (const std::exception& error) {
    ShowLastResort(typeid(error).name(), 0, error.what());
  }
  FinalizeModules();
  ExitProcess(0);
}
