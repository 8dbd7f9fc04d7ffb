// Aozora Bunko notation in a text's lines: ruby 《…》 with its ｜, editorial notes ［＃…］, the
// characters named by notes (※［＃「…」、第3水準1-84-77］), and the block explaining the
// notation at the top. Lines pass through as code page 932 bytes, in the pieces the line reader
// hands out, so memory stays bounded whatever the text.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/transcoder.hpp"

namespace orvella {

struct AozoraMark;

// Keep: the lines as written. Strip: ruby removed. Bracket: ruby kept after its base in
// full-width parentheses. Notes and the explanation block go with both of the last two.
enum class AozoraMode { Keep, Strip, Bracket };

// "keep", "strip" or "bracket".
[[nodiscard]] std::optional<AozoraMode> parseAozoraMode(std::string_view name);

class AozoraFilter {
 public:
  explicit AozoraFilter(AozoraMode mode);
  ~AozoraFilter();
  AozoraFilter(AozoraFilter&&) noexcept;
  AozoraFilter& operator=(AozoraFilter&&) noexcept;

  // A piece of input line `line`, as the line reader hands it out. sink(bytes, endsLine, line)
  // gets what goes on, in order: nothing for a line that is dropped or held back, several lines
  // when held ones go on. A sink that returns false stops the feed, which returns false too.
  template <class Sink>
  bool feed(std::string_view piece, bool endsLine, std::uint64_t line, Sink&& sink) {
    if (mode_ == AozoraMode::Keep) {
      if (lines_ < kLookLines) look(piece, endsLine);
      return sink(piece, endsLine, line);
    }
    switch (head(piece, endsLine, line)) {
      case Head::Held:
      case Head::Dropped:
        return true;
      case Head::Released:
        if (!release(sink)) return false;
        break;
      case Head::Pass:
        break;
    }
    return sink(filter(piece, endsLine, line, pieceAt_), endsLine, line);
  }

  // Where the next piece begins in the text's byte stream; once trackDrops() is called,
  // dropped() tells the stretches of that stream it took out, so a '?' written for them is not
  // counted.
  void pieceStartsAt(std::uint64_t offset) { pieceAt_ = offset; }
  void trackDrops() { trackDrops_ = true; }
  struct Range {
    std::uint64_t from;
    std::uint64_t to;
  };
  std::vector<Range>& dropped() { return drops_; }
  // Where the bytes it still holds back begin; nothing before is taken out any more.
  std::uint64_t settled(std::uint64_t fed) const {
    if (!held_.empty()) return held_.front().offset;
    return carry_.empty() ? fed : carryAt_;
  }

  // The end of the text: lines still held back go on, and the end of a line the reader could not
  // finish as it was read.
  template <class Sink>
  bool finish(Sink&& sink) {
    if (!release(sink)) return false;
    if (carry_.empty()) return true;
    const std::string rest = std::move(carry_);
    carry_.clear();
    return sink(std::string_view(rest), false, carryLine_);
  }

  // Notes that end in 見出し mark their line as a heading's: headingNoteIn(line) then gives that
  // line as it came in, until the next such line.
  void watchHeadings() { watchHeadings_ = true; }
  const std::string* headingNoteIn(std::uint64_t line) const {
    return headingLine_ == line && !headingText_.empty() ? &headingText_ : nullptr;
  }

  // The text shows the explanation block, or both ruby and notes.
  bool recognised() const { return blockSeen_ || (rubySeen_ && noteSeen_); }
  // The characters named by notes that code page 932 lacks, written as 〓.
  const SubstitutionReport& gaiji() const { return gaiji_; }

  // Lines looked at for the block at the top, and for ruby and notes when they stay.
  static constexpr std::uint64_t kLookLines = 2000;

 private:
  enum class Head { Pass, Held, Dropped, Released };
  struct HeldLine {
    std::string text;
    std::uint64_t line;
    std::uint64_t offset;
  };

  Head head(std::string_view piece, bool endsLine, std::uint64_t line);
  void look(std::string_view piece, bool endsLine);
  std::string_view filter(std::string_view piece, bool endsLine, std::uint64_t line, std::uint64_t offset);
  // Writes text up to cut into out_ with the notation turned as mode_ says; text begins at
  // `offset` in the stream.
  void rewrite(std::string_view text, std::size_t cut, std::uint64_t line, std::uint64_t offset);
  void putCharacter(std::string_view note, std::uint64_t line);
  void put(std::string_view bytes) {
    std::memcpy(out_.data() + outSize_, bytes.data(), bytes.size());
    outSize_ += bytes.size();
  }
  void watchNote(std::string_view text, std::string_view note, std::uint64_t line);

  template <class Sink>
  bool release(Sink& sink) {
    std::vector<HeldLine> held;
    held.swap(held_);
    for (const HeldLine& h : held) {
      if (!sink(filter(h.text, true, h.line, h.offset), true, h.line)) return false;
    }
    return true;
  }

  AozoraMode mode_;
  std::uint64_t lines_ = 0;  // whole lines seen
  bool lineStart_ = true;
  enum class Block { Looking, Open, Done } block_ = Block::Looking;
  bool blockHasNotation_ = false;
  std::vector<HeldLine> held_;
  std::size_t heldBytes_ = 0;
  bool blockSeen_ = false;
  bool rubySeen_ = false;
  bool noteSeen_ = false;
  std::string carry_;  // the end of a piece whose notation may close in the next
  std::uint64_t carryLine_ = 0;
  std::uint64_t carryAt_ = 0;
  std::uint64_t pieceAt_ = 0;
  bool trackDrops_ = false;
  std::vector<Range> drops_;
  bool watchHeadings_ = false;
  std::uint64_t headingLine_ = 0;
  std::string headingText_;
  std::string in_;
  std::string out_;  // its first outSize_ bytes
  std::size_t outSize_ = 0;
  std::vector<struct AozoraMark> marks_;
  SubstitutionReport gaiji_;
};

}  // namespace orvella
