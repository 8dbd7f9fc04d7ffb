// orvella-convert against faults and hostile inputs: a write that fails (read-only file, full
// disk, folder deleted mid-run) exits 1, names the file and why, and writes nothing after it; an input that
// cannot be read exits 1 with nothing written; arguments that are not UTF-8 exit 2; header text
// the code page lacks is written as '?' and counted as LengthB counts it.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_texts.hpp"
#include "convert/reasons.hpp"
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
using testing::program;
using testing::readFile;
using testing::run;
using testing::send;
using testing::start;
using testing::TempDir;
using testing::temporariesUnder;
using testing::waitFor;
using testing::writeFile;

// The lines of stderr that report a failed write.
std::vector<std::string> writeErrorLines(const std::string& err) {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) {
    if (contains(line, texts::kWriteError)) lines.push_back(line);
  }
  return lines;
}

const std::string kOlder = "older record, kept";
// Three records of one line each at --max-bytes 200; the middle one is too big for a full disk.
const std::vector<std::string> kLines = {std::string(50, 'a'), std::string(10000, 'b'), std::string(50, 'c')};

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

struct Folder {
  TempDir dir;
  fs::path input = dir / "in.txt";
  fs::path out = dir / "out";
  Folder() {
    fs::create_directory(out);
    writeFile(input, joined(kLines));
  }
  std::vector<std::string> args() const { return {"--max-bytes", "200", "-o", out.string(), input.string()}; }
};

// Exit 1, the failed file named with its reason, and nothing written after it.
void expectStoppedAt(const Outcome& o, const fs::path& out, int failing, std::string_view reason) {
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_FALSE(writeErrorLines(o.err).empty()) << o.err;
  char name[16];
  std::snprintf(name, sizeof name, "E1__%04d.VMG", failing);
  EXPECT_TRUE(contains(o.err, (out / name).string() + ": " + std::string(reason))) << o.err;
  EXPECT_TRUE(contains(o.err, texts::kRestNotConverted)) << o.err;
  EXPECT_FALSE(contains(o.err, texts::kCompleted)) << o.err;
  std::snprintf(name, sizeof name, "E1__%04d.VMG", failing + 1);
  EXPECT_FALSE(fs::exists(out / name));
}

// ---- Writes that fail ----

struct CliWriteFault {
  const char* name;
  std::function<void(const Folder&)> prepare;
  platform::ErrorKind reason;
  rlim_t maxFileBytes = 0;
  friend void PrintTo(const CliWriteFault& f, std::ostream* os) { *os << f.name; }
};

class CliWriteFaults : public ::testing::TestWithParam<CliWriteFault> {};

TEST_P(CliWriteFaults, ExitOneNamesTheFileAndWhyAndKeepsItsOlderContent) {
  Folder f;
  GetParam().prepare(f);
  const Outcome o = run(f.dir.path(), f.args(), GetParam().maxFileBytes);
  expectStoppedAt(o, f.out, 1, reasonText({GetParam().reason, 0}));
  EXPECT_EQ(readFile(f.out / "E1__0001.VMG"), kOlder);
  EXPECT_EQ(filesIn(f.out), (std::vector<std::string>{"E1__0000.VMG", "E1__0001.VMG"}));
  EXPECT_EQ(temporariesUnder(f.dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliWriteFaults,
    ::testing::Values(CliWriteFault{"ReadOnlyOlderFile",
                                    [](const Folder& f) {
                                      writeFile(f.out / "E1__0001.VMG", kOlder);
                                      fs::permissions(f.out / "E1__0001.VMG", fs::perms::owner_read);
                                    },
                                    platform::ErrorKind::ReadOnly},
                      CliWriteFault{"DiskFull",
                                    [](const Folder& f) { writeFile(f.out / "E1__0001.VMG", kOlder); },
                                    platform::ErrorKind::FileTooLarge, 4096}),
    [](const auto& info) { return std::string(info.param.name); });

// The input comes through a named pipe, so the test decides when the program reads on.
TEST(CliWriteFaults, FolderDeletedDuringTheRunStopsAtTheNextFile) {
  TempDir dir;
  const fs::path fifo = dir / "in.fifo";
  const fs::path out = dir / "out";
  fs::create_directory(out);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Child child = start(dir.path(), {"--max-bytes", "200", "-o", out.string(), fifo.string()});
  const int w = pipeWriter(fifo);
  if (w < 0) ::kill(child.pid, SIGKILL);
  ASSERT_GE(w, 0) << finish(child).err;
  ASSERT_TRUE(send(w, joined({kLines[0], kLines[2]})));  // the second line closes and writes record 0
  const bool wrote = waitFor([&] { return fs::exists(out / "E1__0000.VMG"); });
  if (!wrote) ::kill(child.pid, SIGKILL);
  ASSERT_TRUE(wrote) << finish(child).err;
  fs::remove_all(out);
  ASSERT_TRUE(send(w, joined({kLines[0]})));
  ::close(w);

  const Outcome o = finish(child);
  expectStoppedAt(o, out, 1, reasonText({platform::ErrorKind::NotFound, 0}));
  EXPECT_FALSE(fs::exists(out));
}

// ---- An input that never comes ----

// Waits up to `seconds` for the child; kills it and reports -1 when it does not end.
int exitWithin(const Child& c, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(c.pid, &status, WNOHANG) == c.pid)
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(c.pid, SIGKILL);
  ::waitpid(c.pid, &status, 0);
  return -1;
}

// A named pipe nobody writes to: Ctrl-C must still end the program, whether it waits in open()
// (no writer) or in read() (a writer that never writes).
struct SilentPipe : ::testing::TestWithParam<bool> {};

TEST_P(SilentPipe, InterruptEndsTheWait) {
  const bool writerOpen = GetParam();
  TempDir dir;
  const fs::path fifo = dir / "in.fifo";
  fs::create_directory(dir / "out");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int keep = -1;
  if (writerOpen) keep = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);  // a writer that never writes
  const Child child = start(dir.path(), {"-o", (dir / "out").string(), fifo.string()});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(child.pid, SIGINT);
  const int code = exitWithin(child, 5);
  if (keep >= 0) ::close(keep);
  EXPECT_EQ(code, 1) << "-1: still waiting 5 s after SIGINT";
  EXPECT_TRUE(filesIn(dir / "out").empty());
  // Nothing was read, so nothing read was kept: the message says only what happened.
  const std::string err = readFile(child.errPath);
  EXPECT_TRUE(contains(err, cli_texts::kInterrupted)) << err;
  EXPECT_FALSE(contains(err, cli_texts::kInterruptedKept)) << err;
}

