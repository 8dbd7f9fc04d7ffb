#include "cli/options.hpp"

#include "cli/cli_texts.hpp"
#include "convert/defaults.hpp"
#include "convert/encoding.hpp"
#include "convert/header_values.hpp"
#include "convert/headings.hpp"
#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "core/date_stamp.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "platform/files.hpp"

namespace orvella::cli {

namespace {

std::optional<int> wholeNumberIn(std::string_view text, int lo, int hi) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < lo || value > hi) return std::nullopt;
  return value;
}

// Text values as given, checked for UTF-8 once all options are read.
struct RawText {
  std::string_view name;
  std::optional<std::string> value;
};

// What the options fill in while the command line is read.
struct Reading {
  Options& o;
  std::vector<std::string>& errors;
  RawText subject{"--subject", std::nullopt};
  RawText format{"--format", std::string(kDefaultSerialPattern)};
  RawText from{"--from", std::string(kDefaultSender)};
  RawText to{"--to", std::string()};
  RawText date{"--date", std::nullopt};
  bool serialOn = true;
  bool help = false;
  bool version = false;
  bool haveOutput = false;
  bool check = false;
  std::optional<std::string> verify{};
  std::optional<std::string> join{};

  void refuse(std::string message) { errors.push_back(std::move(message)); }
};

// One option: its names, whether it takes a value, and what it does with it.
struct OptionRule {
  const char* name;
  char shortName;  // 0 for a long name only
  bool takesValue;
  void (*apply)(Reading& r, const std::string& value);
};

const OptionRule kOptions[] = {
    {"output", 'o', true,
     [](Reading& r, const std::string& v) {
       r.o.output = pathFromUtf8(v);
       r.haveOutput = true;
     }},
    {"subject", 0, true, [](Reading& r, const std::string& v) { r.subject.value = v; }},
    {"no-serial", 0, false, [](Reading& r, const std::string&) { r.serialOn = false; }},
    {"format", 0, true, [](Reading& r, const std::string& v) { r.format.value = v; }},
    {"serial", 0, true,
     [](Reading& r, const std::string& v) {
       r.o.firstSerial = wholeNumberIn(v, 0, Message::kMaxSerial);
       if (!r.o.firstSerial) r.refuse(fillInLimits(cli_texts::kBadSerial) + v);
     }},
    {"from", 0, true, [](Reading& r, const std::string& v) { r.from.value = v; }},
    {"to", 0, true, [](Reading& r, const std::string& v) { r.to.value = v; }},
    {"max-bytes", 0, true,
     [](Reading& r, const std::string& v) {
       if (const auto limit = parseLimit(v)) {
         r.o.settings.limit = *limit;
       } else {
         r.refuse(std::string(texts::kInvalidLimit) + " (" + v + ")");
       }
     }},
    {"start", 0, true,
     [](Reading& r, const std::string& v) {
       const auto start = wholeNumberIn(v, 0, kLastFileNumber);
       if (start) {
         r.o.settings.startNumber = *start;
       } else {
         r.refuse(fillInLimits(cli_texts::kBadStart) + v);
       }
     }},
    {"date", 0, true, [](Reading& r, const std::string& v) { r.date.value = v; }},
    {"quiet", 'q', false, [](Reading& r, const std::string&) { r.o.quiet = true; }},
    {"help", 'h', false, [](Reading& r, const std::string&) { r.help = true; }},
    {"version", 0, false, [](Reading& r, const std::string&) { r.version = true; }},
    {"encoding", 0, true,
     [](Reading& r, const std::string& v) {
       const auto choice = parseEncodingChoice(v);
       if (choice) {
         r.o.settings.encoding = *choice;
       } else {
         r.refuse(std::string(cli_texts::kBadEncoding) + v);
       }
     }},
    {"aozora", 0, true,
     [](Reading& r, const std::string& v) {
       const auto mode = parseAozoraMode(v);
       if (mode) {
         r.o.settings.reading.aozora = *mode;
       } else {
         r.refuse(std::string(cli_texts::kBadAozora) + v);
       }
     }},
    {"date-step", 0, true,
     [](Reading& r, const std::string& v) {
       const auto step = wholeNumberIn(v, 0, static_cast<int>(kMaxDateStepSeconds));
       if (step) {
         r.o.settings.reading.dateStepSeconds = *step;
       } else {
         r.refuse(fillInLimits(cli_texts::kBadDateStep) + v);
       }
     }},
    {"wrap", 0, false, [](Reading& r, const std::string&) { r.o.settings.reading.wrap = true; }},
    {"break-at-headings", 0, false,
     [](Reading& r, const std::string&) { r.o.settings.reading.breakAtHeadings = true; }},
    {"heading", 0, true,
     [](Reading& r, const std::string& v) {
       // A pattern of one's own says where the chapters are: they start records.
       r.o.settings.reading.headingPattern = v;
       r.o.settings.reading.breakAtHeadings = true;
       if (!isHeadingPattern(v)) r.refuse(std::string(cli_texts::kBadHeading) + v);
     }},
    {"subject-heading", 0, false,
     [](Reading& r, const std::string&) { r.o.settings.reading.subjectHeading = true; }},
    {"check", 0, false, [](Reading& r, const std::string&) { r.check = true; }},
    {"verify", 0, true, [](Reading& r, const std::string& v) { r.verify = v; }},
    {"join", 0, true, [](Reading& r, const std::string& v) { r.join = v; }},
};

