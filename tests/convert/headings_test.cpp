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

TEST(Headings, StartRecordsAndNameThemOnAGeneratedNovel) {
  // A note naming the heading, a pair of notes around it, a plain line, and a note naming a
  // heading too long for a Subject.
  const std::u16string longer(60, u'長');
  const std::u16string headings[] = {u"［＃５字下げ］第一章　春《はる》［＃「第一章　春」は大見出し］",
                                     u"［＃中見出し］第二章　夏［＃中見出し終わり］", u"第三話　秋",
                                     longer + u"［＃「" + longer + u"」は小見出し］"};
  std::u16string novel = u"猫町綺譚\n作者\n";
  for (const auto& heading : headings) novel += heading + u"\n　吾輩《わがはい》は猫である。\n";
  const struct {
    AozoraMode aozora;
    bool breaks;
    const char* pattern;
    bool subjects;
    std::vector<std::u16string> records;  // each one's Subject and first line
  } rows[] = {
      {AozoraMode::Keep,
       true,
       "",
       false,
       {u"猫町-000|猫町綺譚", u"猫町-001|" + headings[0], u"猫町-002|" + headings[1],
        u"猫町-003|" + headings[3]}},
      {AozoraMode::Strip,
       true,
       "^第[0-9０-９一二三四五六七八九十百]+[章話]",
       true,
       {u"猫町-000|猫町綺譚", u"猫町-001 第一章　春|第一章　春", u"猫町-002 第二章　夏|第二章　夏",
        u"猫町-003 第三話　秋|第三話　秋", u"猫町-004 " + longer.substr(0, 45) + u"|" + longer}},
      {AozoraMode::Strip, false, "", true, {u"猫町-000|猫町綺譚"}},  // Subjects alone break nothing
  };
  for (const auto& row : rows) {
    testing::ConversionFolder f(u"猫町");
    testing::writeFile(f.settings.input, cp932::encode(novel));
    f.settings.reading = {row.aozora, false, row.breaks, row.pattern, row.subjects, 0};
    ASSERT_EQ(Convert(f.settings, f.message, f.host).status, ConvertStatus::Completed);
    std::vector<std::u16string> records;
    for (const auto& name : f.files()) {
      const std::string record = testing::readFile(f.out / name);
      const auto at = record.find("Subject: ") + 9;
      records.push_back(cp932::decode(record.substr(at, record.find("\r\n", at) - at) + "|" +
                                      testing::bodyLines(record).front()));
    }
    EXPECT_EQ(records, row.records);
    EXPECT_EQ(checkText(f.settings, f.host.dates.front(), 0).records, records.size());
  }
}

}  // namespace
}  // namespace orvella
