#include "identity/bios_readers.h"

#include <algorithm>
#include <vector>

#include "identity/platform_family.h"
#include "platform/registry.h"

namespace {

Text ReadRomDate(MemoryReader& memory) {
  try {
    uint8_t rom[kRomDateLength] = {};
    if (!memory.Read(kRomDateAddress, rom, sizeof rom)) return kRomDatePlaceholder;
    return RebuildRomDate(rom);
  } catch (...) {  // no error leaves the reader on this family
    return kRomDatePlaceholder;
  }
}

}  // namespace

Text ReadBiosDate(RegistryApi& registry, MemoryReader& memory, uint32_t platform_family) {
  if (!IsNtFamily(platform_family)) return ReadRomDate(memory);

  TRegistry reg(registry);
  reg.SetRootKey(kHkeyLocalMachine);
  if (!reg.OpenKeyReadOnly(kSystemDescriptionKey)) return Text();
  return reg.ReadString(kSystemBiosDate);
}

Text ReadBiosVersion(RegistryApi& registry, uint32_t platform_family) {
  StringList strings;
  if (IsNtFamily(platform_family)) {
    RegistryKeyOwner key(registry);
    uint32_t type = kRegNone;
    uint32_t size = 0;
    if (key.Open(kHkeyLocalMachine, kSystemDescriptionKey, kKeyRead) &&
        registry.QueryValue(key.get(), kSystemBiosVersion, &type, nullptr, &size) ==
            kErrorSuccess) {
      std::vector<uint8_t> data(size);
      uint32_t delivered = size;
      // A failed read (the value grew since the size query, say) yields no strings.
      if (size > 0 && registry.QueryValue(key.get(), kSystemBiosVersion, &type, data.data(),
                                          &delivered) == kErrorSuccess) {
        strings = SplitMultiString(data.data(), std::min<size_t>(delivered, size));
      }
    }
  }
  return JoinVersionStrings(strings);
}
