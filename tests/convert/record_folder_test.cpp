// A folder of records read back: joined, it is the text as converted; a record is held to the
// layout line by line, across the reader's blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "convert/join.hpp"
#include "convert/line_reader.hpp"
#include "convert/reasons.hpp"
#include "convert/record_reader.hpp"
#include "convert/verify.hpp"
#include "core/length_b.hpp"
#include "recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::bodyLines;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// A character in each form a text may come in.
struct Piece {
  std::string cp932, utf8;
  char16_t unit;
};
const Piece kPieces[] = {{"a", "a", u'a'},
                         {" ", " ", u' '},
                         {"\x82\xa0", "\xe3\x81\x82", u'\u3042'},
                         {"\x8a\xbf", "\xe6\xbc\xa2", u'\u6f22'},
                         {"\xb1", "\xef\xbd\xb1", u'\uff71'},
                         {"\x81\x60", "\xef\xbd\x9e", u'\uff5e'}};
const char* const kEnds[] = {"\r\n", "\n", "\r"};

enum class Form { Cp932, Utf8, Utf8Mark, Utf16Le, Utf16Be };

std::string unitBytes(char16_t c, Form form) {
  const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xff);
  return form == Form::Utf16Le ? std::string{lo, hi} : std::string{hi, lo};
}

// A text of random lines and line ends in one form, and the same text as converted.
struct Text {
  std::string bytes;
  std::string converted;
};

Text randomText(std::mt19937& rng, Form form) {
  Text t;
  if (form == Form::Utf8Mark) t.bytes = "\xef\xbb\xbf";
  if (form == Form::Utf16Le) t.bytes = "\xff\xfe";
  if (form == Form::Utf16Be) t.bytes = "\xfe\xff";
  const int lines = static_cast<int>(rng() % 300);
  bool lastWasCr = false;
  for (int i = 0; i < lines; ++i) {
    std::string line;
    for (int k = static_cast<int>(rng() % 9); k > 0; --k) {
      const Piece& p = kPieces[rng() % std::size(kPieces)];
      line += p.cp932;
      t.bytes += form == Form::Cp932                            ? p.cp932
                 : form == Form::Utf8 || form == Form::Utf8Mark ? p.utf8
                                                                : unitBytes(p.unit, form);
    }
    t.converted += line + "\r\n";
    // The last line goes without an end now and then, when it has something in it.
    if (i + 1 == lines && !line.empty() && rng() % 2 == 0) break;
    // After a CR, an LF that ends an empty line would join it into one CR LF.
    std::string_view end = kEnds[rng() % std::size(kEnds)];
    if (end == "\n" && line.empty() && lastWasCr) end = "\r";
    lastWasCr = end == "\r";
    for (const char c : end) {
      t.bytes += form == Form::Utf16Le || form == Form::Utf16Be ? unitBytes(static_cast<char16_t>(c), form)
                                                                : std::string(1, c);
    }
  }
  return t;
}

std::int64_t counted(const std::vector<std::string>& lines) {
  std::int64_t count = kCountedHeaderBytes;
  for (const auto& l : lines) count += rawLineLength(l) + 2;
  return count;
}

TEST(RecordFolder, JoinedIsTheTextAsConvertedAndTheFolderVerifiesClean) {
  for (const Form form : {Form::Cp932, Form::Utf8, Form::Utf8Mark, Form::Utf16Le, Form::Utf16Be}) {
    for (unsigned seed : {1u, 7u, 99u, 2024u}) {
      std::mt19937 rng(seed);
      testing::ConversionFolder f(u"s");
      const Text text = randomText(rng, form);
      writeFile(f.settings.input, text.bytes);
      // Every line fits a record on its own, so no record may pass the limit.
      const std::int64_t limit = 130 + rng() % 500;
      f.settings.limit = limit;
      f.settings.startNumber = static_cast<int>(rng() % 40);
      const ConvertResult r = Convert(f.settings, f.message, f.host);
      ASSERT_EQ(r.status, ConvertStatus::Completed);
      const std::string where = "form " + std::to_string(int(form)) + " seed " + std::to_string(seed);

      std::string joined;
      const auto stopped = joinFolder(f.out, [&](std::string_view b) {
        joined += b;
        return std::optional<platform::SystemError>();
      });
      EXPECT_FALSE(stopped) << where << failureText(*stopped);
      EXPECT_EQ(joined, text.converted) << where;

      const VerifyReport v = verifyFolder(f.out, limit);
      EXPECT_FALSE(v.listsAnything()) << where;
      EXPECT_EQ(v.series.records.size(), static_cast<std::size_t>(r.filesWritten)) << where;
      std::int64_t largest = 0;
      for (const auto& name : f.files())
        largest = std::max(largest, counted(bodyLines(readFile(f.out / name))));
      ASSERT_TRUE(v.largest) << where;
      EXPECT_EQ(v.largest->counted, largest) << where;
    }
  }
}

