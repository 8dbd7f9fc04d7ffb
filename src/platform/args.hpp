// The command line as the user typed it, in UTF-8 whatever the system's code page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orvella::platform {

struct CommandLine {
  std::vector<std::string> args;  // UTF-8, the program's name first
  // The first argument that is no text (on Windows: an unpaired surrogate); it stands in args
  // with U+FFFD in place of what could not be read, for the message.
  std::optional<std::size_t> unreadable;
};

// POSIX hands the bytes over as they are; Windows reads its UTF-16 command line instead of the
// code-page copy in argv, which loses every character outside that code page.
[[nodiscard]] CommandLine commandLine(int argc, char** argv);

}  // namespace orvella::platform
