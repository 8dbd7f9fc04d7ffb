// The drop rule: one file that is not a folder, taken as through "..." once the drop is over,
// never during a conversion.
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using C = Control;

TEST_F(WindowTest, OneFileDroppedIsChosenOnceTheDropIsOver) {
  const auto novel = writeInput("novel.txt", std::string(12000, 'a'));
  EXPECT_TRUE(form.acceptsDrop({u16Path(novel)}));
  EXPECT_TRUE(form.drop({u16Path(novel)}));
  EXPECT_TRUE(text(C::txtFileName).empty());  // not while the drop's event is handled
  face.runPosted();
  EXPECT_EQ(text(C::txtFileName), u16Path(novel));
  EXPECT_EQ(text(C::txtSubject), u"novel");
  EXPECT_TRUE(enabled(C::comConvert));
}

TEST_F(WindowTest, AFolderSeveralFilesOrNoLocalFileAreRefused) {
  const auto a = writeInput("a.txt", "a");
  const auto b = writeInput("b.txt", "b");
  fs::create_directories(dir / "folder");
  const struct {
    const char* what;
    std::vector<std::u16string> files;
  } rows[] = {
      {"a folder", {u16Path(dir / "folder")}},
      {"two files", {u16Path(a), u16Path(b)}},
      {"no local file", {u""}},
      {"nothing", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_FALSE(form.acceptsDrop(row.files));
    EXPECT_FALSE(form.drop(row.files));
    face.runPosted();
    EXPECT_TRUE(text(C::txtFileName).empty());
  }
}

TEST_F(WindowTest, ADropDuringAConversionIsRefused) {
  const auto input = writeInput("first.txt", std::string(3000, 'a') + "\r\n");
  const auto other = writeInput("second.txt", "b\r\n");
  const fs::path out = dir / "out";
  fs::create_directories(out);
  chooseFile(input);
  // Accepted just before the run starts, refused during it.
  ASSERT_TRUE(form.drop({u16Path(other)}));
  bool refusedDuring = false;
  dialogs.folders.push_back(u16Path(out));
  dialogs.onFolder = [&] {
    ASSERT_TRUE(form.converting());
    refusedDuring = !form.acceptsDrop({u16Path(other)}) && !form.drop({u16Path(other)});
    face.runPosted();
  };
  face.click(C::comConvert);
  EXPECT_TRUE(refusedDuring);
  EXPECT_EQ(text(C::txtFileName), u16Path(input));
  EXPECT_EQ(text(C::txtSubject), u"first");
  EXPECT_TRUE(fs::exists(out / "E1__0000.VMG"));

  // Once it is over, the same drop is taken.
  EXPECT_TRUE(form.drop({u16Path(other)}));
  face.runPosted();
  EXPECT_EQ(text(C::txtFileName), u16Path(other));
}

}  // namespace
}  // namespace orvella::testing
