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
  std::vector<std::string> lines;
  bool recognised = false;
  std::uint64_t gaiji = 0;
  std::size_t questionsKept = 0;  // '?' of the input outside the stretches the filter dropped
};

// The text's lines through a filter, each fed in pieces of `piece` bytes (0: whole).
Filtered run(AozoraMode mode, const std::u16string& text, std::size_t piece) {
  AozoraFilter filter(mode);
  Filtered f;
  std::string open;
  auto sink = [&](std::string_view bytes, bool endsLine, std::uint64_t) {
    open.append(bytes);
    if (endsLine) f.lines.push_back(utf16ToUtf8(cp932::decode(open))), open.clear();
    return true;
  };
  std::uint64_t number = 0;
  std::uint64_t stream = 0;
  std::vector<std::uint64_t> questions;
  for (std::size_t at = 0, end = 0; at <= text.size(); at = end + 1, ++number) {
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
    for (const auto& r : filter.dropped())
      if (q >= r.from && q < r.to) return true;
    return false;
  });
  return {f.lines, filter.recognised(), filter.gaiji().total(), questions.size()};
}

const std::u16string kBlock =
    u"題\n-------------------------------------------------------\n【テキスト中に現れる記号について】\n"
    u"《》：ルビ\n-------------------------------------------------------\n本文\n";

struct Case {
  const char* name;
  AozoraMode mode;
  std::u16string text;
  std::vector<std::string> lines;
  bool recognised;
  std::uint64_t gaiji;
};

const Case kCases[] = {
    {"plain",
     AozoraMode::Strip,
     u"ただの文、［かっこ］と《》の無い行。\nASCII only",
     {"ただの文、［かっこ］と《》の無い行。", "ASCII only"},
     false,
     0},
    {"ruby", AozoraMode::Strip, u"吾輩《わがはい》は猫", {"吾輩は猫"}, false, 0},
    {"ruby with bar", AozoraMode::Strip, u"北の｜峠道《とうげみち》へ", {"北の峠道へ"}, false, 0},
    {"ruby in brackets",
     AozoraMode::Bracket,
     u"北の｜峠道《とうげみち》へ、宿《やど》",
     {"北の峠道（とうげみち）へ、宿（やど）"},
     false,
     0},
    {"bar without ruby stays", AozoraMode::Strip, u"a｜b", {"a｜b"}, false, 0},
    {"note at line end", AozoraMode::Strip, u"一行［＃「一行」に傍点］", {"一行"}, false, 0},
    {"kept ruby and notes are recognised",
     AozoraMode::Keep,
     u"［＃３字下げ］宿《やど》",
     {"［＃３字下げ］宿《やど》"},
     true,
     0},
    {"nested", AozoraMode::Strip, u"前［＃「［＃内］」外］中《あ《い》う》後", {"前中後"}, true, 0},
    {"nested in brackets", AozoraMode::Bracket, u"中《あ《い》う》後", {"中（あ（い）う）後"}, false, 0},
    {"unclosed stays",
     AozoraMode::Strip,
     u"開《ルビ［＃注記\n次《つぎ》",
     {"開《ルビ［＃注記", "次"},
     false,
     0},
    {"cell in the code page", AozoraMode::Strip, u"※［＃「土＋堯」、第3水準1-84-1］", {"堯"}, false, 0},
    {"cell outside it", AozoraMode::Strip, u"※［＃「てへん＋劣」、第3水準1-84-77］だ", {"〓だ"}, false, 1},
    {"plane 2", AozoraMode::Strip, u"※［＃「土＋竒」、第4水準2-5-19］", {"〓"}, false, 1},
    {"code point in the code page", AozoraMode::Strip, u"※［＃「高」の俗字、U+9AD9、1-2］", {"髙"}, false, 0},
    {"code point outside it", AozoraMode::Strip, u"※［＃「口＋世」、U+546D、12-3］", {"〓"}, false, 1},
    {"no code", AozoraMode::Strip, u"※［＃「謎」］", {"〓"}, false, 1},
    {"a '?' only where the text stays",
     AozoraMode::Strip,
     u"猫《ねこ𠮷》と［＃「犬」に😀］𠮷",
     {"猫と?"},
     true,
     0},
    {"escapes",
     AozoraMode::Strip,
     u"※［＃始め二重山括弧、1-1-52］本※［＃終わり二重山括弧、1-1-53］※［＃米印］※［＃縦線］",
     {"《本》※｜"},
     false,
     0},
    {"explanation block", AozoraMode::Strip, kBlock, {"題", "本文", ""}, true, 0},
    {"explanation block kept",
     AozoraMode::Keep,
     kBlock,
     {"題", "-------------------------------------------------------", "【テキスト中に現れる記号について】",
      "《》：ルビ", "-------------------------------------------------------", "本文", ""},
     true,
     0},
    {"hyphens around plain text stay",
     AozoraMode::Strip,
     u"----------\n注意\n----------",
     {"----------", "注意", "----------"},
     false,
     0},
    {"unclosed block stays",
     AozoraMode::Strip,
     u"----------\n《》：ルビ",
     {"----------", "《》：ルビ"},
     false,
     0},
};

TEST(AozoraFilter, NotationCases) {
  for (const Case& c : kCases) {
    // The block and the notation that names a text are looked for in whole lines: only a line
    // longer than a piece comes in pieces.
    for (std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
      if (piece != 0 && c.text.find(u'\n') != std::u16string::npos) continue;
      const Filtered f = run(c.mode, c.text, piece);
      EXPECT_EQ(f.lines, c.lines) << c.name << " in pieces of " << piece;
      if (piece == 0) {
        EXPECT_EQ(f.recognised, c.recognised) << c.name;
      }
      EXPECT_EQ(f.gaiji, c.gaiji) << c.name;
      std::size_t questions = 0;
      for (const auto& line : f.lines)
        questions += static_cast<std::size_t>(std::count(line.begin(), line.end(), '?'));
      EXPECT_EQ(f.questionsKept, questions) << c.name << " in pieces of " << piece;
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
