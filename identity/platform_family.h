// The platform identifier that the operating system's version query reports once at
// start-up (OSVERSIONINFO.dwPlatformId), or 0 when the query fails.
#pragma once

#include <cstdint>

constexpr uint32_t kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS, the 9x family
constexpr uint32_t kPlatformWin32Nt = 2;       // VER_PLATFORM_WIN32_NT

// Set once by InitPlatformFamily during module initialisation; read by the readers.
extern uint32_t PlatformFamily;

// The version query behind PlatformFamily: fills the platform id and returns true, or
// returns false when the operating system refuses the query.
using VersionQuery = bool (*)(uint32_t* platform_id);

void InitPlatformFamily(VersionQuery query);

// Only VER_PLATFORM_WIN32_NT selects the NT-family paths; every other value, 0 and 1
// included, selects the 9x-family paths.
inline bool IsNtFamily(uint32_t family) { return family == kPlatformWin32Nt; }
