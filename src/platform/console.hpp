// The console the program runs in.
#pragma once

namespace orvella::platform {

// True when the error stream goes to a terminal (a progress bar may be drawn there).
[[nodiscard]] bool stderrIsTerminal();

}  // namespace orvella::platform
