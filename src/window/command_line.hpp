// What orvella's command line asks before any window opens, the same for every face.
#pragma once

#include <span>
#include <string>

namespace orvella::window {

enum class Request { Window, Help, Version };

// --help (-h) or --version among the arguments (UTF-8, the program's name left out) before "--":
// answered without a window, so without a screen too. Help wins over the version.
[[nodiscard]] Request requestOf(std::span<const std::string> arguments);

// The first argument before "--" that still looks like an option ("-x", "--x"; "-" alone is a
// name), which orvella refuses rather than open as a file; empty when there is none.
[[nodiscard]] std::string unknownOption(std::span<const std::string> arguments);

// The version line, and the usage, naming the toolkit's own options where the face takes some.
[[nodiscard]] std::string versionText();
[[nodiscard]] std::string usageText(bool toolkitOptions);
// What an unknown option is told, usage and all.
[[nodiscard]] std::string refusalText(const std::string& option, bool toolkitOptions);

}  // namespace orvella::window
