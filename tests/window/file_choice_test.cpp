// Choosing the text: "...", the Subject from the file's name, the size and the estimate.
#include "core/cp932.hpp"
#include "window/estimate.hpp"
#include "window/paths.hpp"
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using C = Control;

std::u16string number(std::size_t n) { return u16(std::to_string(n)); }

struct NameRow {
  const char16_t* separators;
  const char16_t* path;
  const char16_t* base;
};

const NameRow kNames[] = {
    {u"/", u"/data/novel.txt", u"novel"},
    {u"/", u"/data/novel.part1.txt", u"novel.part1"},
    {u"/", u"/data/readme", u"readme"},
    {u"/", u"novel.txt", u"novel"},
    {u"/", u"/data.d/readme", u"readme"},  // a dot in a folder is no extension
    {u"/", u"/data/小説.txt", u"小説"},
    {u"/", u"/data/", u""},
    {u"/", u"", u""},
    {u"/", u"C:\\data\\novel.txt", u"C:\\data\\novel"},  // a backslash is a name character here
    {u"\\/", u"C:\\data\\novel.txt", u"novel"},
    {u"\\/", u"C:\\data\\novel.part1.txt", u"novel.part1"},
    {u"\\/", u"C:\\data\\readme", u"readme"},
    {u"\\/", u"C:/data/novel.txt", u"novel"},
    {u"\\/", u"C:\\da.ta\\readme", u"readme"},
};

TEST(GetFilename, GivesTheLastComponentWithoutItsExtension) {
  for (const NameRow& row : kNames) {
    SCOPED_TRACE(u8(row.path));
    EXPECT_EQ(window::getFilename(row.path, row.separators), row.base);
  }
}

TEST(GetFilename, UsesThePlatformSeparators) {
#ifdef _WIN32
  EXPECT_EQ(window::getFilename(u"C:\\data\\novel.txt"), u"novel");
#else
  EXPECT_EQ(window::getFilename(u"/home/u/novel.txt"), u"novel");
  EXPECT_EQ(window::getFilename(u"/home/u/a\\b.txt"), u"a\\b");
#endif
}

struct FolderRow {
  const char16_t* separators;
  char16_t separator;
  const char16_t* chosen;
  const char16_t* completed;
};

const FolderRow kFolders[] = {
    {u"/", u'/', u"/out", u"/out/"},
    {u"/", u'/', u"/", u"/"},
    {u"/", u'/', u"/out/", u"/out/"},
    {u"/", u'/', u"/表", u"/表/"},
    {u"/", u'/', u"", u""},
    {u"\\/", u'\\', u"C:\\out", u"C:\\out\\"},
    {u"\\/", u'\\', u"C:\\", u"C:\\"},
    {u"\\/", u'\\', u"C:\\表", u"C:\\表\\"},  // 表's second byte is a backslash in the code page
    {u"\\/", u'\\', u"C:\\ソ", u"C:\\ソ\\"},
};

TEST(WithTrailingSeparator, AddsOneSeparatorWhenMissing) {
  for (const FolderRow& row : kFolders) {
    SCOPED_TRACE(u8(row.chosen));
    EXPECT_EQ(window::withTrailingSeparator(row.chosen, row.separators, row.separator), row.completed);
  }
}

TEST_F(WindowTest, ChoosingAFileShowsItsSizeAndTheEstimate) {
  struct Row {
    int bytes;
    const char16_t* info;
    double maximum;
  };
  const Row rows[] = {
      {25000, u"25000bytes. だいたい3個以上のファイルが作成されます。", 25000},
      {20000, u"20000bytes. だいたい2個以上のファイルが作成されます。", 20000},
      {10000, u"10000bytes. だいたい1個以上のファイルが作成されます。", 10000},
      {9999, u"9999bytes. だいたい1個以上のファイルが作成されます。", 9999},
      {0, u"0bytes. だいたい0個以上のファイルが作成されます。", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    chooseFile(writeInput("in" + std::to_string(row.bytes) + ".txt", std::string(row.bytes, 'a')));
    EXPECT_EQ(text(C::labFileInfo), row.info);
    EXPECT_EQ(form.bar().maximum(), row.maximum);
    EXPECT_EQ(form.bar().value(), 0);
    EXPECT_EQ(face.value(C::ProgressBar1), 0);
    EXPECT_TRUE(enabled(C::comConvert));
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, OpenDialogOffersTextFilesThenAllFiles) {
  face.click(C::Command2);
  ASSERT_EQ(dialogs.fileFilters.size(), 1u);
  const auto& filters = dialogs.fileFilters[0];
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].caption, u"テキストファイル(*.txt)");
  EXPECT_EQ(filters[0].patterns, u"*.txt");
  EXPECT_EQ(filters[1].caption, u"すべてのファイル(*.*)");
  EXPECT_EQ(filters[1].patterns, u"*.*");
  EXPECT_EQ(dialogs.owners[0], face.owner());
}

