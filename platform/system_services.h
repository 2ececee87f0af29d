// The operating system's own implementations of the seams, for the running program.
#pragma once

#include <cstdint>

#include "platform/device_io.h"
#include "platform/memory_reader.h"
#include "platform/registry_api.h"

DeviceIo& SystemDeviceIo();
RegistryApi& SystemRegistry();
MemoryReader& SystemMemory();

// GetVersionExA's dwPlatformId; false when the query fails.
bool QuerySystemPlatformId(uint32_t* platform_id);

#include "platform/file_api.h"

FileApi& SystemFileApi();
