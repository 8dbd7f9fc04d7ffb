// Requests from outside to stop (Ctrl-C, a terminal hung up, a closed pipe, a termination
// request; the console's close events on Windows), turned into a flag the run polls, so the
// record in hand is closed and nothing half-made stays behind.
#pragma once

namespace orvella::platform {

// Installs the handlers once. A waiting read is broken, not restarted, so a run blocked on a pipe
// notices the flag. A file size limit becomes an ordinary failed write instead of ending the
// process.
void installStopHandlers();

// True once a stop request has arrived.
[[nodiscard]] bool stopRequested();

}  // namespace orvella::platform