TEST_F(WindowTest, CancellingTheFirstChoiceChangesNothing) {
  face.click(C::Command2);  // an empty answer
  EXPECT_TRUE(text(C::txtFileName).empty());
  EXPECT_FALSE(enabled(C::comConvert));
  EXPECT_TRUE(text(C::labFileInfo).empty());
  EXPECT_TRUE(text(C::txtSubject).empty());
}

TEST_F(WindowTest, TheFileNameBecomesTheSubjectWhileCheck1IsTicked) {
  const auto file = writeInput("novel.part1.txt", "abc\r\n");
  chooseFile(file);
  EXPECT_EQ(text(C::txtFileName), u16Path(file));
  EXPECT_EQ(text(C::txtSubject), u"novel.part1");
  EXPECT_EQ(text(C::labSubject), u"11bytes");

  face.click(C::Check1);  // off: Subject emptied and rechecked
  EXPECT_FALSE(face.checked(C::Check1));
  EXPECT_EQ(text(C::txtSubject), u"");
  EXPECT_EQ(text(C::labSubject), u"0bytes");

  face.type(C::txtSubject, u"kept");
  chooseFile(writeInput("other.txt", "x"));
  EXPECT_EQ(text(C::txtSubject), u"kept");

  face.click(C::Check1);  // on: refilled from the current file
  EXPECT_TRUE(face.checked(C::Check1));
  EXPECT_EQ(text(C::txtSubject), u"other");
  EXPECT_EQ(text(C::labSubject), u"5bytes");
}

TEST_F(WindowTest, Check1WithoutAFileEmptiesTheSubject) {
  face.type(C::txtSubject, u"typed");
  face.click(C::Check1);
  face.click(C::Check1);
  EXPECT_TRUE(face.checked(C::Check1));
  EXPECT_EQ(text(C::txtSubject), u"");
}

TEST_F(WindowTest, AnUnreadableFileIsRefusedWithAMessageAndNothingChanges) {
  dialogs.files.push_back({u16Path(dir / "gone.txt")});
  face.click(C::Command2);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
  const std::string said = u8(dialogs.boxes[0].text);
  EXPECT_EQ(said.rfind("ファイルの大きさを読み取れませんでした。", 0), 0u) << said;
  // The reason, in Japanese from the one table, not the system's English.
  EXPECT_NE(said.find("ファイルまたはフォルダが見つかりません"), std::string::npos) << said;
  EXPECT_NE(said.find(utf8Of(dir / "gone.txt")), std::string::npos) << said;
  EXPECT_TRUE(text(C::txtFileName).empty());
  EXPECT_FALSE(enabled(C::comConvert));
}

TEST_F(WindowTest, ALimitWrittenWithPlusSeparatorsOrFullWidthDigitsIsAccepted) {
  const auto file = writeInput("a.txt", std::string(25000, 'a'));
  for (const char16_t* limit : {u"+10000", u"10,000", u"１００００", u"＋１０，０００", u" 10000 "}) {
    SCOPED_TRACE(u8(limit));
    dialogs.boxes.clear();
    face.type(C::txtMaxLength, limit);
    chooseFile(file);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(text(C::labFileInfo), u"25000bytes. だいたい3個以上のファイルが作成されます。");
  }
}

