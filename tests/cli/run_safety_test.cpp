// orvella-convert when a run meets another run, its own input, a kill, a line that never ends,
// header values that would break the header, and older records beside the new series.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_texts.hpp"
#include "convert/texts.hpp"
#include "support/fault_injection.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::contains;
using testing::filesIn;
using testing::finish;
using testing::Outcome;
using testing::pipeWriter;
using testing::readFile;
using testing::run;
using testing::send;
using testing::start;
using testing::TempDir;
using testing::temporariesUnder;
using testing::waitFor;
using testing::writeFile;

constexpr char kDate[] = "Wed, 11 Feb 2004 05:15:55 +0900";

std::string lines(char c, int count, std::size_t width = 50) {
  std::string out;
  for (int i = 0; i < count; ++i) out += std::string(width, c) + "\r\n";
  return out;
}

struct Folder {
  TempDir dir;
  fs::path input = dir / "in.txt";
  fs::path out = dir / "out";
  Folder() {
    fs::create_directory(out);
    writeFile(input, lines('a', 3));
  }
};

// Every entry is a complete record under a record's name: nothing half-made, nothing hidden.
void expectOnlyCompleteRecords(const fs::path& out) {
  for (const auto& name : filesIn(out)) {
    EXPECT_EQ(name.size(), 12u) << name;
    EXPECT_EQ(name.rfind("E1__", 0), 0u) << name;
    const std::string record = readFile(out / name);
    EXPECT_EQ(record.rfind("BEGIN:VMSG\r\n", 0), 0u) << name;
    const std::string end = "\r\nEND:VBODY\r\nEND:VMSG\r\n";
    EXPECT_TRUE(record.size() >= end.size() &&
                record.compare(record.size() - end.size(), end.size(), end) == 0)
        << name;
  }
}

// ---- Header values ----

struct HeaderCase {
  const char* name;
  std::vector<std::string> args;
  std::string says;
  friend void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }
};

class CliHeaderValues : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(CliHeaderValues, ThatWouldBreakTheHeaderAreRefusedWithExitTwo) {
  Folder f;
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"-o", f.out.string(), f.input.string()});
  const Outcome o = run(f.dir.path(), args);
  EXPECT_EQ(o.code, 2) << o.err;
  EXPECT_TRUE(contains(o.err, GetParam().says)) << o.err;
  EXPECT_TRUE(filesIn(f.out).empty());
}

const std::string kControl(cli_texts::kControlCharacter);
const std::string kBadDate(cli_texts::kBadDate);

