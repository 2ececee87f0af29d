/* What the test device does for one case, read from its service key's Parameters subkey
 * each time a handle is opened, so a test switches cases with `reg add` alone:
 *
 *   Mode     REG_SZ  "answer" (default): reply with the fixture's block
 *                    "fail":      the control call fails (STATUS_IO_DEVICE_ERROR)
 *                    "untouched": the control call succeeds and writes nothing back
 *                    "refuse":    the open fails (STATUS_ACCESS_DENIED); Wine 8 gives the
 *                                 program a handle whatever a driver's create returns, so
 *                                 under Wine only stopping the driver makes the open fail
 *   Fixture  REG_SZ  Windows path of a 512-byte IDENTIFY block ("C:\...")
 *   Log      REG_SZ  Windows path of the request log the device appends to
 */
#ifndef TESTDISK_SETTINGS_H
#define TESTDISK_SETTINGS_H

#include <ntddk.h>

#include "identify_request.h"

typedef enum DeviceMode { kModeAnswer, kModeFail, kModeUntouched, kModeRefuse, kModeUnknown } DeviceMode;

#define SETTINGS_PATH_CHARS 260

/* Tags this driver's pool allocations ("Tdsk" in a pool dump). */
#define POOL_TAG 0x6B736454u

/* Keeps "<RegistryPath>\Parameters" for the reads below. */
NTSTATUS RememberParametersKey(const UNICODE_STRING *registry_path);
void ForgetParametersKey(void);

DeviceMode ReadMode(void);
const char *ModeName(DeviceMode mode);

/* Reads the fixture into `block`; fails unless the file holds exactly 512 bytes. */
NTSTATUS ReadFixture(unsigned char block[IDENTIFY_BLOCK_SIZE]);

/* The "Log" value as an NT path ("\??\C:\..."); false when there is none. */
BOOLEAN ReadLogPath(WCHAR *out, USHORT out_chars);

#endif