// A text with ruby and notes says so after its estimate, in whichever encoding it comes.
TEST_F(WindowTest, AnAozoraBunkoTextIsNamedAfterTheEstimate) {
  const std::u16string line = u"宿《やど》［＃注］\r\n";
  for (const std::string& bytes : {utf16ToUtf8(line), cp932::encode(line), std::string("a\r\n")}) {
    chooseFile(writeInput("novel.txt", bytes));
    EXPECT_EQ(text(C::labFileInfo).ends_with(window::texts::kEstimateAozora), bytes.size() > 3) << bytes;
  }
}

TEST_F(WindowTest, ALimitThatIsNotAPositiveWholeNumberGetsAMessageInsteadOfAnEstimate) {
  const auto file = writeInput("a.txt", std::string(300, 'a'));
  for (const char16_t* limit : {u"", u"0", u"-5", u"abc", u"12x", u"2147483648", u"99999999999"}) {
    SCOPED_TRACE(u8(limit));
    dialogs.boxes.clear();
    face.type(C::txtMaxLength, limit);
    chooseFile(file);
    EXPECT_EQ(text(C::labFileInfo), u"300bytes.");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
    EXPECT_NE(dialogs.boxes[0].text.find(u"最大バイト数"), std::u16string::npos);
    EXPECT_TRUE(enabled(C::comConvert));
    EXPECT_EQ(form.bar().maximum(), 300);
  }
  face.type(C::txtMaxLength, u"2147483647");
  dialogs.boxes.clear();
  chooseFile(file);
  EXPECT_EQ(text(C::labFileInfo), u"300bytes. だいたい1個以上のファイルが作成されます。");
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, AnEstimatePast32767IsShownInFullWithAWarning) {
  face.type(C::txtMaxLength, u"1");
  chooseFile(writeInput("big.txt", std::string(32767, 'a')));
  EXPECT_TRUE(dialogs.boxes.empty());
  chooseFile(writeInput("bigger.txt", std::string(40000, 'a')));
  EXPECT_EQ(text(C::labFileInfo), u"40000bytes. だいたい40000個以上のファイルが作成されます。");
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_TRUE(enabled(C::comConvert));
}

// The estimate counts the text as it will be written, in code page 932, whatever its encoding.
TEST_F(WindowTest, TheEstimateOfAUtf8OrUtf16TextIsOfItsSizeInCodePage932) {
  const std::u16string line = u"あいうえおかきくけこ\r\n";
  std::u16string novel;
  for (int i = 0; i < 1500; ++i) novel += line;
  std::string utf16le = "\xff\xfe", utf16be = "\xfe\xff";
  for (const char16_t c : novel) {
    utf16le += {char(c & 0xff), char(c >> 8)};
    utf16be += {char(c >> 8), char(c & 0xff)};
  }
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {{"cp932.txt", cp932::encode(novel)},
               {"utf8.txt", u8(novel)},
               {"utf16le.txt", utf16le},
               {"utf16be.txt", utf16be}};
  face.type(C::txtMaxLength, u"3000");
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    chooseFile(writeInput(file.name, file.bytes));
    EXPECT_EQ(text(C::labFileInfo),
              number(file.bytes.size()) + u"bytes. だいたい11個以上のファイルが作成されます。");
    const std::filesystem::path out = dir / (std::string("out-") + file.name);
    std::filesystem::create_directories(out);
    dialogs.folders.push_back(u16Path(out));
    face.click(C::comConvert);
    EXPECT_GE(recordsIn(out).size(), 11u);  // at least as many as it said
  }
}

TEST(EstimateFiles, RoundsUpAndHandlesSizesPastThirtyTwoBits) {
  EXPECT_EQ(window::estimateFiles(0, 10000), 0);
  EXPECT_EQ(window::estimateFiles(1, 10000), 1);
  EXPECT_EQ(window::estimateFiles(10001, 10000), 2);
  EXPECT_EQ(window::estimateFiles(5'000'000'000LL, 10000), 500'000);
  EXPECT_EQ(window::estimateFiles(5'000'000'001LL, 2147483647), 3);
}

}  // namespace
}  // namespace orvella::testing
