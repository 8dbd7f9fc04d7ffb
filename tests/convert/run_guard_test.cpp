// The guards around one run, driven in process: the folder held by another run, leftovers of a
// killed run, the hidden-name route for record files, a stop while a line is half read, long
// lines streamed through a scratch file, and header values that would break the header.
#ifndef _WIN32
#include <pthread.h>
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "convert/converter.hpp"
#include "convert/defaults.hpp"
#include "convert/texts.hpp"
#include "platform/files.hpp"
#include "recording_host.hpp"
#include "support/fault_injection.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::bodyLines;
using testing::readFile;
using testing::temporariesUnder;
using testing::writeFile;

struct Scenario : testing::ConversionFolder {
  Scenario() : ConversionFolder(u"guard") {}
};

TEST(RunGuard, AFolderHeldByAnotherRunIsRefusedBeforeReading) {
  Scenario s;
  writeFile(s.settings.input, "a\r\nb\r\n");
  platform::FolderLock other;
  ASSERT_EQ(other.acquire(s.out), platform::FolderLock::State::Held);
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::FolderBusy);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->path, s.out);
  EXPECT_EQ(s.host.progress, 0);
  EXPECT_TRUE(s.files().empty());
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_NE(s.host.messages[0].second.find(texts::kFolderBusy), std::string::npos);

  other.release();  // free again: the next run goes ahead
  EXPECT_EQ(Convert(s.settings, s.message, s.host).status, ConvertStatus::Completed);
}

// The input too, whatever its name: it is read, never removed.
TEST(RunGuard, TemporariesOfAKilledRunAreRemovedAndNothingElse) {
  Scenario s;
  s.settings.input = s.out / ".orvella-8899aabbccddeeff.tmp";
  writeFile(s.settings.input, "a\r\n");
  const std::vector<std::string> stale = {".orvella-00112233aabbccdd.tmp", ".E1__0000.VMG.tmp4242-7"};
  const std::vector<std::string> kept = {".E1__0000.VMG.tmp",
                                         ".orvella-notes",
                                         "notes.tmp",
                                         ".E1__x.VMG.tmp1-a",
                                         ".orvella-draft.tmp",
                                         ".orvella-00112233aabbccd.tmp",
                                         ".orvella-00112233aabbccdd0.tmp",
                                         ".orvella-FFEEDDCCBBAA9988.tmp",
                                         ".orvella-00112233aabbccdd.tmp~",
                                         ".E1__000.VMG.tmp1-2",
                                         ".E1__0000.VMG.tmp1-2x",
                                         ".E1__0000.VMG.tmp-2"};
  for (const auto& name : stale) writeFile(s.out / name, "half a record");
  for (const auto& name : kept) writeFile(s.out / name, "someone else's");
  ASSERT_EQ(Convert(s.settings, s.message, s.host).status, ConvertStatus::Completed);
  for (const auto& name : stale) EXPECT_FALSE(fs::exists(s.out / name)) << name;
  for (const auto& name : kept) EXPECT_EQ(readFile(s.out / name), "someone else's") << name;
  EXPECT_EQ(readFile(s.settings.input), "a\r\n");
  EXPECT_EQ(bodyLines(readFile(s.out / "E1__0000.VMG")), std::vector<std::string>{"a"});
}

// The route taken where the filesystem has no unnamed files: the same records, nothing left.
TEST(RunGuard, HiddenNamedRecordFilesGiveTheSameRecords) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + " \x82\xa0\r\n";
  Scenario unnamed;
  writeFile(unnamed.settings.input, text);
  unnamed.settings.limit = 400;
  ASSERT_EQ(Convert(unnamed.settings, unnamed.message, unnamed.host).status, ConvertStatus::Completed);

  platform::preferNamedRecordFiles(true);
  Scenario named;
  writeFile(named.settings.input, text);
  named.settings.limit = 400;
  writeFile(named.out / "E1__0002.VMG", "older, replaced");
  const ConvertResult r = Convert(named.settings, named.message, named.host);
  platform::preferNamedRecordFiles(false);
  ASSERT_EQ(r.status, ConvertStatus::Completed);
  EXPECT_EQ(named.files(), unnamed.files());
  for (const auto& name : named.files())
    EXPECT_EQ(readFile(named.out / name), readFile(unnamed.out / name)) << name;
  EXPECT_EQ(temporariesUnder(named.dir.path()), std::vector<std::string>{});
}

#ifndef _WIN32
extern "C" void noteSignal(int) {}

