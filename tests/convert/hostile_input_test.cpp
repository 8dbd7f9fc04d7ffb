// Inputs a user should not give but will: a folder, a file that cannot be read, one deleted or
// cut short while it is converted, one huge line, binary data, header text the code page lacks.
// None crashes or hangs; what can be read is converted whole, and what cannot is told.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "convert/converter.hpp"
#include "convert/line_reader.hpp"
#include "convert/texts.hpp"
#include "core/length_b.hpp"
#include "recording_host.hpp"
#include "support/fuse_card.hpp"
#include "support/reference_lines.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::bodyLines;
using testing::readFile;
using testing::RecordingHost;
using testing::TempDir;
using testing::writeFile;

struct Scenario : testing::ConversionFolder {
  Scenario() : ConversionFolder(u"hostile") {}
};

std::vector<std::string> numberedLines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i) + " \x82\xa0\x8a\xbf text");
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// ---- Inputs that cannot be read at all ----

struct Unreadable {
  const char* name;
  std::function<fs::path(const TempDir&)> make;  // empty path: not possible here
  friend void PrintTo(const Unreadable& u, std::ostream* os) { *os << u.name; }
};

class UnreadableInput : public ::testing::TestWithParam<Unreadable> {};

TEST_P(UnreadableInput, IsToldAndNothingIsWritten) {
  Scenario s;
  s.settings.input = GetParam().make(s.dir);
  if (s.settings.input.empty()) GTEST_SKIP() << "this fault cannot be made here";
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::InputError);
  EXPECT_TRUE(s.files().empty());
  EXPECT_TRUE(s.host.steps.empty());
  EXPECT_EQ(r.filesWritten, 0);
  EXPECT_TRUE(r.inputs.empty()) << "an encoding told for a text never read";
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_EQ(s.host.messages[0].first, MessageKind::Error);
  EXPECT_NE(s.host.messages[0].second.find(texts::kInputOpenFailed), std::string::npos)
      << s.host.messages[0].second;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadableInput,
                         ::testing::Values(Unreadable{"Folder",
                                                      [](const TempDir& d) {
                                                        fs::create_directory(d / "folder.txt");
                                                        return d / "folder.txt";
                                                      }},
                                           Unreadable{"DeletedAfterItWasChosen",
                                                      [](const TempDir& d) {
                                                        writeFile(d / "chosen.txt", "a\r\n");
                                                        fs::remove(d / "chosen.txt");
                                                        return d / "chosen.txt";
                                                      }},
                                           // Opens, then fails at the first read (EIO), whoever runs it.
                                           Unreadable{
                                               "ReadFailsAtOnce",
                                               [](const TempDir&) { return fs::path("/proc/self/mem"); }},
                                           Unreadable{"NoReadPermission",
                                                      [](const TempDir& d) {
                                                        if (::geteuid() == 0)
                                                          return fs::path();  // root reads it anyway
                                                        writeFile(d / "secret.txt", "a\r\n");
                                                        fs::permissions(d / "secret.txt", fs::perms::none);
                                                        return d / "secret.txt";
                                                      }}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Inputs that change under the conversion ----

TEST(InputChangedDuringTheRun, DeletedFileIsStillConvertedWhole) {
  Scenario s;
  const auto lines = numberedLines(3000);  // many records at the default limit
  writeFile(s.settings.input, joined(lines));
  s.host.onStep = [&](int next) {
    if (next == 1) fs::remove(s.settings.input);
  };
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  EXPECT_GT(r.filesWritten, 3);
  EXPECT_EQ(s.allLines(), lines);
}

TEST(InputChangedDuringTheRun, CutShortFileEndsTheConversionWhereTheDataEnds) {
  // Cut at a block boundary past the head the reader has taken in for detection, which it has
  // not reached: it converts exactly what is left.
  Scenario s;
  const std::size_t block = LineReader::kBlockSize;
  std::string input = joined(numberedLines(90000));
  const std::size_t cut = kDetectionBytes + 3 * block;
  ASSERT_GT(input.size(), cut + 2 * block);
  writeFile(s.settings.input, input);
  s.host.onStep = [&](int next) {
    if (next == 1) fs::resize_file(s.settings.input, cut);
  };
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  input.resize(cut);
  EXPECT_EQ(s.allLines(), testing::referenceLines(input));
}

TEST(InputChangedDuringTheRun, EmptiedFileEndsTheConversionWithoutALoss) {
  Scenario s;
  const auto lines = numberedLines(40000);
  writeFile(s.settings.input, joined(lines));
  s.host.onStep = [&](int next) {
    if (next == 1) fs::resize_file(s.settings.input, 0);
  };
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  // What was read before the cut is all there, in order; nothing is invented after it.
  const auto got = s.allLines();
  ASSERT_LE(got.size(), lines.size());
  EXPECT_GT(got.size(), 0u);
  for (std::size_t i = 0; i + 1 < got.size(); ++i) EXPECT_EQ(got[i], lines[i]) << i;
  EXPECT_EQ(lines[got.size() - 1].rfind(got.back(), 0), 0u) << "the last line is a prefix of the original";
}

// ---- The input under a record's name, in any case ----

// On a card whose names ignore case "e1__0005.vmg" is E1__0005.VMG; in an ordinary folder it is
// a file of its own. The input is never written over, and the run refuses exactly when a record
// name from its start number on finds the input (the folder holds nothing else).
TEST(InputAmongTheRecords, IsRefusedWhereTheFolderFindsItUnderARecordName) {
  TempDir dir;
  testing::FuseCard card(dir.path());
  std::vector<fs::path> folders = {dir / "plain"};
  fs::create_directory(folders[0]);
  if (card.ready())
    folders.push_back(card.path());
  else
    std::cout << "No case-blind card here (" << card.why() << "): an ordinary folder only.\n";
  // The input's name in the folder, the name it is given by, the start number.
  const std::tuple<const char*, const char*, int> rows[] = {{"e1__0005.vmg", "e1__0005.vmg", 3},
                                                            {"e1__0005.vmg", "E1__0005.VMG", 3},
                                                            {"e1__0005.vmg", "E1__0005.vmg", 3},
                                                            {"E1__0005.VMG", "E1__0005.VMG", 5},
                                                            {"e1__0005.vmg", "e1__0005.vmg", 6}};
  const std::string text = joined(numberedLines(40));
  int made = 0;
  for (const fs::path& root : folders) {
    for (const auto& [stored, given, start] : rows) {
      // A folder of its own each time: a FUSE driver's names are not reused.
      const fs::path folder = root / std::to_string(made++);
      SCOPED_TRACE(folder.string() + " " + stored + " as " + given);
      fs::create_directory(folder);
      writeFile(folder / stored, text);
      if (!fs::exists(folder / given)) continue;
      const bool found = start <= 5 && fs::exists(folder / fileNameFor(5));
      Scenario s;
      s.host.folder = folder;
      s.settings.input = folder / given;
      s.settings.startNumber = start;
      s.settings.limit = 300;
      EXPECT_EQ(Convert(s.settings, s.message, s.host).status,
                found ? ConvertStatus::InputIsOutput : ConvertStatus::Completed);
      EXPECT_EQ(readFile(s.settings.input), text);
    }
  }
}

// ---- Content no text file should have ----

TEST(HostileContent, OneHugeLineStandsAloneByteForByte) {
  Scenario s;
  std::string line(24 * 1024 * 1024 + 3, 'x');  // hundreds of reader blocks
  for (std::size_t i = 0; i < line.size(); i += 4099) line[i] = '\x82';
  writeFile(s.settings.input, "before\r\n" + line + "\r\nafter");
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  ASSERT_EQ(s.files().size(), 3u);
  EXPECT_EQ(bodyLines(readFile(s.out / "E1__0001.VMG")), std::vector<std::string>{line});
  EXPECT_EQ(bodyLines(readFile(s.out / "E1__0002.VMG")), std::vector<std::string>{"after"});
  EXPECT_EQ(s.host.progress, 8 + static_cast<std::int64_t>(line.size()) + 2 + 5);
}

TEST(HostileContent, BinaryDataWithNulsAndNoLineEndIsOneLineKeptWhole) {
  Scenario s;
  std::mt19937 rng(2004);
  std::string blob(1 << 20, '\0');
  for (char& c : blob) {
    c = static_cast<char>(rng() % 256);
    if (c == '\r' || c == '\n') c = '\0';
  }
  writeFile(s.settings.input, blob);
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  // Too long for one record: an empty first record, then the blob alone.
  ASSERT_EQ(s.files().size(), 2u);
  EXPECT_TRUE(bodyLines(readFile(s.out / "E1__0000.VMG")).empty());
  const std::string record = readFile(s.out / "E1__0001.VMG");
  EXPECT_NE(record.find("\r\n\r\n" + blob + "\r\n\r\nEND:VBODY\r\n"), std::string::npos);
  EXPECT_EQ(s.host.progress, static_cast<std::int64_t>(blob.size()));
}

TEST(HostileContent, HeaderCharactersTheCodePageLacksAreWrittenAsQuestionMarks) {
  Scenario s;
  s.settings.header.subject =
      u"件名\U0001F600\u00A6e\u0301";  // emoji (a surrogate pair), broken bar, combining accent
  s.settings.header.from = u"\U0001F4E7@example.jp";
  s.settings.header.to = u"\u00A6\u00A6";
  s.settings.header.pattern = u"\U0001F600#";
  writeFile(s.settings.input, "body\r\n");
  ASSERT_EQ(Convert(s.settings, s.message, s.host).status, ConvertStatus::Completed);
  const std::string record = readFile(s.out / "E1__0000.VMG");
  EXPECT_NE(record.find("\r\nSubject: \x8c\x8f\x96\xbc??e?-?\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("\r\nFrom: ?@example.jp\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("\r\nTo: ??\r\n"), std::string::npos) << record;
  // Each such UTF-16 unit counts as one '?' would: a surrogate pair counts two, written as one.
  EXPECT_EQ(LengthB(u"件名\U0001F600\u00A6e\u0301"), 4 + 2 + 1 + 1 + 1);
}

}  // namespace
}  // namespace orvella
