#include "convert/converter.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "convert/defaults.hpp"
#include "convert/header_values.hpp"
#include "convert/headings.hpp"
#include "convert/line_reader.hpp"
#include "convert/line_wrap.hpp"
#include "convert/reasons.hpp"
#include "convert/record_count.hpp"
#include "convert/text_check.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "core/date_stamp.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "platform/files.hpp"

namespace orvella {

namespace {

constexpr std::int64_t kRecordSlack = 4096;
// Memory stays bounded whatever the input: the record in hand is kept whole only up to
// kHeldBytes (its start stays on show past that), the bytes beyond go to its file in chunks of
// kChunkBytes, and a long line that may still be taken back waits in a scratch file past
// kHeldBytes.
constexpr std::size_t kHeldBytes = std::size_t{8} << 20;
constexpr std::size_t kChunkBytes = std::size_t{4} << 20;

class Run {
 public:
  // counts: a dry run, which counts each text's records into it instead of writing them.
  Run(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs, Message& message,
      ConvertHost& host, std::vector<CheckResult>* counts = nullptr)
      : settings_(settings),
        inputs_(inputs),
        header_(settings.header),
        message_(message),
        host_(host),
        counts_(counts) {
    result_.nextNumber = settings.startNumber;
    number_ = settings.startNumber;
  }

  ConvertResult go() {
    if (settings_.limit < 1) return refused(ConvertStatus::InvalidLimit, {FailureKind::InvalidLimit});
    count_ = RecordCount(settings_.limit);
    if (settings_.reading.breakAtHeadings || settings_.reading.subjectHeading) {
      headings_.emplace(settings_.reading.headingPattern);
    }
    if (counts_) {
      for (const ConvertInput& input : inputs_) (void)convertText(input);
      return result_;
    }
    if (auto bad = unsafeHeaderField()) return badHeader(FailureKind::HeaderBreaks, bad);
    if (auto bad = overLongHeaderField()) return badHeader(FailureKind::HeaderTooLong, bad);
    folder_ = settings_.folder;
    if (auto unwritable = platform::checkFolderWritable(folder_)) return folderRefused(*unwritable);
    switch (lock_.acquire(folder_)) {
      case platform::FolderLock::State::Held:
        break;
      case platform::FolderLock::State::Busy:
        return refused(ConvertStatus::FolderBusy, {FailureKind::FolderBusy, std::nullopt, folder_});
      case platform::FolderLock::State::Failed:
        return folderRefused(*lock_.error());
    }
    // Only runs hold this lock, so what is left now was left by one that was killed; the inputs
    // stay whatever their names.
    std::vector<platform::FileId> inputIds;
    for (const ConvertInput& input : inputs_) {
      if (auto id = platform::fileIdOf(input.path)) inputIds.push_back(*id);
    }
    platform::removeRecordTemporaries(lock_, inputIds);
    for (const ConvertInput& input : inputs_) {
      if (inputIsAnOutput(input.path)) {
        return refused(ConvertStatus::InputIsOutput, {FailureKind::InputIsOutput, std::nullopt, input.path});
      }
    }

    // A record holds about the limit plus its header and the line that overflows it; room for
    // that up front spares the copies of growing a large record.
    message_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(
        std::int64_t{settings_.limit} + kRecordSlack, static_cast<std::int64_t>(kHeldBytes))));
    for (const ConvertInput& input : inputs_) {
      if (auto ended = convertText(input)) return *ended;
    }
    return finish(ConvertStatus::Completed, texts::kCompleted);
  }

