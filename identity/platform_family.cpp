#include "identity/platform_family.h"

uint32_t PlatformFamily = 0;

void InitPlatformFamily(VersionQuery query) {
  uint32_t id = 0;
  PlatformFamily = (query != nullptr && query(&id)) ? id : 0;
}
