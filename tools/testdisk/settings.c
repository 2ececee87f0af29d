/* Reads the Parameters values and the fixture file through the kernel's Zw calls. */
#include "settings.h"


static UNICODE_STRING g_parameters_key;  /* owns its buffer */

NTSTATUS RememberParametersKey(const UNICODE_STRING *registry_path) {
  static const WCHAR kSuffix[] = L"\\Parameters";
  const USHORT size = (USHORT)(registry_path->Length + sizeof kSuffix);
  g_parameters_key.Buffer = ExAllocatePoolWithTag(PagedPool, size, POOL_TAG);
  if (!g_parameters_key.Buffer) return STATUS_INSUFFICIENT_RESOURCES;
  g_parameters_key.Length = 0;
  g_parameters_key.MaximumLength = size;
  RtlAppendUnicodeStringToString(&g_parameters_key, registry_path);
  RtlAppendUnicodeToString(&g_parameters_key, kSuffix);
  return STATUS_SUCCESS;
}

void ForgetParametersKey(void) {
  if (g_parameters_key.Buffer) ExFreePoolWithTag(g_parameters_key.Buffer, POOL_TAG);
  g_parameters_key.Buffer = NULL;
}

/* Copies the REG_SZ value `name` into `out` with its terminator; false when it is missing,
 * of another type, empty or too long. */
static BOOLEAN ReadString(const WCHAR *name, WCHAR *out, USHORT out_chars) {
  struct {
    KEY_VALUE_PARTIAL_INFORMATION info;
    WCHAR room[SETTINGS_PATH_CHARS + 1];
  } value;
  OBJECT_ATTRIBUTES attributes;
  UNICODE_STRING value_name;
  HANDLE key;
  ULONG size = 0;
  ULONG chars;
  ULONG i;
  NTSTATUS status;

  if (!g_parameters_key.Buffer) return FALSE;
  InitializeObjectAttributes(&attributes, &g_parameters_key,
                             OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
  if (!NT_SUCCESS(ZwOpenKey(&key, KEY_QUERY_VALUE, &attributes))) return FALSE;
  RtlInitUnicodeString(&value_name, name);
  status = ZwQueryValueKey(key, &value_name, KeyValuePartialInformation, &value,
                           sizeof value, &size);
  ZwClose(key);
  if (!NT_SUCCESS(status) || value.info.Type != REG_SZ) return FALSE;
  if (value.info.DataLength > sizeof value - FIELD_OFFSET(KEY_VALUE_PARTIAL_INFORMATION, Data))
    return FALSE;

  chars = value.info.DataLength / sizeof(WCHAR);
  while (chars > 0 && ((const WCHAR *)value.info.Data)[chars - 1] == 0) --chars;
  if (chars == 0 || chars + 1 > out_chars) return FALSE;
  for (i = 0; i < chars; ++i) out[i] = ((const WCHAR *)value.info.Data)[i];
  out[chars] = 0;
  return TRUE;
}

static BOOLEAN SameWord(const WCHAR *a, const WCHAR *b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

DeviceMode ReadMode(void) {
  static const struct { const WCHAR *name; DeviceMode mode; } kModes[] = {
      {L"answer", kModeAnswer}, {L"fail", kModeFail},
      {L"untouched", kModeUntouched}, {L"refuse", kModeRefuse}};
  WCHAR text[16];
  ULONG i;
  if (!ReadString(L"Mode", text, 16)) return kModeAnswer;
  for (i = 0; i < sizeof kModes / sizeof kModes[0]; ++i) {
    if (SameWord(text, kModes[i].name)) return kModes[i].mode;
  }
  return kModeUnknown;
}

const char *ModeName(DeviceMode mode) {
  switch (mode) {
    case kModeAnswer: return "answer";
    case kModeFail: return "fail";
    case kModeUntouched: return "untouched";
    case kModeRefuse: return "refuse";
    default: return "unknown";
  }
}

/* Reads the Windows path in value `name` and puts "\??\" in front of it. */
static BOOLEAN ReadNtPath(const WCHAR *name, WCHAR *out, USHORT out_chars) {
  static const WCHAR kPrefix[] = L"\\??\\";
  const USHORT prefix_chars = sizeof kPrefix / sizeof(WCHAR) - 1;
  USHORT i;
  if (out_chars <= prefix_chars) return FALSE;
  for (i = 0; i < prefix_chars; ++i) out[i] = kPrefix[i];
  return ReadString(name, out + prefix_chars, (USHORT)(out_chars - prefix_chars));
}

BOOLEAN ReadLogPath(WCHAR *out, USHORT out_chars) { return ReadNtPath(L"Log", out, out_chars); }

NTSTATUS ReadFixture(unsigned char block[IDENTIFY_BLOCK_SIZE]) {
  WCHAR path[SETTINGS_PATH_CHARS + 8];
  unsigned char room[IDENTIFY_BLOCK_SIZE + 1];  /* one more, to catch a longer file */
  UNICODE_STRING name;
  OBJECT_ATTRIBUTES attributes;
  IO_STATUS_BLOCK io;
  HANDLE file;
  NTSTATUS status;

  if (!ReadNtPath(L"Fixture", path, sizeof path / sizeof path[0]))
    return STATUS_OBJECT_NAME_NOT_FOUND;
  RtlInitUnicodeString(&name, path);
  InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE,
                             NULL, NULL);
  status = ZwCreateFile(&file, GENERIC_READ | SYNCHRONIZE, &attributes, &io, NULL,
                        FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, FILE_OPEN,
                        FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0);
  if (!NT_SUCCESS(status)) return status;
  status = ZwReadFile(file, NULL, NULL, NULL, &io, room, sizeof room, NULL, NULL);
  ZwClose(file);
  if (!NT_SUCCESS(status)) return status;
  if (io.Information != IDENTIFY_BLOCK_SIZE) return STATUS_INVALID_BLOCK_LENGTH;
  RtlCopyMemory(block, room, IDENTIFY_BLOCK_SIZE);
  return STATUS_SUCCESS;
}
