#include "platform/console.hpp"

#include <unistd.h>

#include <cerrno>

namespace orvella::platform {

namespace {

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nowhere left to say it
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void writeOutput(std::string_view utf8) { writeAll(STDOUT_FILENO, utf8); }
void writeError(std::string_view utf8) { writeAll(STDERR_FILENO, utf8); }

bool attachParentConsole() { return true; }

void tellUser(std::string_view, std::string_view utf8, bool refusal) {
  refusal ? writeError(utf8) : writeOutput(utf8);
}

}  // namespace orvella::platform