 private:
  // One text into the series, from a record of its own; the run's result when the run ends
  // with it, nothing when the next text may follow.
  std::optional<ConvertResult> convertText(const ConvertInput& input) {
    const bool first = !reader_;
    if (!first) {
      if (host_.StopRequested()) return stopBetweenTexts();
      if (numbersOut_ && !counts_) return ranOut(ConvertStatus::NumbersOut, {FailureKind::NumbersOut});
      bytesBefore_ = result_.bytesConverted;
    }
    if (counts_) counts_->emplace_back();
    header_.subject = input.subject.value_or(settings_.header.subject);
    structure_ = {};
    headingDue_ = false;
    headingTaken_ = 0;
    lastLongLine_ = 0;
    noted_ = false;
    LineReader& reader = reader_.emplace(
        input.path, LineReader::kBlockSize, [this] { return host_.StopRequested(); }, settings_.encoding);
    if (reader.wasInterrupted()) return first ? stopped() : stopBetweenTexts();
    if (reader.failure()) {
      result_.failure = reader.failure();
      noted_ = true;  // nothing was read, so nothing is told about the text
      if (counts_) {
        counts_->back().failure = result_.failure;
        return std::nullopt;
      }
      const std::string text = failureText(*result_.failure);
      if (first) return fail(ConvertStatus::InputError, text);
      return stop(ConvertStatus::InputError, text + "\n");
    }
    if (!beginRecord()) return ranOut(ConvertStatus::SerialsOut, {FailureKind::SerialsOut});
    aozora_.emplace(settings_.reading.aozora);
    // The notes are found by the filter where it reads them anyway.
    if (headings_ && settings_.reading.aozora != AozoraMode::Keep) aozora_->watchHeadings();
    wrap_ = LineWrap(settings_.reading.wrap ? count_.room() : 0);
    return readText(reader);
  }

  std::optional<ConvertResult> readText(LineReader& reader) {
    AozoraFilter& aozora = *aozora_;
    // Each piece as the notation filter leaves it, broken where it is too long for a record.
    auto place = [this](std::string_view bytes, bool endsLine, std::uint64_t line) {
      return placePiece(bytes, endsLine, line);
    };
    auto take = [&](std::string_view bytes, bool endsLine, std::uint64_t line) {
      return wrap_.feed(bytes, endsLine, line, place);
    };
    // The bar follows the file's bytes, line ends included, so it is full once the whole text is
    // read (decoded lines are shorter or longer than the bytes they came from).
    std::uint64_t progressed = 0;
    bool lineStart = true;
    // Only '?' written into records are told: those of text the filter drops are taken back.
    // Code page 932 input is never decoded, so it has none.
    const bool tracking =
        settings_.reading.aozora != AozoraMode::Keep && reader.detection().encoding != TextEncoding::Cp932;
    if (tracking) {
      reader.trackSubstitutions();
      aozora.trackDrops();
    }
    while (!host_.StopRequested()) {
      std::string_view piece;
      const bool got = reader.nextPiece(piece);
      host_.Progress(static_cast<std::int64_t>(reader.bytesRead() - progressed));
      progressed = reader.bytesRead();
      if (!got) return endOfText(reader, take, place);
      host_.Breathe();
      const std::uint64_t line = reader.pieceEndsLine() ? reader.lineNumber() : reader.lineNumber() + 1;
      // Before the filter, which may take the heading's note away.
      if (headings_ && lineStart && reader.pieceEndsLine()) {
        findHeading(headings_->find(piece, settings_.reading.aozora == AozoraMode::Keep), line);
      }
      lineStart = reader.pieceEndsLine();
      aozora.pieceStartsAt(reader.pieceOffset());
      if (!aozora.feed(piece, reader.pieceEndsLine(), line, take)) return stopAfterLine();
      if (tracking) settleSubstitutions(reader, aozora.settled(reader.pieceOffset() + piece.size()));
    }
    if (!aozora.finish(take) || !wrap_.finish(place)) return stopAfterLine();
    settleSubstitutions(reader, std::numeric_limits<std::uint64_t>::max());
    // Stopped between lines: the record in hand is closed with the lines read so far.
    if (lineOpen_ && !endLine()) return stopAfterLine();
    if (!closeRecord()) return writeFailed();
    result_.bytesConverted = bytesBefore_ + reader.bytesRead();
    return stopBetweenTexts();
  }

  template <class Take, class Place>
  std::optional<ConvertResult> endOfText(LineReader& reader, Take& take, Place& place) {
    if (!aozora_->finish(take) || !wrap_.finish(place)) return stopAfterLine();
    settleSubstitutions(reader, std::numeric_limits<std::uint64_t>::max());
    if (lineOpen_ && !endLine()) return stopAfterLine();
    if (reader.wasInterrupted()) {
      if (!closeRecord()) return writeFailed();
      result_.bytesConverted = bytesBefore_ + reader.bytesRead();
      return stopBetweenTexts();
    }
    if (reader.failure()) {
      if (!counts_) return readFailed(reader);
      counts_->back().failure = reader.failure();
    }
    if (!closeRecord()) return writeFailed();
    result_.bytesConverted = bytesBefore_ + reader.bytesRead();
    noteInput();
    return std::nullopt;
  }

