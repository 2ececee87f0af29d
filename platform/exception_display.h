// What the exception display and the last-resort handler put in their boxes.
#pragma once

#include <cstdint>
#include <string>

// The message with a full stop appended when its last character's code is above that
// of "." (so after a letter, a digit or "/", but not after ".", "'", ")" or a blank).
std::string DisplayText(const std::string& message);

// The last-resort box: "Exception <class> in module <module> at <address>." and, on the
// next line, the message with a full stop added unless it is empty or ends in one.
std::string LastResortText(const std::string& class_name, const std::string& module_name,
                           uintptr_t address, const std::string& message);

constexpr char kLastResortCaption[] = "Application Error";
