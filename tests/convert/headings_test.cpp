// Records that start at chapters: a generated novel with each kind of heading, converted with the
// heading options, and counted by the dry run alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/converter.hpp"
#include "convert/text_check.hpp"
#include "core/cp932.hpp"
#include "recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

using testing::ConversionFolder;
using testing::readFile;

const std::u16string kLongHeading(60, u'長');

// A title, then chapters headed by a note naming the heading, a pair of notes around it, a plain
// line, and a note naming a heading too long for a Subject.
std::string novel() {
  std::u16string text = u"猫町綺譚\n作者\n";
  const std::u16string headings[] = {u"［＃５字下げ］第一章　春《はる》［＃「第一章　春」は大見出し］",
                                     u"［＃中見出し］第二章　夏［＃中見出し終わり］", u"第三話　秋",
                                     kLongHeading + u"［＃「" + kLongHeading + u"」は小見出し］"};
  for (const auto& heading : headings) {
    text += heading + u"\n";
    for (int i = 0; i < 3; ++i) text += u"　吾輩《わがはい》は猫である。\n";
  }
  return cp932::encode(text);
}

struct Case {
  const char* name;
  ReadingOptions reading;
  std::vector<std::u16string> subjects;    // of each record
  std::vector<std::u16string> firstLines;  // of each record's body
};

ReadingOptions with(bool breaks, std::string pattern, bool subject, AozoraMode mode) {
  ReadingOptions o;
  o.breakAtHeadings = breaks;
  o.headingPattern = std::move(pattern);
  o.subjectHeading = subject;
  o.aozora = mode;
  return o;
}

TEST(Headings, StartRecordsAndNameThemOnAGeneratedNovel) {
  const std::string kChapters = "^第[0-9０-９一二三四五六七八九十百]+[章話]";
  const Case cases[] = {
      {"off", {}, {u"猫町-000"}, {u"猫町綺譚"}},
      {"notes",
       with(true, "", false, AozoraMode::Keep),
       {u"猫町-000", u"猫町-001", u"猫町-002", u"猫町-003"},
       {u"猫町綺譚", u"［＃５字下げ］第一章　春《はる》［＃「第一章　春」は大見出し］",
        u"［＃中見出し］第二章　夏［＃中見出し終わり］",
        kLongHeading + u"［＃「" + kLongHeading + u"」は小見出し］"}},
      {"notes stripped, a pattern, Subjects",
       with(true, kChapters, true, AozoraMode::Strip),
       {u"猫町-000", u"猫町-001 第一章　春", u"猫町-002 第二章　夏", u"猫町-003 第三話　秋",
        u"猫町-004 " + kLongHeading.substr(0, 45)},
       {u"猫町綺譚", u"第一章　春", u"第二章　夏", u"第三話　秋", kLongHeading}},
      {"Subjects alone break nothing",
       with(false, "", true, AozoraMode::Strip),
       {u"猫町-000"},
       {u"猫町綺譚"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConversionFolder f(u"猫町");
    testing::writeFile(f.settings.input, novel());
    f.settings.reading = c.reading;
    ASSERT_EQ(Convert(f.settings, f.message, f.host).status, ConvertStatus::Completed);
    std::vector<std::u16string> subjects;
    std::vector<std::u16string> firstLines;
    for (const auto& name : f.files()) {
      const std::string record = readFile(f.out / name);
      const auto at = record.find("Subject: ") + 9;
      subjects.push_back(cp932::decode(record.substr(at, record.find("\r\n", at) - at)));
      firstLines.push_back(cp932::decode(testing::bodyLines(record).front()));
    }
    EXPECT_EQ(subjects, c.subjects);
    EXPECT_EQ(firstLines, c.firstLines);
    EXPECT_EQ(checkText(f.settings, f.host.dates.front(), 0).records, f.files().size());
  }
}

}  // namespace
}  // namespace orvella
