// The identification run: the machine's identity written into two one-line files below
// the current working folder, "case\gen\t2.tmp" (serial "=" date) and "case\gen\t3.tmp"
// (BIOS version).
#pragma once

#include "identity/text.h"
#include "platform/file_api.h"

constexpr char kSerialAndDatePath[] = "case\\gen\\t2.tmp";
constexpr char kBiosVersionPath[] = "case\\gen\\t3.tmp";

// The BIOS version text as the reader gave it, untrimmed; released at exit.
extern Text BiosVersionText;

struct IdentityReaders {
  Text (*drive_serial)();
  Text (*bios_date)();
  Text (*bios_version)();
};

// Creates the serial-and-date file before any reader runs, writes its line, closes it;
// then reads the version, creates the version file, writes it and closes it. Raises
// EInOutError from the I/O checks and lets a reader's exception pass; a file that an
// exception interrupts stays open.
void RunIdentification(FileApi& files, const IdentityReaders& readers);
