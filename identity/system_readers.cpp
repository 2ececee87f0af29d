// The readers as the program calls them: no arguments, the system's own operations.
#include "identity/bios_readers.h"
#include "identity/drive_serial.h"
#include "identity/platform_family.h"
#include "platform/system_services.h"

Text ReadDriveSerial() { return ReadDriveSerial(SystemDeviceIo(), PlatformFamily); }

Text ReadBiosDate() { return ReadBiosDate(SystemRegistry(), SystemMemory(), PlatformFamily); }

Text ReadBiosVersion() { return ReadBiosVersion(SystemRegistry(), PlatformFamily); }
