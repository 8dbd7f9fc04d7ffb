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

// Deleted, cut short or emptied once the first record is written: what is still there to read is
// converted whole, nothing lost before the change and nothing invented after it.
TEST(InputChangedDuringTheRun, WhatIsLeftToReadIsConvertedWhole) {
  // The cut falls on a block boundary past the head read for detection, which the reader has
  // not reached by then.
  const std::string input = joined(numberedLines(90000));
  const std::size_t cut = kDetectionBytes + 3 * LineReader::kBlockSize;
  ASSERT_GT(input.size(), cut + 2 * LineReader::kBlockSize);
  const struct {
    const char* name;
    std::function<void(const fs::path&)> change;
    std::size_t left;  // the bytes that can still be read; npos: those read before the change
  } rows[] = {{"deleted", [](const fs::path& p) { fs::remove(p); }, input.size()},
              {"cut short", [&](const fs::path& p) { fs::resize_file(p, cut); }, cut},
              {"emptied", [](const fs::path& p) { fs::resize_file(p, 0); }, std::string::npos}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scenario s;
    writeFile(s.settings.input, input);
    s.host.onStep = [&](int next) {
      if (next == 1) row.change(s.settings.input);
    };
    const ConvertResult r = Convert(s.settings, s.message, s.host);
    EXPECT_EQ(r.status, ConvertStatus::Completed);
    EXPECT_GT(r.filesWritten, 1);
    if (row.left != std::string::npos) {
      EXPECT_EQ(r.bytesConverted, row.left);
    }
    EXPECT_EQ(s.allLines(), testing::referenceLines(std::string_view(input).substr(0, r.bytesConverted)));
  }
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

// One line of hundreds of reader blocks stands alone; binary data with NULs and no line end is one
// line too long for a record: an empty first record, then the data alone. Both byte for byte.
TEST(HostileContent, HugeLinesAndBinaryDataAreKeptWhole) {
  std::string huge(24 * 1024 * 1024 + 3, 'x');
  for (std::size_t i = 0; i < huge.size(); i += 4099) huge[i] = '\x82';
  std::mt19937 rng(2004);
  std::string blob(1 << 20, '\0');
  for (char& c : blob) {
    c = static_cast<char>(rng() % 256);
    if (c == '\r' || c == '\n') c = '\0';
  }
  const struct {
    std::string input;
    std::vector<std::vector<std::string>> bodies;
    std::size_t progress;
  } rows[] = {{"before\r\n" + huge + "\r\nafter", {{"before"}, {huge}, {"after"}}, 8 + huge.size() + 2 + 5},
              {blob, {{}, {blob}}, blob.size()}};
  for (const auto& row : rows) {
    Scenario s;
    writeFile(s.settings.input, row.input);
    EXPECT_EQ(Convert(s.settings, s.message, s.host).status, ConvertStatus::Completed);
    EXPECT_TRUE(s.bodies() == row.bodies) << row.input.size() << " bytes";
    EXPECT_EQ(s.host.progress, static_cast<std::int64_t>(row.progress));
  }
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
