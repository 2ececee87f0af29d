#pragma once

#include <string>

// The program file's full name as Windows gives it (ANSI), however long it is.
std::string ModuleFileName();