// A stop that breaks a read part way through a line: what was read of it is written, and the
// count says exactly how much of the input is in the records.
TEST(RunGuard, AStopPartWayThroughALineKeepsWhatWasRead) {
  Scenario s;
  s.settings.input = s.dir / "in.fifo";
  ASSERT_EQ(::mkfifo(s.settings.input.c_str(), 0600), 0);
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);  // no SA_RESTART: the read is broken

  std::atomic<bool> stop{false};
  s.host.stopWhen = [&] { return stop.load(); };
  const pthread_t reader = ::pthread_self();
  std::thread writer([&] {
    const int w = ::open(s.settings.input.c_str(), O_WRONLY | O_CLOEXEC);
    const std::string text = "first\r\nsecond, half";
    (void)!::write(w, text.data(), text.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stop = true;
    ::pthread_kill(reader, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::close(w);
  });
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  writer.join();
  ::sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(r.status, ConvertStatus::Stopped);
  ASSERT_EQ(s.files().size(), 1u);
  EXPECT_EQ(bodyLines(readFile(s.out / "E1__0000.VMG")), (std::vector<std::string>{"first", "second, half"}));
  EXPECT_EQ(r.bytesConverted, 7u + 12u);
}
#else
TEST(RunGuard, AStopPartWayThroughALineKeepsWhatWasRead) {
  GTEST_SKIP() << "POSIX only: a FIFO and a signal sent to the reading thread";
}
#endif

// Lines longer than the record in hand may hold wait in a scratch file; whether they then fit
// or open the next record, every byte arrives in order and nothing is left behind.
struct LongLine {
  const char* name;
  std::string limit;
  std::size_t records;
  friend void PrintTo(const LongLine& c, std::ostream* os) { *os << c.name; }
};

class RunGuardLongLines : public ::testing::TestWithParam<LongLine> {};

TEST_P(RunGuardLongLines, ArriveWhole) {
  Scenario s;
  std::string big(20u << 20, 'L');
  for (std::size_t i = 0; i < big.size(); i += 7919) big[i] = '\x82';
  writeFile(s.settings.input, "a\r\n" + big + "\r\nb\r\n");
  s.settings.limit = *parseLimit(GetParam().limit);
  ASSERT_EQ(Convert(s.settings, s.message, s.host).status, ConvertStatus::Completed);
  EXPECT_EQ(s.files().size(), GetParam().records);
  EXPECT_EQ(s.allLines(), (std::vector<std::string>{"a", big, "b"}));
  EXPECT_EQ(temporariesUnder(s.dir.path()), std::vector<std::string>{});
  // The buffer keeps the start of a record that large, never all of it.
  EXPECT_LT(s.message.curMessage().size(), big.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, RunGuardLongLines,
                         ::testing::Values(LongLine{"FitsAfterWaiting", "2147483647", 1},
                                           LongLine{"OverflowsAfterWaiting", "15000000", 3},
                                           LongLine{"OverflowsAtOnce", "10000", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadHeader {
  const char* name;
  HeaderInputs header;
  std::string field;
  std::string_view why = texts::kHeaderBreaks;
  friend void PrintTo(const BadHeader& c, std::ostream* os) { *os << c.name; }
};

class RunGuardHeader : public ::testing::TestWithParam<BadHeader> {};

TEST_P(RunGuardHeader, ABreakingOrOverlongValueIsRefusedBeforeAnythingIsRead) {
  Scenario s;
  writeFile(s.settings.input, "a\r\n");
  s.settings.header = GetParam().header;
  const ConvertResult r = Convert(s.settings, s.message, s.host);
  EXPECT_EQ(r.status, ConvertStatus::InvalidHeader);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->field, GetParam().field);
  EXPECT_TRUE(s.files().empty());
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_EQ(s.host.messages[0].second.rfind(GetParam().field + std::string(GetParam().why), 0), 0u);
}

HeaderInputs with(std::u16string HeaderInputs::*field, std::u16string value) {
  HeaderInputs h;
  h.*field = std::move(value);
  return h;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunGuardHeader,
    ::testing::Values(BadHeader{"Subject", with(&HeaderInputs::subject, u"a\r\nEND:VMSG"), "Subject"},
                      BadHeader{"From", with(&HeaderInputs::from, u"x\n"), "From"},
                      BadHeader{"To", with(&HeaderInputs::to, u"\x1b[0m"), "To"},
                      BadHeader{"Format", with(&HeaderInputs::pattern, u"0\r"), "Format"},
                      // Each value against its own limit, a full-width letter counting two bytes.
                      BadHeader{"LongFrom", with(&HeaderInputs::from, std::u16string(33, u'\xFF21')), "From",
                                texts::kHeaderTooLong},
                      BadHeader{"LongTo", with(&HeaderInputs::to, std::u16string(kMaxAddressBytes + 1, u'a')),
                                "To", texts::kHeaderTooLong},
                      BadHeader{"LongSubjectWithItsSerial",
                                with(&HeaderInputs::subject, std::u16string(kMaxSubjectBytes - 3, u'a')),
                                "Subject", texts::kHeaderTooLong}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunGuard, ADateFromTheHostCannotBreakTheHeaderEither) {
  Scenario s;
  writeFile(s.settings.input, "a\r\n");
  s.host.dates = {u"Wed, 11 Feb 2004 05:15:55 +0900\r\nEND:VMSG"};
  ASSERT_EQ(Convert(s.settings, s.message, s.host).status, ConvertStatus::Completed);
  const std::string record = readFile(s.out / "E1__0000.VMG");
  EXPECT_NE(record.find("\r\nDate: Wed, 11 Feb 2004 05:15:55 +0900  END:VMSG\r\n"), std::string::npos)
      << record;
}

}  // namespace
}  // namespace orvella