  void settleSubstitutions(LineReader& reader, std::uint64_t upTo) {
    for (const AozoraFilter::Range& r : aozora_->dropped()) reader.forgetSubstitutions(r.from, r.to);
    aozora_->dropped().clear();
    reader.settleSubstitutions(upTo);
  }

  // A piece of a body line on its way into the record in hand.
  bool placePiece(std::string_view bytes, bool endsLine, std::uint64_t line) {
    const LineReader& reader = *reader_;
    const bool current = line == (reader.pieceEndsLine() ? reader.lineNumber() : reader.lineNumber() + 1);
    if (!lineOpen_) {
      // The structure check needs only a line's start; a line read in pieces ends later.
      structure_.look(bytes, line);
      if (const std::string* noted = aozora_->headingNoteIn(line))
        findHeading(HeadingFinder::noted(*noted), line);
      if (headingDue_ && line == headingLine_ && !startAtHeading()) return false;
    }
    lineNumber_ = line;
    const std::int64_t size =
        reader.lineMayHoldNul() || !current ? rawLineLength(bytes) : static_cast<std::int64_t>(bytes.size());
    return addPiece(bytes, size, endsLine);
  }

  // ---- Headings

  void findHeading(std::optional<std::string> heading, std::uint64_t number) {
    // Once for a line, which may come in several parts.
    if (heading && number != headingTaken_) {
      headingDue_ = true;
      headingLine_ = number;
      headingText_ = std::move(*heading);
    }
  }

  // The line in hand opens a chapter: a record of its own, its Subject naming it if asked.
  bool startAtHeading() {
    headingDue_ = false;
    headingTaken_ = headingLine_;
    const ReadingOptions& o = settings_.reading;
    const bool breaks = o.breakAtHeadings && bodyLines_ > 0;
    if (!breaks && !(o.subjectHeading && bodyLines_ == 0)) return true;
    if (breaks) {
      if (!closeRecord()) return false;
      if (numbersOut_ && !counts_) return failWith(FailureKind::NumbersOut);
    } else {
      // The record holds nothing yet: its header is made again, with the same serial and Date.
      if (header_.serialOn) message_.setSubjectSerial(message_.subjectSerial() - 1);
      if (settings_.reading.dateStepSeconds != 0) --recordsBegun_;
    }
    if (o.subjectHeading) header_.subjectTail = subjectTail(headingText_);
    const bool begun = beginRecord();
    header_.subjectTail.clear();
    return begun || failWith(FailureKind::SerialsOut);
  }

  // A space and the heading after the serial, cut at a character so the Subject stays within
  // its limit.
  std::u16string subjectTail(const std::string& heading) const {
    const std::u16string text = headerSafe(cp932::decode(heading));
    std::int64_t room = kMaxSubjectBytes - LengthB(header_.subject) - 1;
    if (header_.serialOn) room -= 1 + LengthB(renderSerial(message_.subjectSerial(), header_.pattern));
    std::u16string tail = u" ";
    for (std::size_t i = 0; i < text.size();) {
      const std::u16string_view one = std::u16string_view(text).substr(i, pairAt(text, i) ? 2 : 1);
      room -= LengthB(one);
      if (room < 0) break;
      tail.append(one);
      i += one.size();
    }
    return tail.size() > 1 ? tail : std::u16string();
  }

  bool failWith(FailureKind kind) {
    failure_ = Failure{kind, std::nullopt, {}};
    return false;
  }

  // Stopped on request with no record in hand: what was written stays, on disk.
  ConvertResult stopBetweenTexts() {
    noteInput();
    sync();
    return stopped();
  }

  ConvertResult stopped() {
    result_.status = ConvertStatus::Stopped;
    return result_;
  }

  // ---- Checks before anything is read

