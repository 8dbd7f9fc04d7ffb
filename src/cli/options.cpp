#include "cli/options.hpp"

#include <getopt.h>

#include <system_error>

#include "cli/cli_texts.hpp"
#include "convert/defaults.hpp"
#include "convert/encoding.hpp"
#include "convert/header_values.hpp"
#include "convert/texts.hpp"
#include "core/date_stamp.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "platform/files.hpp"

namespace orvella::cli {

namespace {

enum LongOnly {
  kSubject = 256,
  kNoSerial,
  kFormat,
  kSerial,
  kFrom,
  kTo,
  kMaxBytes,
  kStart,
  kDate,
  kVersion,
  kEncoding,
  kCheck,
};

const option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"subject", required_argument, nullptr, kSubject},
    {"no-serial", no_argument, nullptr, kNoSerial},
    {"format", required_argument, nullptr, kFormat},
    {"serial", required_argument, nullptr, kSerial},
    {"from", required_argument, nullptr, kFrom},
    {"to", required_argument, nullptr, kTo},
    {"max-bytes", required_argument, nullptr, kMaxBytes},
    {"start", required_argument, nullptr, kStart},
    {"date", required_argument, nullptr, kDate},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"encoding", required_argument, nullptr, kEncoding},
    {"check", no_argument, nullptr, kCheck},
    {nullptr, 0, nullptr, 0},
};

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
  const std::string name = utf8Of(input.filename());
  const auto text = utf8ToUtf16(name);
  if (!text) return name;  // not UTF-8: the caller refuses it as a Subject
  return utf16ToUtf8(nameWithoutExtension(*text));
}

std::string fillInLimits(std::string_view text) {
  return texts::fillIn(text, {{"pattern", std::string(kDefaultSerialPattern)},
                              {"lastSerial", std::to_string(Message::kMaxSerial)},
                              {"maxBytes", std::string(kDefaultMaxLength)},
                              {"lastNumber", std::to_string(kLastFileNumber)}});
}