const OptionRule* longRule(std::string_view name) {
  for (const OptionRule& rule : kOptions) {
    if (name == rule.name) return &rule;
  }
  return nullptr;
}

const OptionRule* shortRule(char name) {
  for (const OptionRule& rule : kOptions) {
    if (rule.shortName != 0 && rule.shortName == name) return &rule;
  }
  return nullptr;
}

// Reads the options in any order among the operands, as "--name value", "--name=value",
// "-o value", "-ovalue" and "-qh"; "--" ends them. The operands are returned in order.
std::vector<std::string> readOptions(int argc, char** argv, Reading& r) {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      operands.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg.substr(0, 2) == "--") {
      const std::size_t eq = arg.find('=');
      const OptionRule* rule = longRule(arg.substr(2, eq == std::string_view::npos ? eq : eq - 2));
      if (!rule || (!rule->takesValue && eq != std::string_view::npos)) {
        r.refuse(std::string(cli_texts::kUnknownOption) + std::string(arg));
      } else if (!rule->takesValue) {
        rule->apply(r, {});
      } else if (eq != std::string_view::npos) {
        rule->apply(r, std::string(arg.substr(eq + 1)));
      } else if (i + 1 < argc) {
        rule->apply(r, argv[++i]);
      } else {
        r.refuse(std::string(cli_texts::kMissingValue) + std::string(arg));
      }
      continue;
    }
    for (std::size_t k = 1; k < arg.size(); ++k) {
      const OptionRule* rule = shortRule(arg[k]);
      if (!rule) {
        r.refuse(std::string(cli_texts::kUnknownOption) + '-' + arg[k]);
      } else if (!rule->takesValue) {
        rule->apply(r, {});
        continue;
      } else if (k + 1 < arg.size()) {
        rule->apply(r, std::string(arg.substr(k + 1)));
      } else if (i + 1 < argc) {
        rule->apply(r, argv[++i]);
      } else {
        r.refuse(std::string(cli_texts::kMissingValue) + std::string(arg));
      }
      break;
    }
  }
  return operands;
}

std::string tooLong(std::string_view field, std::int64_t bytes, int limit, bool withSerial) {
  std::string text(field);
  text += cli_texts::kTooLong;
  text += std::to_string(bytes);
  text += cli_texts::kBytesLimit;
  text += std::to_string(limit);
  text += cli_texts::kBytesLimitEnd;
  if (withSerial) text += cli_texts::kWithSerial;
  return text;
}

}  // namespace

std::string baseName(const std::filesystem::path& input) {
  std::string name = utf8Of(input.filename());
  const auto text = utf8ToUtf16(name);
  if (!text) return name;  // not UTF-8: the caller refuses it as a Subject
  return utf16ToUtf8(nameWithoutExtension(*text));
}