  // The name of the first header value that would break the header, or null.
  const char* unsafeHeaderField() const {
    if (!isHeaderSafe(header_.subject)) return "Subject";
    for (const ConvertInput& input : inputs_) {
      if (input.subject && !isHeaderSafe(*input.subject)) return "Subject";
    }
    if (!isHeaderSafe(header_.from)) return "From";
    if (!isHeaderSafe(header_.to)) return "To";
    if (!isHeaderSafe(header_.pattern)) return "Format";
    return nullptr;
  }

  // The name of the first header value past its limit in code page 932 bytes, or null.
  const char* overLongHeaderField() const {
    const std::int64_t subjectMost = subjectLimit(header_.serialOn, LengthB(header_.pattern));
    if (LengthB(header_.subject) > subjectMost) return "Subject";
    for (const ConvertInput& input : inputs_) {
      if (input.subject && LengthB(*input.subject) > subjectMost) return "Subject";
    }
    if (LengthB(header_.from) > kMaxAddressBytes) return "From";
    if (LengthB(header_.to) > kMaxAddressBytes) return "To";
    return nullptr;
  }

  // The input under any name this run may write: each record name from the start number on, as
  // the folder's filesystem resolves it, so a hard link counts, and so does "e1__0005.vmg" where
  // names ignore case (a card's FAT). Some user-space filesystems number a file anew for each
  // spelling of its name: there the input found under another spelling counts too.
  bool inputIsAnOutput(const std::filesystem::path& path) const {
    const auto input = platform::fileIdOf(path);
    if (!input) return false;
    const auto names = lock_.names();
    const std::filesystem::path inputFolder = path.parent_path();
    const bool inputHere = platform::fileIdOf(inputFolder.empty() ? "." : inputFolder) == lock_.id();
    const auto inputNumber = recordNumberOf(utf8Of(path.filename()), LetterCase::Ignored);
    for (const auto& entry : names) {
      const auto number = recordNumberOf(utf8Of(entry), LetterCase::Ignored);
      if (!number || *number < settings_.startNumber) continue;
      const std::filesystem::path target = pathFromUtf8(fileNameFor(*number));
      const auto resolved = lock_.idOf(target);
      if (!resolved) continue;
      if (resolved == input) return true;
      const bool caseBlind = std::find(names.begin(), names.end(), target) == names.end();
      if (caseBlind && inputHere && inputNumber == number) return true;
    }
    return false;
  }

  ConvertResult folderRefused(const platform::SystemError& error) {
    return refused(ConvertStatus::FolderNotWritable, {FailureKind::FolderNotWritable, error, folder_});
  }

  // ---- The record in hand

  // The host's Date; with a step, the run's first one moved on a step for each record before.
  std::u16string recordDate() {
    const std::int64_t step = settings_.reading.dateStepSeconds;
    if (step == 0) return host_.DateText();
    const std::int64_t k = recordsBegun_++;
    if (!firstDate_) firstDate_ = host_.DateText();
    const auto later = laterStamp(utf16ToUtf8(*firstDate_), std::chrono::seconds{k * step});
    return later ? *utf8ToUtf16(*later) : host_.DateText();
  }

  bool beginRecord() {
    if (counts_) noteRunOut();
    // Checked before NewFile so the last record written stays in the buffer.
    if (header_.serialOn && message_.subjectSerial() > Message::kMaxSerial) {
      if (!counts_) return false;
      message_.setSubjectSerial(Message::kMaxSerial);  // a count goes on with the last header's size
    }
    message_.NewFile();
    header_.date = recordDate();
    if (!isHeaderSafe(header_.date)) header_.date = headerSafe(header_.date);
    if (!message_.AddHeader(header_)) return false;
    count_.open();
    bodyLines_ = 0;
    dryBody_ = 0;
    flushed_ = 0;
    frozen_ = false;
    tail_.clear();
    return true;
  }

  // Bytes of the record in hand so far.
  std::uint64_t recordBytes() const {
    if (counts_) return message_.curMessage().size() + dryBody_;
    return frozen_ ? record_.size() + tail_.size() : message_.curMessage().size();
  }