INSTANTIATE_TEST_SUITE_P(
    Cases, CliHeaderValues,
    ::testing::Values(
        HeaderCase{"SubjectEndsTheRecord", {"--subject", "a\r\nEND:VMSG"}, "--subject" + kControl},
        HeaderCase{"FromWithLf", {"--from", "me@x\n"}, "--from" + kControl},
        HeaderCase{"ToWithAControl", {"--to", "to\x01@y"}, "--to" + kControl},
        HeaderCase{"FormatWithCr", {"--format", "0\r0"}, "--format" + kControl},
        HeaderCase{"DateWithAnExtraLine", {"--date", std::string(kDate) + "\r\nX-A: b"}, "--date" + kControl},
        HeaderCase{"DateAnyText", {"--date", "fixed date"}, kBadDate},
        HeaderCase{"DateWithoutZone", {"--date", "Wed, 11 Feb 2004 05:15:55"}, kBadDate},
        HeaderCase{"DateZoneTooLong", {"--date", "Wed, 11 Feb 2004 05:15:55 +09000"}, kBadDate},
        HeaderCase{"DateDayInLowerCase", {"--date", "wed, 11 Feb 2004 05:15:55 +0900"}, kBadDate},
        HeaderCase{"DateHourPastTheDay", {"--date", "Wed, 11 Feb 2004 24:15:55 +0900"}, kBadDate},
        HeaderCase{"DateOfAnyLength", {"--date", std::string(5000, 'x')}, kBadDate}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliHeaderValues, AnyZoneAndATabAreFineAndAFileNameLosesItsLineBreaks) {
  Folder f;
  const fs::path odd = f.dir / "a\r\nEND:VMSG\x01.txt";
  writeFile(odd, "x\r\n");
  Outcome o = run(f.dir.path(), {"--date", "Mon, 01 Jan 2024 23:59:59 -0330", "--to", "t\tu", "-o",
                                 f.out.string(), odd.string()});
  ASSERT_EQ(o.code, 0) << o.err;
  const std::string record = readFile(f.out / "E1__0000.VMG");
  EXPECT_TRUE(contains(record, "\r\nDate: Mon, 01 Jan 2024 23:59:59 -0330\r\n")) << record;
  EXPECT_TRUE(contains(record, "\r\nTo: t\tu\r\n")) << record;
  EXPECT_TRUE(contains(record, "\r\nSubject: a  END:VMSG -000\r\n")) << record;
}

// ---- The input among the files a run writes ----

struct OwnInput {
  const char* name;
  // Puts the input somewhere and returns its path and the extra arguments.
  std::function<fs::path(const Folder&)> place;
  std::vector<std::string> extra;
  int code;
  friend void PrintTo(const OwnInput& c, std::ostream* os) { *os << c.name; }
};

class CliOwnInput : public ::testing::TestWithParam<OwnInput> {};

TEST_P(CliOwnInput, IsNeverWrittenOver) {
  Folder f;
  const std::string text = lines('q', 400);
  writeFile(f.input, text);
  const fs::path input = GetParam().place(f);
  std::vector<std::string> args = GetParam().extra;
  args.insert(args.end(), {"-o", f.out.string(), input.string()});
  const auto before = filesIn(f.out);
  const Outcome o = run(f.dir.path(), args);
  EXPECT_EQ(o.code, GetParam().code) << o.err;
  EXPECT_EQ(readFile(input), text);
  if (GetParam().code == 2) {
    EXPECT_TRUE(contains(o.err, texts::kInputIsOutput)) << o.err;
    EXPECT_EQ(filesIn(f.out), before);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliOwnInput,
                         ::testing::Values(OwnInput{"FirstRecordName",
                                                    [](const Folder& f) {
                                                      fs::rename(f.input, f.out / "E1__0000.VMG");
                                                      return f.out / "E1__0000.VMG";
                                                    },
                                                    {},
                                                    2},
                                           OwnInput{"HardLinkFurtherOn",
                                                    [](const Folder& f) {
                                                      fs::create_hard_link(f.input, f.out / "E1__0003.VMG");
                                                      return f.input;
                                                    },
                                                    {},
                                                    2},
                                           OwnInput{"BeforeTheStartNumber",
                                                    [](const Folder& f) {
                                                      fs::rename(f.input, f.out / "E1__0000.VMG");
                                                      return f.out / "E1__0000.VMG";
                                                    },
                                                    {"--start", "1"},
                                                    0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Two runs, one folder ----

TEST(CliTwoRuns, TheSecondRunIntoABusyFolderRefusesAtOnce) {
  Folder f;
  const fs::path fifo = f.dir / "in.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(f.dir / "first");
  const Child first = start(
      f.dir / "first", {"--max-bytes", "200", "--subject", "first", "-o", f.out.string(), fifo.string()});
  const int w = pipeWriter(fifo);  // the first run holds the folder before it opens its input
  if (w < 0) ::kill(first.pid, SIGKILL);
  ASSERT_GE(w, 0);

  fs::create_directory(f.dir / "second");
  const Outcome second =
      run(f.dir / "second", {"--subject", "second", "-o", f.out.string(), f.input.string()});
  EXPECT_EQ(second.code, 2) << second.err;
  EXPECT_TRUE(contains(second.err, texts::kFolderBusy)) << second.err;
  EXPECT_TRUE(filesIn(f.out).empty());

  EXPECT_TRUE(send(w, lines('a', 3)));
  ::close(w);
  const Outcome o = finish(first);
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(filesIn(f.out), (std::vector<std::string>{"E1__0000.VMG", "E1__0001.VMG", "E1__0002.VMG"}));
  for (const auto& name : filesIn(f.out)) EXPECT_TRUE(contains(readFile(f.out / name), "Subject: first-"));
}

// ---- Killed mid-run ----

class CliKilled : public ::testing::TestWithParam<int> {};

TEST_P(CliKilled, LeavesOnlyCompleteRecords) {
  const int signal = GetParam();
  Folder f;
  const fs::path fifo = f.dir / "in.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(f.dir / "scratch");
  const Child child = start(f.dir / "scratch", {"--max-bytes", "200", "-o", f.out.string(), fifo.string()});
  const int w = pipeWriter(fifo);
  if (w < 0) ::kill(child.pid, SIGKILL);
  ASSERT_GE(w, 0);
  // Record 0 written, record 1 in hand with a line, and a large line on its way.
  ASSERT_TRUE(send(w, lines('a', 2)));
  const bool wrote = waitFor([&] { return fs::exists(f.out / "E1__0000.VMG"); });
  std::string big(3u << 20, 'b');
  ASSERT_TRUE(send(w, big.substr(0, big.size() / 2)));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::kill(child.pid, signal);
  const Outcome o = finish(child);
  ::close(w);
  ASSERT_TRUE(wrote) << o.err;
  EXPECT_EQ(o.code, signal == SIGKILL ? 128 + SIGKILL : 1) << o.err;
  expectOnlyCompleteRecords(f.out);
  EXPECT_EQ(temporariesUnder(f.dir.path()), std::vector<std::string>{});
  if (signal != SIGKILL) {
    // A hang-up closes the record in hand like an interrupt: the line read so far is kept.
    EXPECT_TRUE(contains(readFile(f.out / "E1__0001.VMG"), std::string(50, 'a') + "\r\n")) << o.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, CliKilled, ::testing::Values(SIGKILL, SIGHUP, SIGTERM),
                         [](const auto& info) {
                           return info.param == SIGKILL  ? "Kill"
                                  : info.param == SIGHUP ? "HangUp"
                                                         : "Terminate";
                         });

// ---- A line that never ends ----

TEST(CliMemory, ALineWithoutEndStaysWithinBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit this test sets";
#endif
  Folder f;
  const fs::path fifo = f.dir / "in.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(f.dir / "scratch");
  constexpr std::size_t kLine = std::size_t{200} << 20;
  constexpr rlim_t kAddressSpace = rlim_t{512} << 20;
  const Child child =
      start(f.dir / "scratch", {"-q", "--date", kDate, "--subject", "m", "-o", f.out.string(), fifo.string()},
            0, kAddressSpace);
  const int w = pipeWriter(fifo);
  if (w < 0) ::kill(child.pid, SIGKILL);
  ASSERT_GE(w, 0);
  const std::string block(1 << 20, 'z');
  bool sent = true;
  for (std::size_t n = 0; n < kLine && sent; n += block.size()) sent = send(w, block);
  ::close(w);
  const Outcome o = finish(child);
  ASSERT_TRUE(sent) << o.err;
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_LT(o.peakKiB, 64 * 1024) << "peak resident memory in KiB";
  ASSERT_EQ(filesIn(f.out), (std::vector<std::string>{"E1__0000.VMG", "E1__0001.VMG"}));
  EXPECT_GT(fs::file_size(f.out / "E1__0001.VMG"), kLine);
}

// ---- Older records beside the new series ----

// The series written is E1__0000..0002; what lies past it is looked at.
struct LeftoverCase {
  std::vector<const char*> files, folders;
  std::string told;  // the range the closing message names; empty: no sentence at all
};

TEST(CliLeftovers, AreLeftAloneAndTheirRangeIsTold) {
  const std::string middle(texts::kLeftoversMiddle);
  const LeftoverCase cases[] = {
      {{"E1__0003.VMG", "E1__0004.VMG", "E1__0005.VMG", "E1__0007.VMG"},
       {},
       "E1__0003.VMG" + middle + "E1__0005.VMG"},
      {{"E1__0004.VMG", "E1__0005.VMG"}, {"E1__0003.VMG"}, ""},
  };
  for (const LeftoverCase& c : cases) {
    for (bool quiet : {false, true}) {
      Folder f;
      for (const char* name : c.files) writeFile(f.out / name, "old");
      for (const char* name : c.folders) fs::create_directory(f.out / name);
      std::vector<std::string> args{"--max-bytes", "200", "-o", f.out.string(), f.input.string()};
      if (quiet) args.insert(args.begin(), "-q");
      const Outcome o = run(f.dir.path(), args);
      ASSERT_EQ(o.code, 0) << o.err;
      const std::string sentence = c.told.empty() ? "" : std::string(texts::kLeftoversPrefix) + c.told;
      EXPECT_EQ(contains(o.err, texts::kLeftoversPrefix), !c.told.empty()) << o.err;
      EXPECT_TRUE(contains(o.err, sentence)) << o.err;
      for (const char* name : c.files) EXPECT_EQ(readFile(f.out / name), "old");
      for (const char* name : c.folders) EXPECT_TRUE(fs::is_directory(f.out / name));
    }
  }
}

}  // namespace
}  // namespace orvella
