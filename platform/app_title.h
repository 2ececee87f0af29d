// The application title, derived once from the program file's name: the part after the
// last "\", cut at its first ".", every character after the first in lower case.
#pragma once

#include <string>

using LowerCaseFn = std::string (*)(const std::string&);

// The part of a Windows path after its last "\" (the whole path when it has none).
std::string FileNamePart(const std::string& path);

// Lower-cases ASCII letters only; the Windows build passes the system's own rule.
std::string AsciiLower(const std::string& text);

std::string TitleFromModuleName(const std::string& module_name, LowerCaseFn lower = AsciiLower);
