# The fuzz targets: each is NAME_fuzzer.cpp with its seed corpus in corpus/NAME.
set(FUZZ_TARGETS multi_string bios_date drive_reply identification_run window_definition
                 jpeg_decode)
