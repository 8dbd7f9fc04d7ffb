#include "platform/signals.hpp"

#include <windows.h>

#include <atomic>

namespace orvella::platform {

namespace {

std::atomic<bool> stopFlag{false};
HANDLE mainThread = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event) {
  stopFlag = true;
  // A read waiting on a pipe would not see the flag otherwise.
  if (mainThread) ::CancelSynchronousIo(mainThread);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // A closed console, a log-off or a shutdown ends the process once this returns: wait here
  // while the run closes the record in hand and exits (the system allows a few seconds).
  for (;;) ::Sleep(INFINITE);
}

}  // namespace

void installStopHandlers() {
  static const bool installed = [] {
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &mainThread, 0,
                      FALSE, DUPLICATE_SAME_ACCESS);
    return ::SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
  }();
  (void)installed;
}

bool stopRequested() { return stopFlag; }

}  // namespace orvella::platform
