#include "platform/args.hpp"

namespace orvella::platform {

CommandLine commandLine(int argc, char** argv) {
  CommandLine line;
  for (int i = 0; i < argc; ++i) line.args.emplace_back(argv[i]);
  return line;
}

}  // namespace orvella::platform
