#include "window/command_line.hpp"

#include <string_view>

#include "core/version.hpp"
#include "window/window_texts.hpp"

namespace orvella::window {

Request requestOf(std::span<const std::string> arguments) {
  Request request = Request::Window;
  for (const std::string& arg : arguments) {
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help") return Request::Help;
    if (arg == "--version") request = Request::Version;
  }
  return request;
}

std::string unknownOption(std::span<const std::string> arguments) {
  for (const std::string& arg : arguments) {
    if (arg == "--") break;
    if (arg.size() > 1 && arg.front() == '-') return arg;
  }
  return {};
}

std::string versionText() { return std::string(texts::kProgram) + " " + std::string(kVersion) + "\n"; }

std::string usageText(bool toolkitOptions) {
  std::string usage(toolkitOptions ? texts::kUsageToolkitSynopsis : texts::kUsageSynopsis);
  usage += texts::kUsageBody;
  if (toolkitOptions) usage += texts::kUsageToolkitOptions;
  usage += texts::kUsageClosing;
  return usage;
}

std::string refusalText(const std::string& option, bool toolkitOptions) {
  return std::string(texts::kUnknownOption) + option + "\n\n" + usageText(toolkitOptions);
}

}  // namespace orvella::window
