// A fault inside a test ends the run at once, with the exception code as its exit code.
// Without this, Wine hands an unhandled fault to its debugger, which waits on the
// session's display until the test's time-out.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI EndOnFault(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  std::fprintf(stderr, "unhandled exception 0x%08lx at %p\n", static_cast<unsigned long>(code),
               info->ExceptionRecord->ExceptionAddress);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

const LPTOP_LEVEL_EXCEPTION_FILTER kInstalled = SetUnhandledExceptionFilter(EndOnFault);

}  // namespace
