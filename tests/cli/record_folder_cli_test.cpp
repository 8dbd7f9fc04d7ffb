// Before copying to the card: --verify lists what is wrong with a folder, --join gives the text
// back; and several texts in one run make the series that runs carried by hand make.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/utf.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::contains;
using testing::filesIn;
using testing::Outcome;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

const std::string kDate = "Wed, 11 Feb 2004 05:15:55 +0900";

std::string lines(int count, char c) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(20 + i % 30, c) + "\r\n";
  return text;
}

struct Shelf {
  TempDir dir;
  fs::path out = dir / "out";
  Shelf() { fs::create_directory(out); }
  Outcome run(const std::vector<std::string>& args) { return testing::run(dir.path(), args); }
  fs::path text(const std::string& name, const std::string& bytes) {
    const fs::path path = dir.path() / pathFromUtf8(name);
    writeFile(path, bytes);
    return path;
  }
  // Five records or more of the given text at --max-bytes 300.
  void convert(const fs::path& text) {
    ASSERT_EQ(run({"-q", "--max-bytes", "300", "--date", kDate, "-o", out.string(), utf8Of(text)}).code, 0);
  }
  void edit(const char* record, std::string_view from, std::string_view to) {
    std::string bytes = readFile(out / record);
    bytes.replace(bytes.find(from), from.size(), to);
    writeFile(out / record, bytes);
  }
};

struct VerifyCase {
  const char* name;
  std::function<void(Shelf&)> damage;
  std::string listed;  // empty: nothing is
  friend void PrintTo(const VerifyCase& c, std::ostream* os) { *os << c.name; }
};

class Verify : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(Verify, ListsWhatIsWrongAndExitsOne) {
  Shelf s;
  s.convert(s.text("novel.txt", lines(40, 'x')));
  GetParam().damage(s);
  const Outcome o = s.run({"--verify", s.out.string(), "--max-bytes", "300"});
  EXPECT_EQ(o.code, GetParam().listed.empty() ? 0 : 1) << o.out;
  EXPECT_TRUE(contains(o.out, GetParam().listed)) << o.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Verify,
    ::testing::Values(
        VerifyCase{"Clean", [](Shelf&) {}, ""},
        VerifyCase{"Hole", [](Shelf& s) { fs::remove(s.out / "E1__0002.VMG"); }, "\n  E1__0002.VMG\n"},
        VerifyCase{"TruncatedRecord", [](Shelf& s) { fs::resize_file(s.out / "E1__0003.VMG", 200); },
                   "E1__0003.VMG: "},
        VerifyCase{"ExtraHeaderLine",
                   [](Shelf& s) { s.edit("E1__0001.VMG", "Cc: \r\n", "Cc: \r\nBcc: \r\n"); },
                   "E1__0001.VMG: 12 "},
        VerifyCase{"StrayFile", [](Shelf& s) { writeFile(s.out / "notes.txt", "x"); }, "notes.txt"},
        VerifyCase{"OverLimitRecord",
                   [](Shelf& s) {
                     s.edit("E1__0001.VMG", "\r\n\r\nEND:VBODY",
                            "\r\n" + std::string(100, 'y') + "\r\n\r\nEND:VBODY");
                   },
                   "\n  E1__0001.VMG ("},
        VerifyCase{"DateGoesBack", [](Shelf& s) { s.edit("E1__0003.VMG", "Wed, 11 Feb", "Tue, 10 Feb"); },
                   "E1__0003.VMG (Date が E1__0002.VMG"}),
    [](const auto& info) { return std::string(info.param.name); });

// To the output (raw bytes, not text for the console) or to a file; a hole stops it with nothing
// written anywhere.
TEST(Join, GivesBackACodePage932CrLfTextByteForByteOrNothingAtAHole) {
  const std::string text = lines(30, 'a') + "\x82\xa0\x8a\xbf\r\n" + lines(30, 'b');
  for (const bool hole : {false, true}) {
    Shelf s;
    s.convert(s.text("novel.txt", text));
    if (hole) fs::remove(s.out / "E1__0004.VMG");
    for (const bool toFile : {false, true}) {
      SCOPED_TRACE(std::string(hole ? "hole " : "") + (toFile ? "to a file" : "to the output"));
      const fs::path joined = s.dir / "joined.txt";
      std::vector<std::string> args{"--join", s.out.string()};
      if (toFile) args.insert(args.end(), {"-o", joined.string()});
      const Outcome o = s.run(args);
      EXPECT_EQ(o.code, hole ? 1 : 0) << o.err;
      EXPECT_EQ(contains(o.err, "E1__0004.VMG"), hole) << o.err;
      EXPECT_EQ(o.outBytes, hole || toFile ? "" : text);
      EXPECT_EQ(fs::exists(joined) ? readFile(joined) : "(none)", !hole && toFile ? text : "(none)");
    }
  }
}

TEST(SeveralTexts, OneRunEqualsRunsWithNumberAndSerialCarriedByHand) {
  Shelf s;
  const std::vector<fs::path> texts{s.text("上.txt", lines(25, 'a')), s.text("中.txt", ""),
                                    s.text("下.txt", lines(33, 'c'))};
  std::vector<std::string> args{"-q",      "--max-bytes", "300", "--date",      kDate,
                                "--start", "7",           "-o",  s.out.string()};
  for (const auto& t : texts) args.push_back(utf8Of(t));
  ASSERT_EQ(s.run(args).code, 0);

  const fs::path byHand = s.dir / "by-hand";
  fs::create_directory(byHand);
  int next = 7;
  for (const auto& t : texts) {
    ASSERT_EQ(s.run({"-q", "--max-bytes", "300", "--date", kDate, "--start", std::to_string(next), "--serial",
                     std::to_string(next - 7), "-o", byHand.string(), utf8Of(t)})
                  .code,
              0);
    next = 7 + static_cast<int>(filesIn(byHand).size());
  }
  ASSERT_EQ(filesIn(s.out), filesIn(byHand));
  for (const auto& name : filesIn(byHand)) EXPECT_EQ(readFile(s.out / name), readFile(byHand / name)) << name;

  // A check of the three sums the records the run wrote.
  args.erase(args.end() - 5, args.end() - 3);  // no -o
  args[0] = "--check";
  const Outcome check = s.run(args);
  EXPECT_TRUE(contains(check.out, "作成されるファイル " + std::to_string(next - 7) + " 個")) << check.out;
}

TEST(SeveralTexts, AnUnreadableOneStopsTheRunWithTheRecordsBeforeIt) {
  Shelf s;
  const fs::path first = s.text("上.txt", lines(25, 'a'));
  const fs::path alone = s.dir / "alone";
  fs::create_directory(alone);
  ASSERT_EQ(s.run({"-q", "--max-bytes", "300", "-o", alone.string(), utf8Of(first)}).code, 0);
  const Outcome o = s.run({"-q", "--max-bytes", "300", "-o", s.out.string(), utf8Of(first),
                           (s.dir / "missing.txt").string(), utf8Of(s.text("下.txt", lines(5, 'c')))});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(contains(o.err, "missing.txt")) << o.err;
  EXPECT_EQ(filesIn(s.out), filesIn(alone));
}

}  // namespace
}  // namespace orvella