  // Appends body bytes to the record in hand: into the buffer while the record is small, then
  // to its file. False after a failed write (failure_ says why).
  bool put(std::string_view bytes, bool endsLine) {
    if (counts_) {
      dryBody_ += bytes.size() + (endsLine ? kCrLf.size() : 0);
      return true;
    }
    if (!frozen_) {
      message_.AddPiece(bytes);
      if (endsLine) message_.EndLine();
      if (message_.curMessage().size() - flushed_ < kHeldBytes) return true;
      // Too large to hold: the start stays in the buffer, on show; the rest goes to the file.
      if (!openRecordFile()) return false;
      const std::string_view held = std::string_view(message_.curMessage()).substr(flushed_);
      if (!WriteText(held)) return false;
      flushed_ = message_.curMessage().size();
      frozen_ = true;
      return true;
    }
    tail_.append(bytes);
    if (endsLine) tail_.append(kCrLf);
    if (tail_.size() < kChunkBytes) return true;
    const bool ok = WriteText(tail_);
    tail_.clear();
    return ok;
  }

  bool openRecordFile() {
    if (record_.isOpen()) return true;
    if (auto failed = record_.create(lock_)) {
      failure_ = Failure{FailureKind::Write, *failed, {}};
      return false;
    }
    return true;
  }

  bool WriteText(std::string_view bytes) {
    if (auto failed = record_.write(bytes)) {
      failure_ = Failure{FailureKind::Write, *failed, {}};
      return false;
    }
    return true;
  }

  // A piece of the current line. While the line may still fit the record in hand it waits
  // (in pending_, then in a scratch file); once it cannot, the record is closed without it and
  // the line opens the next one, where its pieces go straight in. A whole line that fits, the
  // usual case, goes straight in too.
  bool addPiece(std::string_view piece, std::int64_t size, bool endsLine) {
    lineOpen_ = true;
    lineCount_ += size;
    lineBytes_ += piece.size();
    if (!lineMoved_ && !fits() && !moveLineToNextRecord()) return false;
    if (lineMoved_ || (endsLine && pending_.empty() && !scratch_.isOpen())) {
      if (!counts_ && RecordCount::closedBytes(recordBytes(), piece.size()) > kMaxRecordBytes) {
        failure_ = Failure{FailureKind::RecordTooLarge, std::nullopt, {}};
        return false;
      }
      if (!put(piece, endsLine)) return false;
      if (endsLine) finishLine();
      return true;
    }
    if (!hold(piece)) return false;
    return endsLine ? endLine() : true;
  }

  // Keeps a piece of a line that may yet be taken back, in memory up to a point.
  bool hold(std::string_view piece) {
    if (counts_) {
      dryPending_ += piece.size();
      return true;
    }
    if (!scratch_.isOpen() && pending_.size() + piece.size() <= kHeldBytes) {
      pending_.append(piece);
      return true;
    }
    if (!scratch_.isOpen()) {
      if (auto failed = scratch_.create(lock_)) return scratchFailed(*failed);
      if (auto failed = scratch_.write(pending_)) return scratchFailed(*failed);
      pending_.clear();
      pending_.shrink_to_fit();
    }
    if (auto failed = scratch_.write(piece)) return scratchFailed(*failed);
    return true;
  }

  bool scratchFailed(const platform::SystemError& error) {
    failure_ = Failure{FailureKind::Write, error, {}};
    return false;
  }

  // Whether the line so far, with its line end, still fits the record in hand.
  bool fits() const { return count_.fits(lineCount_, recordBytes(), lineBytes_); }

  bool moveLineToNextRecord() {
    if (!closeRecord()) return false;
    if (numbersOut_ && !counts_) return failWith(FailureKind::NumbersOut);
    if (!beginRecord()) return failWith(FailureKind::SerialsOut);
    lineMoved_ = true;
    if (!counts_ && recordBytes() + lineBytes_ + kFooterBytes > kMaxRecordBytes) {
      failure_ = Failure{FailureKind::RecordTooLarge, std::nullopt, {}};
      return false;
    }
    return movePending();
  }

