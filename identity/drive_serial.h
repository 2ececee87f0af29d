// The serial number that disk drive 0 reports in its ATA IDENTIFY DEVICE data.
#pragma once

#include <cstdint>

#include "identity/text.h"
#include "platform/device_io.h"

// Exchanges bytes 0 and 1, 2 and 3, ... (length div 2 pairs) in place; a last odd byte
// stays. ATA text fields keep the first character of each word in its high byte.
void SwapBytePairs(uint8_t* bytes, uint32_t length);

// 20 characters once the driver has answered, empty text otherwise. Never raises.
Text ReadDriveSerial(DeviceIo& io, uint32_t platform_family);

// The same on the running system: the real device operations and PlatformFamily.
Text ReadDriveSerial();