INSTANTIATE_TEST_SUITE_P(Cases, SilentPipe, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "WriterOpen" : "NoWriter"; });

// ---- Inputs that cannot be read ----

struct CliUnreadable {
  const char* name;
  std::function<fs::path(const TempDir&)> make;
  friend void PrintTo(const CliUnreadable& u, std::ostream* os) { *os << u.name; }
};

class CliUnreadableInput : public ::testing::TestWithParam<CliUnreadable> {};

TEST_P(CliUnreadableInput, ExitsOneAndWritesNothing) {
  TempDir dir;
  fs::create_directory(dir / "out");
  const fs::path input = GetParam().make(dir);
  const Outcome o = run(dir.path(), {"-o", (dir / "out").string(), "--subject", "s", input.string()});
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_TRUE(contains(o.err, texts::kInputOpenFailed)) << o.err;
  EXPECT_TRUE(filesIn(dir / "out").empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CliUnreadableInput,
                         ::testing::Values(CliUnreadable{"Folder",
                                                         [](const TempDir& d) {
                                                           fs::create_directory(d / "folder.txt");
                                                           return d / "folder.txt";
                                                         }},
                                           CliUnreadable{
                                               "ReadFailsAtOnce",
                                               [](const TempDir&) { return fs::path("/proc/self/mem"); }}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Arguments that are not UTF-8 ----

struct NotUtf8 {
  const char* name;
  std::vector<std::string> args;  // "IN" and "OUT" stand for the prepared paths
  std::string says;
  friend void PrintTo(const NotUtf8& c, std::ostream* os) { *os << c.name; }
};

class CliNotUtf8 : public ::testing::TestWithParam<NotUtf8> {};

TEST_P(CliNotUtf8, IsRefusedWithExitTwoAndNothingWritten) {
  Folder f;
  const fs::path oddInput = f.dir / "\x82\xa0\x82\xa2.txt";  // a Shift_JIS file name
  writeFile(oddInput, "x\r\n");
  std::vector<std::string> args;
  for (const auto& a : GetParam().args) {
    args.push_back(a == "IN"        ? f.input.string()
                   : a == "OUT"     ? f.out.string()
                   : a == "SJIS_IN" ? oddInput.string()
                                    : a);
  }
  const Outcome o = run(f.dir.path(), args);
  EXPECT_EQ(o.code, 2) << o.err;
  EXPECT_TRUE(contains(o.err, GetParam().says)) << o.err;
  EXPECT_TRUE(filesIn(f.out).empty());
}

const std::string kBad = "\x95\xcf\x8a\xb7";  // 変換 in Shift_JIS: not UTF-8

INSTANTIATE_TEST_SUITE_P(
    Cases, CliNotUtf8,
    ::testing::Values(
        NotUtf8{"To", {"--to", kBad, "-o", "OUT", "IN"}, "--to" + std::string(cli_texts::kNotUtf8)},
        NotUtf8{
            "Format", {"--format", kBad, "-o", "OUT", "IN"}, "--format" + std::string(cli_texts::kNotUtf8)},
        NotUtf8{
            "Date", {"--date", "Wed\xff", "-o", "OUT", "IN"}, "--date" + std::string(cli_texts::kNotUtf8)},
        NotUtf8{"CutSequence", {"--subject", "\xe5\xa4", "-o", "OUT", "IN"}, "--subject"},
        NotUtf8{"EncodedSurrogate", {"--from", "\xed\xa0\x80", "-o", "OUT", "IN"}, "--from"},
        NotUtf8{"InputNameAsSubject", {"-o", "OUT", "SJIS_IN"}, std::string(cli_texts::kNameNotUtf8)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliNotUtf8, PathsNeedNotBeUtf8WhenTheSubjectIsGiven) {
  Folder f;
  const fs::path oddInput = f.dir / "\x82\xa0.txt";
  const fs::path oddOut = f.dir / "\x8f\x6f\x97\xcd";  // 出力
  fs::create_directory(oddOut);
  writeFile(oddInput, "x\r\n");
  const Outcome o = run(f.dir.path(), {"--subject", "s", "-o", oddOut.string(), oddInput.string()});
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(filesIn(oddOut), std::vector<std::string>{"E1__0000.VMG"});
}

// ---- Header text the code page lacks ----

std::string times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

struct Lacking {
  const char* name;
  std::vector<std::string> args;
  int code;
  std::string expected;  // in the record when accepted, in stderr when refused
  friend void PrintTo(const Lacking& c, std::ostream* os) { *os << c.name; }
};

class CliLackingCharacters : public ::testing::TestWithParam<Lacking> {};

TEST_P(CliLackingCharacters, AreWrittenAsQuestionMarksAndCountedPerUtf16Unit) {
  Folder f;
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"-o", f.out.string(), f.input.string()});
  const Outcome o = run(f.dir.path(), args);
  ASSERT_EQ(o.code, GetParam().code) << o.err;
  if (o.code == 0) {
    EXPECT_TRUE(contains(readFile(f.out / "E1__0000.VMG"), GetParam().expected));
  } else {
    EXPECT_TRUE(contains(o.err, GetParam().expected)) << o.err;
  }
}

const std::string kEmoji = "\xf0\x9f\x98\x80";  // U+1F600, two UTF-16 units, one '?'
const std::string kBrokenBar = "\xc2\xa6";
const std::string kAcuteE = "e\xcc\x81";  // e + combining acute

INSTANTIATE_TEST_SUITE_P(Cases, CliLackingCharacters,
                         ::testing::Values(Lacking{"EmojiFromAtTheLimit",
                                                   {"--from", times(kEmoji, 32)},
                                                   0,
                                                   "\r\nFrom: " + std::string(32, '?') + "\r\n"},
                                           Lacking{"EmojiFromPastTheLimit",
                                                   {"--from", times(kEmoji, 33)},
                                                   2,
                                                   "From" + std::string(cli_texts::kTooLong) + "66"},
                                           Lacking{"BrokenBarToAtTheLimit",
                                                   {"--to", times(kBrokenBar, 64)},
                                                   0,
                                                   "\r\nTo: " + std::string(64, '?') + "\r\n"},
                                           Lacking{"BrokenBarToPastTheLimit",
                                                   {"--to", times(kBrokenBar, 65)},
                                                   2,
                                                   "To" + std::string(cli_texts::kTooLong) + "65"},
                                           Lacking{"CombiningSubjectAtTheLimit",
                                                   {"--subject", times(kAcuteE, 48)},
                                                   0,
                                                   "\r\nSubject: " + times("e?", 48) + "-000\r\n"},
                                           Lacking{"CombiningSubjectPastTheLimit",
                                                   {"--subject", times(kAcuteE, 49)},
                                                   2,
                                                   "Subject" + std::string(cli_texts::kTooLong) + "102"}),
                         [](const auto& info) { return std::string(info.param.name); });

// An output that nobody reads from the first write on: the handlers are in before anything is
// written, so SIGPIPE never ends the program outright (exit 141).
TEST(CliClosedPipes, NeverKillTheProgramOutright) {
  TempDir dir;
  writeFile(dir / "in.txt", "a\r\n");
  const struct {
    std::vector<std::string> args;
    int code;
  } rows[] = {
      {{"--help"}, 0},
      {{"--version"}, 0},
      {{"--bogus"}, 2},
      {{"--check", (dir / "in.txt").string()}, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.front());
    EXPECT_EQ(finish(start(dir.path(), row.args, 0, 0, true)).code, row.code);
  }
}

}  // namespace
}  // namespace orvella
