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
// the body lines as written with their CR LF, the footer.
class RecordSizes {
 public:
  RecordSizes(const HeaderInputs& header, int firstSerial) : header_(header) {
    message_.setSubjectSerial(firstSerial);
    Message footer;
    footer.AddFooter();
    footerBytes_ = footer.curMessage().size();
  }

  void open() {
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
  void close() {
    ++records_;
    largest_ = std::max<std::uint64_t>(largest_, headerBytes_ + bodyBytes_ + footerBytes_);
  }

  std::uint64_t records() const { return records_; }
  std::uint64_t largest() const { return largest_; }

 private:
  HeaderInputs header_;
  Message message_;
  std::uint64_t headerBytes_ = 0;
  std::uint64_t bodyBytes_ = 0;
  std::uint64_t footerBytes_ = 0;
  std::uint64_t records_ = 0;
  std::uint64_t largest_ = 0;
};

}  // namespace

CheckResult checkText(const ConvertSettings& settings, const std::u16string& date, int firstSerial) {
  const auto limit = parseLimit(settings.maxLength);
  if (!limit) throw std::invalid_argument("checkText: the limit does not parse");

  CheckResult result;
  LineReader reader(settings.input, LineReader::kBlockSize, {}, settings.encoding);
  if (!reader.ok()) {
    result.ok = false;
    result.error = reader.error();
    return result;
  }
  HeaderInputs header = settings.header;
  header.date = date;
  RecordSizes sizes(header, firstSerial);
  sizes.open();
  RecordCount count(*limit);
  StructureLines structure;
  // Lines come in pieces, so even a line without end is looked at in bounded memory.
  std::string_view piece;
  bool lineStart = true;
  std::int64_t measure = 0;
  std::size_t bytes = 0;
  while (reader.nextPiece(piece)) {
    if (lineStart) {
      structure.look(piece, reader.pieceEndsLine() ? reader.lineNumber() : reader.lineNumber() + 1);
    }
    measure += reader.lineMayHoldNul() ? rawLineLength(piece) : static_cast<std::int64_t>(piece.size());
    bytes += piece.size();
    lineStart = reader.pieceEndsLine();
    if (!lineStart) continue;
    if (!count.add(measure)) {
      sizes.close();
      sizes.open();
      count.startWith(measure);
    }
    sizes.add(bytes);
    measure = 0;
    bytes = 0;
  }
  if (!reader.ok()) {
    result.ok = false;
    result.error = reader.error();
  }
  sizes.close();
  result.input = reportOf(reader, structure);
  result.records = sizes.records();
  result.largestRecord = sizes.largest();
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
    results.push_back(checkText(one, date, static_cast<int>(std::min<std::int64_t>(serial, Message::kMaxSerial))));
    if (settings.header.serialOn) serial += static_cast<std::int64_t>(results.back().records);
  }
  return results;
}

}  // namespace orvella
