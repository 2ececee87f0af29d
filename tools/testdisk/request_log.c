/* Builds log lines without a C library and appends them with the kernel's Zw calls. */
#include "request_log.h"

#include "settings.h"

static void Append(LogLine *line, const char *text) {
  while (*text && line->length + 2 < sizeof line->text) line->text[line->length++] = *text++;
}

void LineStart(LogLine *line, const char *word) {
  line->length = 0;
  Append(line, word);
}

void LineText(LogLine *line, const char *key, const char *value) {
  Append(line, " ");
  Append(line, key);
  Append(line, "=");
  Append(line, value);
}

void LineDecimal(LogLine *line, const char *key, ULONG value) {
  char digits[11];
  int at = 10;
  digits[at] = 0;
  do {
    digits[--at] = (char)('0' + value % 10);
    value /= 10;
  } while (value && at > 0);
  LineText(line, key, digits + at);
}

void LineHex(LogLine *line, const char *key, ULONG value) {
  static const char kDigits[] = "0123456789ABCDEF";
  char text[11];
  int i;
  text[0] = '0';
  text[1] = 'x';
  for (i = 0; i < 8; ++i) text[2 + i] = kDigits[(value >> (28 - 4 * i)) & 0xF];
  text[10] = 0;
  LineText(line, key, text);
}

void LineWrite(LogLine *line) {
  WCHAR path[SETTINGS_PATH_CHARS + 8];
  UNICODE_STRING name;
  OBJECT_ATTRIBUTES attributes;
  IO_STATUS_BLOCK io;
  HANDLE file;

  if (!ReadLogPath(path, sizeof path / sizeof path[0])) return;
  line->text[line->length++] = '\r';
  line->text[line->length++] = '\n';
  RtlInitUnicodeString(&name, path);
  InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE,
                             NULL, NULL);
  if (!NT_SUCCESS(ZwCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &attributes, &io, NULL,
                               FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, FILE_OPEN_IF,
                               FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL,
                               0)))
    return;
  ZwWriteFile(file, NULL, NULL, NULL, &io, line->text, line->length, NULL, NULL);
  ZwClose(file);
}
