#include "convert/text_check.hpp"

#include <algorithm>
#include <stdexcept>

#include "convert/line_reader.hpp"
#include "convert/record_count.hpp"
#include "core/length_b.hpp"
#include "core/message.hpp"

namespace orvella {

namespace {

// Record sizes as Convert builds them: each header built for real (its serial and Date vary),
// the body lines as written with their CR LF, the footer. The first record that would need a
// file number or a serial past the last is where a conversion stops.
class RecordSizes {
 public:
  RecordSizes(const HeaderInputs& header, int firstNumber, int firstSerial)
      : header_(header), firstNumber_(firstNumber), firstSerial_(firstSerial) {
    message_.setSubjectSerial(firstSerial);
    Message footer;
    footer.AddFooter();
    footerBytes_ = footer.curMessage().size();
  }

  // linesBefore: the input lines in the records before this one.
  void open(std::uint64_t linesBefore) {
    noteRunOut(linesBefore);
    message_.NewFile();
    try {
      message_.AddHeader(header_);
      headerBytes_ = message_.curMessage().size();
    } catch (const SerialExhausted&) {
      // A conversion stops here; the count goes on with the last header's size.
    }
    bodyBytes_ = 0;
  }
  void add(std::size_t lineBytes) { bodyBytes_ += lineBytes + RecordCount::kLineEnd; }
  void close(std::int64_t counted) {
    ++records_;
    largest_ = std::max<std::uint64_t>(largest_, headerBytes_ + bodyBytes_ + footerBytes_);
    largestCounted_ = std::max(largestCounted_, counted);
  }

  // The record in hand so far, without its footer.
  std::uint64_t bytes() const { return headerBytes_ + bodyBytes_; }
  std::uint64_t records() const { return records_; }
  std::uint64_t largest() const { return largest_; }
  std::int64_t largestCounted() const { return largestCounted_; }
  const std::optional<RunsOut>& runsOut() const { return runsOut_; }

 private:
  void noteRunOut(std::uint64_t linesBefore) {
    if (runsOut_ || records_ == 0) return;
    const auto next = static_cast<std::int64_t>(records_);
    ConvertStatus status = ConvertStatus::Completed;
    // In the order Convert meets them: a record's number is taken before its header is built.
    if (firstNumber_ + next > kLastFileNumber) {
      status = ConvertStatus::NumbersOut;
    } else if (header_.serialOn && firstSerial_ + next > Message::kMaxSerial) {
      status = ConvertStatus::SerialsOut;
    } else {
      return;
    }
    runsOut_ = RunsOut{status, static_cast<int>(firstNumber_ + next - 1), linesBefore};
  }

  HeaderInputs header_;
  std::int64_t firstNumber_;
  std::int64_t firstSerial_;
  Message message_;
  std::uint64_t headerBytes_ = 0;
  std::uint64_t bodyBytes_ = 0;
  std::uint64_t footerBytes_ = 0;
  std::uint64_t records_ = 0;
  std::uint64_t largest_ = 0;
  std::int64_t largestCounted_ = 0;
  std::optional<RunsOut> runsOut_;
};

}  // namespace

CheckResult checkText(const ConvertSettings& settings, const std::u16string& date, int firstSerial) {
  if (settings.limit < 1) throw std::invalid_argument("checkText: a limit below 1");

  CheckResult result;
  LineReader reader(settings.input, LineReader::kBlockSize, {}, settings.encoding);
  if (reader.failure()) {
    result.failure = reader.failure();
    return result;
  }
  HeaderInputs header = settings.header;
  header.date = date;
  RecordSizes sizes(header, settings.startNumber, firstSerial);
  sizes.open(0);
  RecordCount count(settings.limit);
  StructureLines structure;
  // Lines come in pieces, so even a line without end is looked at in bounded memory.
  std::string_view piece;
  bool lineStart = true;
  std::int64_t measure = 0;
  std::size_t bytes = 0;
  AozoraFilter aozora(settings.reading.aozora);
  // Each piece as the notation filter leaves it, as Convert takes it.
  auto take = [&](std::string_view text, bool endsLine, std::uint64_t line) {
    if (lineStart) structure.look(text, line);
    measure += reader.lineMayHoldNul() || line != reader.lineNumber()
                   ? rawLineLength(text)
                   : static_cast<std::int64_t>(text.size());
    bytes += text.size();
    lineStart = endsLine;
    if (!lineStart) return true;
    if (!count.fits(measure, sizes.bytes(), bytes)) {
      sizes.close(count.value());
      sizes.open(line - 1);
      count.open();
    }
    count.take(measure);
    sizes.add(bytes);
    measure = 0;
    bytes = 0;
    return true;
  };
  while (reader.nextPiece(piece)) {
    aozora.feed(piece, reader.pieceEndsLine(),
                reader.pieceEndsLine() ? reader.lineNumber() : reader.lineNumber() + 1, take);
  }
  aozora.finish(take);
  if (reader.failure()) result.failure = reader.failure();
  sizes.close(count.value());
  result.input = reportOf(reader, structure, &aozora);
  result.records = sizes.records();
  result.largestRecord = sizes.largest();
  result.largestCounted = sizes.largestCounted();
  result.runsOut = sizes.runsOut();
  return result;
}

std::vector<CheckResult> checkTexts(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs,
                                    const std::u16string& date, int firstSerial) {
  std::vector<CheckResult> results;
  ConvertSettings one = settings;
  std::int64_t serial = firstSerial;
  for (const ConvertInput& input : inputs) {
    one.input = input.path;
    one.header.subject = input.subject.value_or(settings.header.subject);
    // Past the last serial a run stops; the sizes go on with the last one.
    results.push_back(
        checkText(one, date, static_cast<int>(std::min<std::int64_t>(serial, Message::kMaxSerial))));
    if (settings.header.serialOn) serial += static_cast<std::int64_t>(results.back().records);
  }
  return results;
}

}  // namespace orvella
