/* One line per thing the device was asked, appended to the file named by the "Log" value,
 * so a test can count opens, control calls and closes after the program has run:
 *
 *   open device=Scsi0: mode=answer fixture=ok status=0x00000000
 *   control device=Scsi0: code=0x0004D008 in=572 out=572 request=good status=0x00000000
 *   control device=Scsi0: code=0x0004D008 in=572 out=572 request=wrong-byte-12 status=...
 *   close device=Scsi0:
 */
#ifndef TESTDISK_REQUEST_LOG_H
#define TESTDISK_REQUEST_LOG_H

#include <ntddk.h>

typedef struct LogLine {
  char text[240];
  ULONG length;
} LogLine;

void LineStart(LogLine *line, const char *word);
void LineText(LogLine *line, const char *key, const char *value);
void LineDecimal(LogLine *line, const char *key, ULONG value);
void LineHex(LogLine *line, const char *key, ULONG value);

/* Appends the line and a line end to the log; does nothing when there is no "Log" value. */
void LineWrite(LogLine *line);

#endif
