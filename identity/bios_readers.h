// The BIOS release date and the BIOS version strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "identity/text.h"
#include "platform/memory_reader.h"
#include "platform/registry_api.h"

using StringList = std::vector<Text>;

constexpr char kSystemDescriptionKey[] = "HARDWARE\\DESCRIPTION\\System";
constexpr char kSystemBiosDate[] = "SystemBiosDate";
constexpr char kSystemBiosVersion[] = "SystemBiosVersion";

constexpr uint32_t kRomDateAddress = 0xFFFF5;  // F000:FFF5
constexpr size_t kRomDateLength = 8;
constexpr char kRomDatePlaceholder[] = "XX.XX.XXXX";

constexpr char kVersionSeparator[] = " | ";
constexpr size_t kVersionTextLimit = 255;

// Bytes 1-2, "/", bytes 4-5, "/", bytes 7-8 (counted from 1); bytes 3 and 6 are dropped.
Text RebuildRomDate(const uint8_t rom[kRomDateLength]);

// The strings of multi-string data held in the first `size` bytes of `data`: each runs to
// its zero byte or to the end of the data; an empty string or the end of the data ends
// the list. Nothing at or past `size` is looked at.
StringList SplitMultiString(const uint8_t* data, size_t size);

// The first 255 characters of the strings joined with " | ".
Text JoinVersionStrings(const StringList& strings);

// NT family: "SystemBiosDate" from the registry (may raise ERegistryException).
// 9x family: the ROM date field rebuilt, or "XX.XX.XXXX" when it cannot be read.
Text ReadBiosDate(RegistryApi& registry, MemoryReader& memory, uint32_t platform_family);

// NT family: "SystemBiosVersion" split and joined; 9x family: empty text. Never raises.
Text ReadBiosVersion(RegistryApi& registry, uint32_t platform_family);

// The same on the running system.
Text ReadBiosDate();
Text ReadBiosVersion();
