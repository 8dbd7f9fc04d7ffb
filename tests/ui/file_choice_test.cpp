#include <QTest>

#include "window/estimate.hpp"
#include "ui/paths.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using ui::BoxIcon;

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
    const QString path = QString::fromUtf16(row.path);
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(ui::getFilename(path, QStringView(row.separators)), QString::fromUtf16(row.base));
  }
}

TEST(GetFilename, UsesThePlatformSeparators) {
#ifdef Q_OS_WIN
  EXPECT_EQ(ui::getFilename(QStringLiteral("C:\\data\\novel.txt")), "novel");
#else
  EXPECT_EQ(ui::getFilename(QStringLiteral("/home/u/novel.txt")), "novel");
  EXPECT_EQ(ui::getFilename(QStringLiteral("/home/u/a\\b.txt")), "a\\b");
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
    const QString chosen = QString::fromUtf16(row.chosen);
    SCOPED_TRACE(chosen.toStdString());
    EXPECT_EQ(ui::withTrailingSeparator(chosen, QStringView(row.separators), QChar(row.separator)),
              QString::fromUtf16(row.completed));
  }
}

TEST_F(WindowTest, ChoosingAFileShowsItsSizeAndTheEstimate) {
  struct Row {
    int bytes;
    const char* info;
    double maximum;
  };
  const Row rows[] = {
      {25000, "25000bytes. だいたい3個以上のファイルが作成されます。", 25000},
      {20000, "20000bytes. だいたい2個以上のファイルが作成されます。", 20000},
      {10000, "10000bytes. だいたい1個以上のファイルが作成されます。", 10000},
      {9999, "9999bytes. だいたい1個以上のファイルが作成されます。", 9999},
      {0, "0bytes. だいたい0個以上のファイルが作成されます。", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    bar()->setValueF(5);
    chooseFile(writeInput("in" + std::to_string(row.bytes) + ".txt", std::string(row.bytes, 'a')));
    EXPECT_EQ(label("labFileInfo")->text(), QString::fromUtf8(row.info));
    EXPECT_EQ(bar()->maximumF(), row.maximum);
    EXPECT_EQ(bar()->valueF(), 0);
    EXPECT_TRUE(get("comConvert")->isEnabled());
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, OpenDialogOffersTextFilesThenAllFiles) {
  window->Command2_Click();
  ASSERT_EQ(dialogs.fileFilters.size(), 1u);
  EXPECT_EQ(dialogs.fileFilters[0],
            QStringList({QString::fromUtf8("テキストファイル(*.txt)"), QString::fromUtf8("すべてのファイル(*.*)")}));
  EXPECT_EQ(dialogs.owners[0], window.get());
}

TEST_F(WindowTest, CancellingTheFirstChoiceChangesNothing) {
  window->Command2_Click();  // an empty answer
  EXPECT_TRUE(edit("txtFileName")->text().isEmpty());
  EXPECT_FALSE(get("comConvert")->isEnabled());
  EXPECT_TRUE(label("labFileInfo")->text().isEmpty());
  EXPECT_TRUE(edit("txtSubject")->text().isEmpty());
}

TEST_F(WindowTest, TheFileNameBecomesTheSubjectWhileCheck1IsTicked) {
  const auto file = writeInput("novel.part1.txt", "abc\r\n");
  chooseFile(file);
  EXPECT_EQ(edit("txtFileName")->text(), qpath(file));
  EXPECT_EQ(edit("txtSubject")->text(), "novel.part1");
  EXPECT_EQ(label("labSubject")->text(), "11bytes");

  QTest::mouseClick(check("Check1"), Qt::LeftButton);  // off: Subject emptied and rechecked
  EXPECT_FALSE(check("Check1")->isChecked());
  EXPECT_EQ(edit("txtSubject")->text(), "");
  EXPECT_EQ(label("labSubject")->text(), "0bytes");

  edit("txtSubject")->setText(QStringLiteral("kept"));
  chooseFile(writeInput("other.txt", "x"));
  EXPECT_EQ(edit("txtSubject")->text(), "kept");

  QTest::mouseClick(check("Check1"), Qt::LeftButton);  // on: refilled from the current file
  EXPECT_TRUE(check("Check1")->isChecked());
  EXPECT_EQ(edit("txtSubject")->text(), "other");
  EXPECT_EQ(label("labSubject")->text(), "5bytes");
}

TEST_F(WindowTest, Check1WithoutAFileEmptiesTheSubject) {
  edit("txtSubject")->setText(QStringLiteral("typed"));
  check("Check1")->click();
  check("Check1")->click();
  EXPECT_TRUE(check("Check1")->isChecked());
  EXPECT_EQ(edit("txtSubject")->text(), "");
}

TEST_F(WindowTest, AnUnreadableFileIsRefusedWithAMessageAndNothingChanges) {
  dialogs.files.push_back(qpath(dir / "gone.txt"));
  window->Command2_Click();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QString::fromUtf8("ファイルの大きさを読み取れませんでした。")));
  // The reason, in Japanese from the one table, not the system's English.
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QString::fromUtf8("ファイルまたはフォルダが見つかりません")))
      << dialogs.boxes[0].text.toStdString();
  EXPECT_FALSE(dialogs.boxes[0].text.contains(QStringLiteral("No such file")));
  EXPECT_TRUE(edit("txtFileName")->text().isEmpty());
  EXPECT_FALSE(get("comConvert")->isEnabled());
}

TEST_F(WindowTest, ALimitWrittenWithPlusSeparatorsOrFullWidthDigitsIsAccepted) {
  const auto file = writeInput("a.txt", std::string(25000, 'a'));
  for (const char* limit : {"+10000", "10,000", "１００００", "＋１０，０００", " 10000 "}) {
    SCOPED_TRACE(limit);
    dialogs.boxes.clear();
    edit("txtMaxLength")->setText(QString::fromUtf8(limit));
    chooseFile(file);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(label("labFileInfo")->text(), QString::fromUtf8("25000bytes. だいたい3個以上のファイルが作成されます。"));
  }
}

TEST_F(WindowTest, ALimitThatIsNotAPositiveWholeNumberGetsAMessageInsteadOfAnEstimate) {
  const auto file = writeInput("a.txt", std::string(300, 'a'));
  for (const char* limit : {"", "0", "-5", "abc", "12x", "2147483648", "99999999999"}) {
    SCOPED_TRACE(limit);
    dialogs.boxes.clear();
    edit("txtMaxLength")->setText(QString::fromUtf8(limit));
    chooseFile(file);
    EXPECT_EQ(label("labFileInfo")->text(), "300bytes.");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QString::fromUtf8("最大バイト数")));
    EXPECT_TRUE(get("comConvert")->isEnabled());
    EXPECT_EQ(bar()->maximumF(), 300);
  }
  edit("txtMaxLength")->setText(QStringLiteral("2147483647"));
  dialogs.boxes.clear();
  chooseFile(file);
  EXPECT_EQ(label("labFileInfo")->text(), QString::fromUtf8("300bytes. だいたい1個以上のファイルが作成されます。"));
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, AnEstimatePast32767IsShownInFullWithAWarning) {
  edit("txtMaxLength")->setText(QStringLiteral("1"));
  chooseFile(writeInput("big.txt", std::string(32767, 'a')));
  EXPECT_TRUE(dialogs.boxes.empty());
  chooseFile(writeInput("bigger.txt", std::string(40000, 'a')));
  EXPECT_EQ(label("labFileInfo")->text(), QString::fromUtf8("40000bytes. だいたい40000個以上のファイルが作成されます。"));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_TRUE(get("comConvert")->isEnabled());
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
