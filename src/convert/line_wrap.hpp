// Lines too long for a record of their own, broken into several at character boundaries of code
// page 932: after a closing mark (。、」』）！？) when one lies in the last quarter of the room, else
// as late as the room allows. Pieces of a line come in and go out as the line reader hands them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

class LineWrap {
 public:
  // room: the most a line may measure (bytes, NUL counting two); 0 passes every line as it is.
  explicit LineWrap(std::int64_t room = 0);

  // sink(bytes, endsLine, line) as AozoraFilter calls it; each wrapped part ends a line.
  template <class Sink>
  bool feed(std::string_view piece, bool endsLine, std::uint64_t line, Sink&& sink) {
    if (room_ <= 0) return sink(piece, endsLine, line);
    if (held_.empty() && passes(piece, endsLine)) return sink(piece, endsLine, line);
    held_.append(piece);
    const std::size_t keepFrom = split(endsLine);
    const std::string_view held(held_);
    std::size_t from = 0;
    for (std::size_t cut : cuts_) {
      if (!sink(held.substr(from, cut - from), true, line)) return false;
      from = cut;
    }
    bool ok = true;
    if (endsLine) {
      ok = sink(held.substr(from), true, line);
      held_.clear();
    } else {
      if (keepFrom > from) ok = sink(held.substr(from, keepFrom - from), false, line);
      held_.erase(0, keepFrom);
    }
    line_ = line;
    return ok;
  }

  // The end of the text: what is held of a line the reader could not finish.
  template <class Sink>
  bool finish(Sink&& sink) {
    if (held_.empty()) return true;
    const std::string rest = std::move(held_);
    held_.clear();
    return sink(std::string_view(rest), false, line_);
  }

 private:
  // Whether a piece with nothing held goes on whole; keeps the count of the line's last part.
  bool passes(std::string_view piece, bool endsLine);
  // Ends parts of held_ at cuts_; returns where the bytes to keep back begin.
  std::size_t split(bool endsLine);
  std::size_t passable(std::size_t from, bool midChar);

  std::int64_t room_ = 0;
  std::int64_t passUpTo_ = 0;  // beyond this a part is held, so a late break can still be chosen
  std::int64_t used_ = 0;      // of the part in hand, gone on already
  bool midChar_ = false;       // what went on ends with a lead byte whose trail is held
  std::string held_;
  std::vector<std::size_t> cuts_;
  std::uint64_t line_ = 0;
};

}  // namespace orvella
