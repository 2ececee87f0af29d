#include <windows.h>

#include "identity/bios_readers.h"
#include "identity/drive_serial.h"
#include "identity/platform_family.h"
#include "platform/system_services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitPlatformFamily(QuerySystemPlatformId);
  const Text serial = Trim(ReadDriveSerial());
  const Text date = Trim(ReadBiosDate());
  const Text version = Trim(ReadBiosVersion());
  (void)serial;
  (void)date;
  (void)version;
  return 0;
}
