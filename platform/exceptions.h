// The exception classes the program raises and the exception display shows.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message);
  std::string Message() const { return what(); }
  // The class name shown by the last-resort handler.
  virtual const char* ClassName() const { return "Exception"; }
  // Where it was raised, for the last-resort handler.
  uintptr_t Address() const { return address_; }

 private:
  uintptr_t address_;
};

// Raised by the I/O check of a text-file operation; carries the recorded error code.
class EInOutError : public Exception {
 public:
  EInOutError(int code, const std::string& message) : Exception(message), error_code_(code) {}
  int ErrorCode() const { return error_code_; }
  const char* ClassName() const override { return "EInOutError"; }

 private:
  int error_code_;
};

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "ERegistryException"; }
};

// The silent exception: the exception display shows nothing for it.
class EAbort : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EAbort"; }
};
