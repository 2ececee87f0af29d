#include "app/identification_run.h"

#include "platform/text_file.h"

Text BiosVersionText;

void RunIdentification(FileApi& files, const IdentityReaders& readers) {
  TextFile serial_and_date(files, kSerialAndDatePath);
  serial_and_date.Rewrite();
  IOCheck(serial_and_date);
  // The drive is asked before the BIOS date.
  const Text serial = Trim(readers.drive_serial());
  const Text date = Trim(readers.bios_date());
  serial_and_date.Write(serial + "=" + date);
  serial_and_date.WriteLine();
  IOCheck(serial_and_date);
  serial_and_date.Close();
  IOCheck(serial_and_date);

  BiosVersionText = readers.bios_version();
  TextFile bios_version(files, kBiosVersionPath);
  bios_version.Rewrite();
  IOCheck(bios_version);
  bios_version.Write(Trim(BiosVersionText));
  bios_version.WriteLine();
  IOCheck(bios_version);
  bios_version.Close();
  IOCheck(bios_version);
}
