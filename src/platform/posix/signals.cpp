#include "platform/signals.hpp"

#include <csignal>
#include <initializer_list>

namespace orvella::platform {

namespace {

volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onStopSignal(int) { stopFlag = 1; }

}  // namespace

void installStopHandlers() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read waiting on a pipe returns and sees the flag
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::sigaction(signal, &action, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);
}

bool stopRequested() { return stopFlag != 0; }

}  // namespace orvella::platform
