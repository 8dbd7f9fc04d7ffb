#include "convert/converter.hpp"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

#include "convert/line_reader.hpp"
#include "convert/texts.hpp"
#include "convert/write_text.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"

namespace orvella {

namespace {

// The three MIME lines with their line ends; the rest of the header and the footer go uncounted.
constexpr std::int64_t kHeaderCount = 97;
constexpr int kLastNumber = 9999;
constexpr std::int64_t kRecordSlack = 4096;
constexpr std::int64_t kMaxReserve = 64 << 20;

class Run {
 public:
  Run(const ConvertSettings& settings, Message& message, ConvertHost& host)
      : settings_(settings), header_(settings.header), message_(message), host_(host) {
    result_.nextNumber = settings.startNumber;
    number_ = settings.startNumber;
  }

  ConvertResult go() {
    const auto limit = parseLimit(settings_.maxLength);
    if (!limit) return fail(ConvertStatus::InvalidLimit, std::string(texts::kInvalidLimit));

    folder_ = host_.SelectFolder();
    if (folder_.empty()) {
      host_.Message(MessageKind::Information, texts::kCancelled);
      result_.status = ConvertStatus::Cancelled;
      return result_;
    }

    LineReader reader(settings_.input, LineReader::kBlockSize, [this] { return host_.StopRequested(); });
    if (reader.wasInterrupted()) {
      result_.status = ConvertStatus::Stopped;
      return result_;
    }
    if (!reader.ok()) {
      std::string text(texts::kInputOpenFailed);
      text += '\n';
      text += utf8Of(settings_.input);
      text += ": ";
      text += reader.error();
      return fail(ConvertStatus::InputError, text);
    }

    // A record holds about the limit plus its header and the line that overflows it; room for
    // that up front spares the copies of growing a large record. Address space only, so capped.
    message_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(*limit + kRecordSlack, kMaxReserve)));
    if (!beginRecord()) return serialsOut();
    std::int64_t count = kHeaderCount;
    std::string_view line;
    while (!host_.StopRequested()) {
      if (!reader.next(line)) {
        if (reader.wasInterrupted()) break;
        if (!reader.ok()) return readFailed(reader);
        closeRecord();
        return finish();
      }
      const std::int64_t size =
          reader.lineMayHoldNul() ? rawLineLength(line) : static_cast<std::int64_t>(line.size());
      host_.Progress(size);
      host_.Breathe();
      message_.AddText(line);
      show();
      count += size + 2;
      if (*limit >= count) continue;

      // The line overflows: close the record without it, and let it open the next one.
      message_.TakeBack();
      show();
      closeRecord();
      if (numbersOut_) return stop(ConvertStatus::NumbersOut, texts::kNumbersOut);
      if (!beginRecord()) return serialsOut();
      message_.AddText(line);
      show();
      count = kHeaderCount + size + 2;
    }
    closeRecord();
    result_.status = ConvertStatus::Stopped;
    return result_;
  }

 private:
  void show() {
    if (host_.WantsRecord()) host_.ShowRecord(message_.curMessage());
  }

  bool beginRecord() {
    // Checked before NewFile so the last record written stays in the buffer.
    if (header_.serialOn && message_.subjectSerial() > Message::kMaxSerial) return false;
    message_.NewFile();
    header_.date = host_.DateText();
    try {
      message_.AddHeader(header_);
    } catch (const SerialExhausted&) {
      return false;
    }
    show();
    return true;
  }

  // Footer, write, and one step of the file number (which never passes 9999).
  void closeRecord() {
    message_.AddFooter();
    show();
    const std::filesystem::path file = folder_ / fileNameFor(number_);
    bool reported = false;
    const bool ok = WriteText(file, message_.curMessage(), [&](std::string_view text) {
      if (reported) return;
      reported = true;
      host_.WriteFailed(file, text);
    });
    if (!ok && !reported) host_.WriteFailed(file, texts::kWriteError);
    if (ok) {
      ++result_.filesWritten;
    } else {
      result_.failedFiles.push_back(file);
    }
    if (!result_.firstNumber) result_.firstNumber = number_;
    result_.lastNumber = number_;
    if (number_ < kLastNumber) {
      ++number_;
      result_.nextNumber = number_;
      host_.SpinnerStep(number_);
    } else {
      numbersOut_ = true;
    }
  }

  ConvertResult finish() {
    if (result_.failedFiles.empty()) {
      result_.status = ConvertStatus::Completed;
      host_.Message(MessageKind::Information, texts::kCompleted);
    } else {
      result_.status = ConvertStatus::WriteFailures;
      host_.Message(MessageKind::Warning,
                    std::string(texts::kFinishedWithFailures) + failuresSentence());
    }
    return result_;
  }

  ConvertResult serialsOut() { return stop(ConvertStatus::SerialsOut, texts::kSerialsOut); }

  ConvertResult readFailed(const LineReader& reader) {
    std::string text(texts::kInputReadFailed);
    text += " (";
    text += reader.error();
    text += ")\n";
    text += texts::kStoppedAtBytePrefix;
    text += std::to_string(reader.bytesRead());
    text += texts::kStoppedAtByteSuffix;
    return stop(ConvertStatus::InputError, text);
  }

  // A stop part way: what was written stays, and the message says where the run ended.
  ConvertResult stop(ConvertStatus status, std::string_view reason) {
    std::string text(reason);
    if (result_.lastNumber) {
      text += texts::kLastFilePrefix;
      text += fileNameFor(*result_.lastNumber);
      text += texts::kLastFileSuffix;
    } else {
      text += texts::kNoFileWritten;
    }
    text += texts::kRestNotConverted;
    text += failuresSentence();
    return fail(status, text);
  }

  ConvertResult fail(ConvertStatus status, const std::string& text) {
    result_.status = status;
    host_.Message(MessageKind::Error, text);
    return result_;
  }

  std::string failuresSentence() const {
    if (result_.failedFiles.empty()) return {};
    return std::string(texts::kFailedCountPrefix) + std::to_string(result_.failedFiles.size()) +
           std::string(texts::kFailedCountSuffix);
  }

  const ConvertSettings& settings_;
  HeaderInputs header_;
  Message& message_;
  ConvertHost& host_;
  std::filesystem::path folder_;
  int number_ = 0;
  bool numbersOut_ = false;
  ConvertResult result_;
};

}  // namespace

std::optional<std::int32_t> parseLimit(std::string_view text) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

std::string fileNameFor(int number) {
  std::string name = "E1__0000.VMG";
  for (std::size_t i = 7; number > 0 && i >= 4; --i) {
    name[i] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  return name;
}

ConvertResult Convert(const ConvertSettings& settings, Message& message, ConvertHost& host) {
  if (settings.startNumber < 0 || settings.startNumber > kLastNumber) {
    throw std::out_of_range("start number outside 0..9999");
  }
  return Run(settings, message, host).go();
}

}  // namespace orvella