  // What waited of the line goes into the record in hand.
  bool movePending() {
    if (counts_) {
      dryBody_ += dryPending_;
      dryPending_ = 0;
      return true;
    }
    if (!scratch_.isOpen()) {
      if (pending_.empty()) return true;
      const bool ok = put(pending_, false);
      pending_.clear();
      return ok;
    }
    std::string chunk;
    for (std::uint64_t at = 0; at < scratch_.size();) {
      chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, scratch_.size() - at)));
      if (auto failed = scratch_.readAt(at, chunk.data(), chunk.size())) return scratchFailed(*failed);
      if (!put(chunk, false)) return false;
      at += chunk.size();
    }
    scratch_.discard();
    return true;
  }

  // Ends the open line: what waited of it goes in first.
  bool endLine() {
    if (!lineMoved_ && !movePending()) return false;
    if (!put({}, true)) return false;
    finishLine();
    return true;
  }

  void finishLine() {
    if (counts_ && !count_.fitsAlone(lineCount_)) noteLongLine();
    count_.take(lineCount_);
    ++bodyLines_;
    lastLine_ = lineNumber_;
    lineOpen_ = false;
    lineMoved_ = false;
    lineCount_ = 0;
    lineBytes_ = 0;
  }

  // Footer, write, and one step of the file number (which never passes the last). False when the
  // record could not be written: the run stops there, so the series has no hole.
  bool closeRecord() {
    if (counts_) return countRecord();
    if (!frozen_) {
      message_.AddFooter();
    } else {
      for (std::string_view line : kFooterLines) tail_.append(line).append(kCrLf);
    }
    const std::filesystem::path file = folder_ / fileNameFor(number_);
    failedFile_ = file;
    if (!openRecordFile()) return false;
    const std::string_view rest =
        frozen_ ? std::string_view(tail_) : std::string_view(message_.curMessage()).substr(flushed_);
    if (!WriteText(rest)) return false;
    tail_.clear();
    if (auto failed = record_.commit(file)) {
      failure_ = Failure{FailureKind::Write, *failed, {}};
      return false;
    }
    failedFile_.clear();
    written_.push_back(file);
    ++result_.filesWritten;
    stepNumber();
    return true;
  }

  void stepNumber() {
    if (!result_.firstNumber) result_.firstNumber = number_;
    result_.lastNumber = number_;
    if (number_ < kLastFileNumber) {
      ++number_;
      result_.nextNumber = number_;
      host_.SpinnerStep(number_);
    } else {
      numbersOut_ = true;
    }
  }

  // ---- A dry run's counts

  bool countRecord() {
    CheckResult& text = counts_->back();
    ++text.records;
    text.largestRecord = std::max<std::uint64_t>(text.largestRecord, recordBytes() + kFooterBytes);
    text.largestCounted = std::max(text.largestCounted, count_.value());
    stepNumber();
    return true;
  }

  // Where a run would stop: the first record past the last file number or Subject serial.
  void noteRunOut() {
    if (runOutNoted_ || !result_.lastNumber) return;
    ConvertStatus status = ConvertStatus::NumbersOut;
    if (!numbersOut_) {
      if (!header_.serialOn || message_.subjectSerial() <= Message::kMaxSerial) return;
      status = ConvertStatus::SerialsOut;
    }
    runOutNoted_ = true;
    counts_->back().runsOut = RunsOut{status, *result_.lastNumber, lastLine_};
  }

  void noteLongLine() {
    if (lineNumber_ == lastLongLine_) return;  // wrapped, and still too long
    lastLongLine_ = lineNumber_;
    LongLines& tooLong = counts_->back().longLines;
    ++tooLong.count;
    if (tooLong.samples.size() < LongLines::kSamples) tooLong.samples.push_back(lineNumber_);
  }

  // Once for each text, before the run's last message, so a window can add it to that message.
  void noteInput() {
    if (!reader_ || noted_) return;
    noted_ = true;
    result_.inputs.push_back(reportOf(*reader_, structure_, aozora_ ? &*aozora_ : nullptr));
    if (counts_) counts_->back().input = result_.inputs.back();
    host_.InputRead(result_.inputs.back());
  }

  // ---- Endings

  ConvertResult stopAfterLine() {
    switch (failure_ ? failure_->kind : FailureKind::Write) {
      case FailureKind::NumbersOut:
        return ranOut(ConvertStatus::NumbersOut, *failure_);
      case FailureKind::SerialsOut:
        return ranOut(ConvertStatus::SerialsOut, *failure_);
      case FailureKind::RecordTooLarge:
        return ranOut(ConvertStatus::RecordTooLarge, *failure_);
      default:
        return writeFailed();  // nothing else stops a run after a line
    }
  }

  ConvertResult writeFailed() {
    const std::filesystem::path file = failedFile_.empty() ? folder_ / fileNameFor(number_) : failedFile_;
    Failure failure{FailureKind::Write, failure_ ? failure_->system : std::nullopt, file};
    const std::string text = failureText(failure);
    result_.failure = std::move(failure);
    record_.discard();
    result_.failedFiles.push_back(file);
    return stop(ConvertStatus::WriteFailures, text + "\n");
  }

  ConvertResult finish(ConvertStatus status, std::string_view text) {
    noteInput();
    result_.status = status;
    sync();
    // Every record is in place then: only their way to the disk is in doubt.
    std::string message = result_.unconfirmed.empty()
                              ? std::string(text)
                              : std::string(texts::kAllWritten) + lastFileSentence() + "\n" +
                                    std::string(texts::kUnconfirmed) + failureLines(result_.unconfirmed);
    findLeftovers();
    const std::string leftovers = leftoversSentence(result_);
    if (!leftovers.empty()) message += "\n" + leftovers;
    if (!result_.unconfirmed.empty()) return fail(ConvertStatus::SyncFailed, message);
    result_.message = std::move(message);
    return result_;
  }

  // Into result_.unconfirmed, what the system could not confirm on disk.
  void sync() {
    if (synced_ || written_.empty()) return;
    synced_ = true;
    for (const auto& u : platform::syncRecords(lock_, written_)) {
      const bool folder = u.file.empty();
      const FailureKind kind = folder ? FailureKind::FolderUnconfirmed : FailureKind::Unconfirmed;
      result_.unconfirmed.push_back({kind, u.error, folder ? folder_ : u.file});
    }
  }

  std::string lastFileSentence() const {
    return std::string(texts::kLastFilePrefix) + fileNameFor(*result_.lastNumber) +
           std::string(texts::kLastFileSuffix);
  }

  // Records of the series just past the last one written, left there by an earlier run; a folder
  // under a record's name is no record.
  void findLeftovers() {
    if (!result_.lastNumber || *result_.lastNumber >= kLastFileNumber) return;
    const int first = *result_.lastNumber + 1;
    int last = first - 1;
    while (last < kLastFileNumber && lock_.holdsFile(pathFromUtf8(fileNameFor(last + 1)))) ++last;
    if (last >= first) result_.leftovers = std::make_pair(first, last);
  }

  // Numbers, serials or room run out part way: a stop like any other, its Failure kept.
  ConvertResult ranOut(ConvertStatus status, Failure failure) {
    const std::string text = failureText(failure);
    result_.failure = std::move(failure);
    return stop(status, text);
  }

  ConvertResult readFailed(const LineReader& reader) {
    // What was read is written whole first, as an interrupt does.
    if (!closeRecord()) return writeFailed();
    result_.bytesConverted = bytesBefore_ + reader.bytesRead();
    result_.failure = reader.failure();
    const bool named = inputs_.size() > 1;
    return stop(ConvertStatus::InputError, readCutText(*result_.failure, reader.bytesRead(), named));
  }

  // A stop part way: what was written stays, on disk, and the message says where the run ended.
  ConvertResult stop(ConvertStatus status, std::string_view reason) {
    noteInput();
    scratch_.discard();
    record_.discard();
    std::string text(reason);
    text += result_.lastNumber ? lastFileSentence() : std::string(texts::kNoFileWritten);
    text += texts::kRestNotConverted;
    sync();
    if (!result_.unconfirmed.empty()) {
      text += "\n";
      text += texts::kSyncFailed;
      text += failureLines(result_.unconfirmed);
    }
    findLeftovers();
    const std::string leftovers = leftoversSentence(result_);
    if (!leftovers.empty()) text += "\n" + leftovers;
    return fail(status, text);
  }

  // Refused before anything is read.
  ConvertResult refused(ConvertStatus status, Failure failure) {
    const std::string text = failureText(failure);
    result_.failure = std::move(failure);
    return fail(status, text);
  }

  ConvertResult badHeader(FailureKind kind, const char* field) {
    return refused(ConvertStatus::InvalidHeader, {kind, std::nullopt, {}, 0, field});
  }

  ConvertResult fail(ConvertStatus status, const std::string& text) {
    noteInput();
    result_.status = status;
    result_.messageKind = MessageKind::Error;
    result_.message = text;
    return result_;
  }

  const ConvertSettings& settings_;
  const std::vector<ConvertInput>& inputs_;
  HeaderInputs header_;
  Message& message_;
  ConvertHost& host_;
  std::filesystem::path folder_;
  platform::FolderLock lock_;
  int number_ = 0;
  bool numbersOut_ = false;
  std::optional<LineReader> reader_;
  std::optional<AozoraFilter> aozora_;
  LineWrap wrap_;
  std::optional<HeadingFinder> headings_;
  bool headingDue_ = false;  // a heading was found at headingLine_, and has not come through yet
  std::uint64_t headingLine_ = 0;
  std::uint64_t headingTaken_ = 0;
  std::string headingText_;
  std::vector<CheckResult>* counts_;
  bool runOutNoted_ = false;
  std::uint64_t dryBody_ = 0;  // a dry run's body bytes of the record in hand
  std::uint64_t dryPending_ = 0;
  std::optional<std::u16string> firstDate_;  // with a date step
  std::int64_t recordsBegun_ = 0;
  bool noted_ = false;
  StructureLines structure_;
  ConvertResult result_;
  std::uint64_t bytesBefore_ = 0;  // of the texts before the one in hand

  // The record in hand: its count, its file once it is too large to hold, and what of it has
  // gone there.
  RecordCount count_{0};
  platform::RecordFile record_;
  std::size_t flushed_ = 0;  // bytes of the buffer already in the file
  bool frozen_ = false;      // the buffer holds only the start; the rest passes through tail_
  std::string tail_;

  // The line being read, in pieces.
  bool lineOpen_ = false;
  bool lineMoved_ = false;        // it opened the record in hand and goes straight in
  std::uint64_t lineNumber_ = 0;  // in the input
  std::uint64_t lastLine_ = 0;    // the last line finished into a record
  std::uint64_t lastLongLine_ = 0;
  std::int64_t bodyLines_ = 0;  // of the record in hand
  std::int64_t lineCount_ = 0;
  std::uint64_t lineBytes_ = 0;
  std::string pending_;
  platform::RecordFile scratch_;

  std::vector<std::filesystem::path> written_;
  bool synced_ = false;
  std::filesystem::path failedFile_;
  std::optional<Failure> failure_;  // why the line in hand could not go on
};

}  // namespace

std::string leftoversSentence(const ConvertResult& result) {
  if (!result.leftovers) return {};
  std::string text(texts::kLeftoversPrefix);
  text += fileNameFor(result.leftovers->first);
  if (result.leftovers->second != result.leftovers->first) {
    text += texts::kLeftoversMiddle;
    text += fileNameFor(result.leftovers->second);
  }
  text += texts::kLeftoversSuffix;
  return text;
}

ConvertResult Convert(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs,
                      Message& message, ConvertHost& host) {
  if (settings.startNumber < 0 || settings.startNumber > kLastFileNumber) {
    throw std::out_of_range("start number outside the file numbers");
  }
  if (inputs.empty()) throw std::invalid_argument("no text to convert");
  return Run(settings, inputs, message, host).go();
}

std::vector<CheckResult> countRecords(const ConvertSettings& settings,
                                      const std::vector<ConvertInput>& inputs, Message& message,
                                      ConvertHost& host) {
  std::vector<CheckResult> counts;
  (void)Run(settings, inputs, message, host, &counts).go();
  return counts;
}

ConvertResult Convert(const ConvertSettings& settings, Message& message, ConvertHost& host) {
  return Convert(settings, {{settings.input, std::nullopt}}, message, host);
}

}  // namespace orvella
