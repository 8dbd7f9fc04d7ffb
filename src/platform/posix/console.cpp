#include <unistd.h>

#include "platform/console.hpp"

namespace orvella::platform {

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace orvella::platform
