// The notation filter on lines of an Aozora Bunko text, whole and in pieces.
#include "convert/aozora.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/cp932.hpp"
#include "core/utf.hpp"

namespace orvella {
namespace {

struct Filtered {
  std::string text;  // the lines that go on, joined by '\n'
  bool recognised = false;
  std::uint64_t gaiji = 0;
  std::size_t questionsKept = 0;  // '?' of the input outside the stretches the filter dropped
};

// The text's lines through a filter, each fed in pieces of `piece` bytes (0: whole).
Filtered run(AozoraMode mode, const std::u16string& text, std::size_t piece) {
  AozoraFilter filter(mode);
  filter.trackDrops();
  std::string out;
  std::string open;
  auto sink = [&](std::string_view bytes, bool endsLine, std::uint64_t) {
    open.append(bytes);
    if (endsLine) out += (out.empty() ? "" : "\n") + utf16ToUtf8(cp932::decode(open)), open.clear();
    return true;
  };
  std::uint64_t stream = 0;
  std::vector<std::uint64_t> questions;
  for (std::size_t at = 0, end = 0, number = 0; at <= text.size(); at = end + 1, ++number) {
    end = std::min(text.find(u'\n', at), text.size());
    const std::string line = cp932::encode(text.substr(at, end - at));
    for (std::size_t i = line.find('?'); i != std::string::npos; i = line.find('?', i + 1))
      questions.push_back(stream + i);
    const std::size_t step = piece == 0 ? std::max<std::size_t>(line.size(), 1) : piece;
    for (std::size_t p = 0; p < line.size() || p == 0; p += step) {
      filter.pieceStartsAt(stream + p);
      filter.feed(std::string_view(line).substr(std::min(p, line.size()), step), p + step >= line.size(),
                  number, sink);
    }
    stream += line.size() + 1;
  }
  filter.finish(sink);
  std::erase_if(questions, [&](std::uint64_t q) {
    return std::ranges::any_of(filter.dropped(), [q](const auto& r) { return q >= r.from && q < r.to; });
  });
  return {out, filter.recognised(), filter.gaiji().total(), questions.size()};
}

const std::u16string kBlock =
    u"題\n-------------------------------------------------------\n【テキスト中に現れる記号について】\n"
    u"《》：ルビ\n-------------------------------------------------------\n本文\n";

constexpr AozoraMode K = AozoraMode::Keep, S = AozoraMode::Strip, B = AozoraMode::Bracket;

struct Case {
  AozoraMode mode;
  std::u16string text;
  std::u16string out;  // empty: the text untouched
  std::uint64_t gaiji;
  bool recognised;
};

const Case kCases[] = {
    {S, u"ただの文、［かっこ］と《》の無い行。\nASCII only", u"", 0, false},
    {S, u"北の｜峠道《とうげみち》へ", u"北の峠道へ", 0, false},
    {B, u"北の｜峠道《とうげみち》へ、宿《やど》", u"北の峠道（とうげみち）へ、宿（やど）", 0, false},
    {S, u"a｜b", u"", 0, false},  // a bar without ruby
    {S, u"一行［＃「一行」に傍点］", u"一行", 0, false},
    {K, u"［＃３字下げ］宿《やど》", u"", 0, true},
    {S, u"前［＃「［＃内］」外］中《あ《い》う》後", u"前中後", 0, true},
    {B, u"中《あ《い》う》後", u"中（あ（い）う）後", 0, false},
    {S, u"開《ルビ［＃注記\n次《つぎ》", u"開《ルビ［＃注記\n次", 0, false},
    {S, u"※［＃「土＋堯」、第3水準1-84-1］", u"堯", 0, false},
    {S, u"※［＃「てへん＋劣」、第3水準1-84-77］だ", u"〓だ", 1, false},
    {S, u"※［＃「土＋竒」、第4水準2-5-19］", u"〓", 1, false},
    {S, u"※［＃「高」の俗字、U+9AD9、1-2］", u"髙", 0, false},
    {S, u"※［＃「口＋世」、U+546D、12-3］", u"〓", 1, false},
    {S, u"※［＃「謎」］", u"〓", 1, false},
    {S, u"猫《ねこ𠮷》と［＃「犬」に😀］𠮷", u"猫と?", 0, true},  // a '?' only where the text stays
    {S, u"※［＃始め二重山括弧、1-1-52］本※［＃縦線］", u"《本｜", 0, false},
    {S, kBlock, u"題\n本文\n", 0, true},
    {K, kBlock, u"", 0, true},
    {S, u"----------\n注意\n----------", u"", 0, false},  // hyphens around plain text
    {S, u"----------\n《》：ルビ", u"", 0, false},        // a block never closed
};

TEST(AozoraFilter, NotationCases) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(utf16ToUtf8(c.text));
    // The block and the notation that names a text are looked for in whole lines: only a line
    // longer than a piece comes in pieces.
    for (std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
      if (piece != 0 && c.text.find(u'\n') != std::u16string::npos) continue;
      const Filtered f = run(c.mode, c.text, piece);
      EXPECT_EQ(f.text, utf16ToUtf8(c.out.empty() ? c.text : c.out)) << "in pieces of " << piece;
      if (piece == 0) {
        EXPECT_EQ(f.recognised, c.recognised);
      }
      EXPECT_EQ(f.gaiji, c.gaiji);
      EXPECT_EQ(f.questionsKept, static_cast<std::size_t>(std::ranges::count(f.text, '?'))) << piece;
    }
  }
}

// A line the reader could not finish (a read error) keeps what was read of it.
TEST(AozoraFilter, FinishKeepsALineCutShort) {
  AozoraFilter filter(AozoraMode::Strip);
  std::string out;
  auto sink = [&](std::string_view bytes, bool, std::uint64_t) { return out.append(bytes), true; };
  const std::string cut = cp932::encode(u"宿《や");
  filter.feed(cut, false, 1, sink);
  filter.finish(sink);
  EXPECT_EQ(out, cut);
}

}  // namespace
}  // namespace orvella