Parsed parse(int argc, char** argv) {
  Parsed parsed;
  Options& o = parsed.options;
  auto refuse = [&](std::string message) { parsed.errors.push_back(std::move(message)); };

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

  opterr = 0;
  optind = 1;
  for (;;) {
    int index = 0;
    const int c = getopt_long(argc, argv, ":o:qh", kLongOptions, &index);
    if (c == -1) break;
    const std::string value = optarg ? optarg : "";
    switch (c) {
      case 'o':
        o.output = pathFromUtf8(value);
        haveOutput = true;
        break;
      case kSubject: subject.value = value; break;
      case kNoSerial: serialOn = false; break;
      case kFormat: format.value = value; break;
      case kFrom: from.value = value; break;
      case kTo: to.value = value; break;
      case kDate: date.value = value; break;
      case kSerial:
        o.firstSerial = wholeNumberIn(value, 0, Message::kMaxSerial);
        if (!o.firstSerial) refuse(fillInLimits(cli_texts::kBadSerial) + value);
        break;
      case kStart: {
        const auto start = wholeNumberIn(value, 0, kLastFileNumber);
        if (start) {
          o.settings.startNumber = *start;
        } else {
          refuse(fillInLimits(cli_texts::kBadStart) + value);
        }
        break;
      }
      case kMaxBytes:
        o.settings.maxLength = value;
        if (!parseLimit(value)) refuse(std::string(texts::kInvalidLimit) + " (" + value + ")");
        break;
      case kEncoding: {
        const auto choice = parseEncodingChoice(value);
        if (choice) {
          o.settings.encoding = *choice;
        } else {
          refuse(std::string(cli_texts::kBadEncoding) + value);
        }
        break;
      }
      case kCheck: check = true; break;
      case 'q': o.quiet = true; break;
      case 'h': help = true; break;
      case kVersion: version = true; break;
      case ':':
        refuse(std::string(cli_texts::kMissingValue) + argv[optind - 1]);
        break;
      default:
        if (optopt) {
          refuse(std::string(cli_texts::kUnknownOption) + '-' + static_cast<char>(optopt));
        } else {
          refuse(std::string(cli_texts::kUnknownOption) + argv[optind - 1]);
        }
        break;
    }
  }
  if (help) {
    parsed.action = Action::Help;
    return parsed;
  }
  if (version) {
    parsed.action = Action::Version;
    return parsed;
  }

  if (optind >= argc) {
    refuse(std::string(cli_texts::kNoInput));
  } else if (argc - optind > 1) {
    refuse(std::string(cli_texts::kTooManyInputs) + argv[optind + 1]);
  } else {
    o.settings.input = pathFromUtf8(argv[optind]);
  }

  if (check) {
    // A check writes nothing, so it needs no folder.
  } else if (!haveOutput || o.output.empty()) {
    refuse(std::string(cli_texts::kNoOutput));
  } else {
    std::error_code ec;
    if (!std::filesystem::is_directory(o.output, ec)) {
      refuse(std::string(cli_texts::kOutputNotFolder) + utf8Of(o.output));
    } else if (platform::checkFolderWritable(o.output)) {
      // Otherwise every record would fail on its own, one message each.
      refuse(std::string(cli_texts::kOutputNotWritable) + utf8Of(o.output));
    }
  }

  // A line break in a header value would end the header, or the record, where it stands.
  for (const RawText* raw : {&subject, &format, &from, &to, &date}) {
    if (raw->value && !isHeaderSafe(*raw->value)) {
      refuse(std::string(raw->name) + std::string(cli_texts::kControlCharacter));
    }
  }
  if (date.value && isHeaderSafe(*date.value) && !isDateStamp(*date.value)) {
    refuse(std::string(cli_texts::kBadDate) + *date.value);
  }

  const bool subjectGiven = subject.value.has_value();
  if (!subject.value && !o.settings.input.empty()) {
    subject.value = baseName(o.settings.input);
    if (!utf8ToUtf16(*subject.value)) {
      refuse(std::string(cli_texts::kNameNotUtf8));
      subject.value.reset();
    }
  }

  // Every text value goes into the header as code page 932; each must be readable first.
  auto decode = [&](const RawText& raw) -> std::optional<std::u16string> {
    if (!raw.value) return std::u16string();
    auto text = utf8ToUtf16(*raw.value);
    if (!text) refuse(std::string(raw.name) + std::string(cli_texts::kNotUtf8));
    return text;
  };
  auto subjectText = decode(subject);
  // A file name may hold anything; as a Subject its control characters become spaces.
  if (subjectText && !subjectGiven) subjectText = headerSafe(*subjectText);
  const auto formatText = decode(format);
  const auto fromText = decode(from);
  const auto toText = decode(to);
  const auto dateText = decode(date);

  HeaderInputs& h = o.settings.header;
  h.serialOn = serialOn;
  if (subjectText) h.subject = *subjectText;
  if (formatText) h.pattern = *formatText;
  if (fromText) h.from = *fromText;
  if (toText) h.to = *toText;
  if (date.value && dateText) o.date = *dateText;

  // The header limits, all three checked so the user sees every problem at once.
  if (fromText && LengthB(h.from) > kMaxAddressBytes) {
    refuse(tooLong("From", LengthB(h.from), kMaxAddressBytes, false));
  }
  if (toText && LengthB(h.to) > kMaxAddressBytes) {
    refuse(tooLong("To", LengthB(h.to), kMaxAddressBytes, false));
  }
  if (subjectText && formatText) {
    // With the serial on, "-" and the pattern share the 100 bytes.
    const std::int64_t bytes =
        std::int64_t{LengthB(h.subject)} + kMaxSubjectBytes - subjectLimit(serialOn, LengthB(h.pattern));
    if (bytes > kMaxSubjectBytes) refuse(tooLong("Subject", bytes, kMaxSubjectBytes, serialOn));
  }

  parsed.action = !parsed.errors.empty() ? Action::Refuse : check ? Action::Check : Action::Convert;
  return parsed;
}

}  // namespace orvella::cli
