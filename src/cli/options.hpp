// The command line read into conversion settings, with every value checked before anything runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/converter.hpp"

namespace orvella::cli {

struct Options {
  ConvertSettings settings;            // limit, start number, header fields
  std::vector<ConvertInput> inputs;    // the texts, in order, one series
  std::filesystem::path folder;        // --verify, --join
  std::filesystem::path output;        // the records' folder; with --join the file, if any
  std::optional<int> firstSerial;      // --serial
  std::optional<std::u16string> date;  // --date; the clock otherwise
  bool quiet = false;
};

enum class Action { Convert, Check, Verify, Join, Help, Version, Refuse };

struct Parsed {
  Action action = Action::Refuse;
  Options options;
  std::vector<std::string> errors;  // UTF-8 messages, one per problem found
};

Parsed parse(int argc, char** argv);

// The input's base name without its extension: after the last separator, before the last dot.
std::string baseName(const std::filesystem::path& input);

// A text of the command line with its limits and defaults filled in ("{lastNumber}" and so on).
std::string fillInLimits(std::string_view text);

}  // namespace orvella::cli