std::string fillInLimits(std::string_view text) {
  return texts::fillIn(text, {{"pattern", std::string(kDefaultSerialPattern)},
                              {"lastSerial", std::to_string(Message::kMaxSerial)},
                              {"maxBytes", std::to_string(kDefaultLimit)},
                              {"lastNumber", std::to_string(kLastFileNumber)},
                              {"maxDateStep", std::to_string(kMaxDateStepSeconds)}});
}

namespace {

// The operands, as inputs or, for --verify and --join, as the folder; and one command at most.
void takeOperands(Reading& r, const std::vector<std::string>& operands) {
  Options& o = r.o;
  const std::optional<std::string>& folder = r.verify ? r.verify : r.join;
  if (int(r.check) + int(r.verify.has_value()) + int(r.join.has_value()) > 1) {
    r.refuse(std::string(cli_texts::kOneCommand));
  } else if (folder) {
    o.folder = pathFromUtf8(*folder);
    std::error_code ec;
    if (!std::filesystem::is_directory(o.folder, ec)) r.refuse(std::string(cli_texts::kNotAFolder) + *folder);
    for (const std::string& operand : operands) r.refuse(std::string(cli_texts::kNoInputHere) + operand);
  } else if (operands.empty()) {
    r.refuse(std::string(cli_texts::kNoInput));
  }
  if (!folder) {
    for (const std::string& operand : operands) {
      const std::filesystem::path input = pathFromUtf8(operand);
      // Opened, a device name would be read as the device: an empty text, or the keyboard.
      if (platform::isDeviceName(input)) {
        r.refuse(std::string(cli_texts::kInputIsDevice) + operand + " (" +
                 reasonText(platform::SystemError{platform::ErrorKind::DeviceName, 0}) + ")");
      }
      o.inputs.push_back({input, std::nullopt});
    }
  }
}

// The output each command needs: none for --verify and --check, a file for --join, a folder
// that takes files for a conversion.
void checkOutput(Reading& r) {
  const Options& o = r.o;
  if (r.verify) {
    if (r.haveOutput) r.refuse(std::string(cli_texts::kVerifyWritesNothing));
  } else if (r.join) {
    std::error_code ec;
    if (r.haveOutput && std::filesystem::is_directory(o.output, ec)) {
      r.refuse(std::string(cli_texts::kJoinOutputIsFolder) + utf8Of(o.output));
    } else if (const auto joined = platform::fileIdOf(o.folder);
               r.haveOutput && joined &&
               platform::fileIdOf(o.output.has_parent_path() ? o.output.parent_path() : ".") == joined) {
      // The joined text among the records would be one more file that is not a record.
      r.refuse(std::string(cli_texts::kJoinIntoFolder) + utf8Of(o.output));
    }
  } else if (r.check) {
    // A check writes nothing, so it needs no folder.
  } else if (!r.haveOutput || o.output.empty()) {
    r.refuse(std::string(cli_texts::kNoOutput));
  } else {
    const auto output = platform::pathInfo(o.output);
    if (!output || !output->folder) {
      r.refuse(std::string(cli_texts::kOutputNotFolder) + utf8Of(o.output));
    } else if (platform::checkFolderWritable(o.output)) {
      // Otherwise every record would fail on its own, one message each.
      r.refuse(std::string(cli_texts::kOutputNotWritable) + utf8Of(o.output));
    }
  }
}

void checkHeaderText(Reading& r) {
  // A line break in a header value would end the header, or the record, where it stands.
  for (const RawText* raw : {&r.subject, &r.format, &r.from, &r.to, &r.date}) {
    if (raw->value && !isHeaderSafe(*raw->value)) {
      r.refuse(std::string(raw->name) + std::string(cli_texts::kControlCharacter));
    }
  }
  if (r.date.value && isHeaderSafe(*r.date.value) && !isDateStamp(*r.date.value)) {
    r.refuse(std::string(cli_texts::kBadDate) + *r.date.value);
  }
}

// Without --subject each text's records carry its own name; a file name may hold anything,
// and as a Subject its control characters become spaces.
void nameSubjects(Reading& r) {
  bool namesOk = true;
  for (ConvertInput& input : r.o.inputs) {
    const auto name = utf8ToUtf16(baseName(input.path));
    if (name) {
      input.subject = headerSafe(*name);
    } else if (namesOk) {
      namesOk = false;
      r.refuse(std::string(cli_texts::kNameNotUtf8));
    }
  }
}

// The header limits, all three checked so the user sees every problem at once.
void checkHeaderLimits(Reading& r, bool subjectGiven, bool fromRead, bool toRead, bool subjectRead) {
  const Options& o = r.o;
  const HeaderInputs& h = o.settings.header;
  if (fromRead && LengthB(h.from) > kMaxAddressBytes) {
    r.refuse(tooLong("From", LengthB(h.from), kMaxAddressBytes, false));
  }
  if (toRead && LengthB(h.to) > kMaxAddressBytes) {
    r.refuse(tooLong("To", LengthB(h.to), kMaxAddressBytes, false));
  }
  if (!subjectRead) return;
  // With the serial on, "-" and the pattern share the 100 bytes.
  const auto overLimit = [&](const std::u16string& text) {
    const std::int64_t bytes =
        std::int64_t{LengthB(text)} + kMaxSubjectBytes - subjectLimit(r.serialOn, LengthB(h.pattern));
    if (bytes > kMaxSubjectBytes) r.refuse(tooLong("Subject", bytes, kMaxSubjectBytes, r.serialOn));
    return bytes > kMaxSubjectBytes;
  };
  if (subjectGiven || o.inputs.size() < 2) {
    overLimit(h.subject);
  } else {
    for (const ConvertInput& input : o.inputs) {
      if (input.subject && overLimit(*input.subject)) {
        r.errors.back() += " (" + utf8Of(input.path) + ")";
        break;
      }
    }
  }
}

// Every text value goes into the header as code page 932; each must be readable first.
void fillHeader(Reading& r) {
  Options& o = r.o;
  const bool subjectGiven = r.subject.value.has_value();
  if (!subjectGiven) nameSubjects(r);
  auto decode = [&](const RawText& raw) -> std::optional<std::u16string> {
    if (!raw.value) return std::u16string();
    auto text = utf8ToUtf16(*raw.value);
    if (!text) r.refuse(std::string(raw.name) + std::string(cli_texts::kNotUtf8));
    return text;
  };
  auto subjectText = decode(r.subject);
  if (!subjectGiven && !o.inputs.empty()) subjectText = o.inputs.front().subject;
  const auto formatText = decode(r.format);
  const auto fromText = decode(r.from);
  const auto toText = decode(r.to);
  const auto dateText = decode(r.date);

  HeaderInputs& h = o.settings.header;
  h.serialOn = r.serialOn;
  if (subjectText) h.subject = *subjectText;
  if (formatText) h.pattern = *formatText;
  if (fromText) h.from = *fromText;
  if (toText) h.to = *toText;
  if (r.date.value && dateText) o.date = *dateText;
  checkHeaderLimits(r, subjectGiven, fromText.has_value(), toText.has_value(),
                    subjectText.has_value() && formatText.has_value());
}

}  // namespace

Parsed parse(int argc, char** argv) {
  Parsed parsed;
  Reading r{parsed.options, parsed.errors};
  const std::vector<std::string> operands = readOptions(argc, argv, r);
  if (r.help) {
    parsed.action = Action::Help;
    return parsed;
  }
  if (r.version) {
    parsed.action = Action::Version;
    return parsed;
  }
  takeOperands(r, operands);
  checkOutput(r);
  checkHeaderText(r);
  fillHeader(r);
  parsed.action = !parsed.errors.empty() ? Action::Refuse
                  : r.check              ? Action::Check
                  : r.verify             ? Action::Verify
                  : r.join               ? Action::Join
                                         : Action::Convert;
  return parsed;
}

}  // namespace orvella::cli