// A join that cannot go on says what stopped it and where (path: nullptr for none, "" for the
// folder), and hands nothing on unless the sink itself failed.
TEST(RecordFolder, AJoinThatCannotGoOnSaysWhatAndWhere) {
  const struct {
    FailureKind kind;
    const char* path;
    std::function<void(const fs::path&)> damage;
  } stops[] = {
      {FailureKind::NoRecords, "", [](const fs::path& d) { fs::remove_all(d), fs::create_directory(d); }},
      {FailureKind::Hole, "E1__0001.VMG", [](const fs::path& d) { fs::remove(d / "E1__0001.VMG"); }},
      {FailureKind::RecordNotAFile, "E1__0002.VMG",
       [](const fs::path& d) { fs::remove(d / "E1__0002.VMG"), fs::create_directory(d / "E1__0002.VMG"); }},
      {FailureKind::RecordEndsInHeader, "E1__0002.VMG",
       [](const fs::path& d) { fs::resize_file(d / "E1__0002.VMG", 40); }},
      {FailureKind::JoinWrite, nullptr, [](const fs::path&) {}},
  };
  for (const auto& stop : stops) {
    testing::ConversionFolder f(u"s");
    std::string text;
    for (int line = 0; line < 6; ++line) text += std::string(50, 'a') + "\r\n";
    writeFile(f.settings.input, text);
    f.settings.limit = 200;
    ASSERT_GE(Convert(f.settings, f.message, f.host).filesWritten, 3);
    stop.damage(f.out);
    const bool sinkFails = stop.kind == FailureKind::JoinWrite;
    std::string handed;
    const auto failure = joinFolder(f.out, [&](std::string_view b) {
      handed += b;
      return sinkFails ? std::optional(platform::SystemError{platform::ErrorKind::DiskFull, 0})
                       : std::nullopt;
    });
    ASSERT_TRUE(failure) << int(stop.kind);
    EXPECT_EQ(failure->kind, stop.kind);
    EXPECT_EQ(failure->path, !stop.path ? fs::path() : *stop.path ? f.out / stop.path : f.out);
    EXPECT_EQ(failure->system.has_value(), sinkFails);
    EXPECT_EQ(handed.empty(), !sinkFails);
  }
}

// A record whose first body line ends with its CR as the last byte of the reader's first block.
std::string straddlingRecord() {
  Message m;
  HeaderInputs h;
  h.date = u"Wed, 11 Feb 2004 05:15:55 +0900";
  EXPECT_TRUE(m.AddHeader(h));
  const std::size_t header = m.curMessage().size();
  m.AddText(std::string(LineReader::kBlockSize - 1 - header, 'x'));
  m.AddText(std::string_view("b"));
  m.AddText(std::string_view("c"));
  m.AddFooter();
  return m.curMessage();
}

void replace(std::string& s, std::string_view from, std::string_view to) {
  s.replace(s.find(from), from.size(), to);
}

struct FaultCase {
  const char* name;
  std::function<void(std::string&)> damage;
  std::optional<FailureKind> fault;
  std::uint64_t line;  // 16 is the first body line, 19..21 the footer
  friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

class RecordFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(RecordFaults, AreFoundOnTheirLine) {
  TempDir dir;
  std::string bytes = straddlingRecord();
  GetParam().damage(bytes);
  writeFile(dir / "E1__0000.VMG", bytes);
  RecordReader reader;
  RecordVisitor nothing;
  const auto fault = reader.read(dir / "E1__0000.VMG", nothing);
  EXPECT_EQ(fault ? std::optional(fault->kind) : std::nullopt, GetParam().fault);
  if (fault) {
    EXPECT_EQ(fault->line, GetParam().line);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFaults,
    ::testing::Values(
        FaultCase{"Whole", [](std::string&) {}, std::nullopt, 0},
        FaultCase{"FixedLineChanged", [](std::string& s) { replace(s, "INBOX", "OUTBOX"); },
                  FailureKind::RecordHeaderLine, 5},
        FaultCase{"ValueLineLostItsName", [](std::string& s) { replace(s, "From: ", "Frm: "); },
                  FailureKind::RecordHeaderLine, 8},
        FaultCase{"ExtraHeaderLine", [](std::string& s) { replace(s, "Cc: \r\n", "Cc: \r\nX-Note: 1\r\n"); },
                  FailureKind::RecordHeaderLine, 12},
        FaultCase{"LoneLfInTheHeader", [](std::string& s) { replace(s, "VERSION:1.1\r\n", "VERSION:1.1\n"); },
                  FailureKind::RecordLineEnd, 2},
        FaultCase{"CrLfSplitByTheBlockLosesItsLf", [](std::string& s) { s[LineReader::kBlockSize] = 'y'; },
                  FailureKind::RecordLineEnd, 16},
        FaultCase{"LoneCrInABodyLine", [](std::string& s) { replace(s, "\r\nb\r\n", "\r\nb\rb\r\n"); },
                  FailureKind::RecordLineEnd, 17},
        FaultCase{"CutInTheHeader", [](std::string& s) { s.resize(40); }, FailureKind::RecordEndsInHeader, 3},
        FaultCase{"Empty", [](std::string& s) { s.clear(); }, FailureKind::RecordEndsInHeader, 1},
        FaultCase{"CutPartWayThroughALine", [](std::string& s) { s.resize(s.size() - 4); },
                  FailureKind::RecordCutLine, 21},
        FaultCase{"CutAtALineEnd", [](std::string& s) { s.resize(s.find("\r\nEND:VBODY") + 2); },
                  FailureKind::RecordNoFooter, 20},
        FaultCase{"LineAfterTheFooter", [](std::string& s) { s += "more\r\n"; },
                  FailureKind::RecordAfterFooter, 22},
        FaultCase{"ByteAfterTheFooter", [](std::string& s) { s += "\x1a"; }, FailureKind::RecordAfterFooter,
                  22}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvella
