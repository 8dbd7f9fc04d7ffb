// The drop rule: files that are not folders, taken as through "..." once the drop is over, never
// during a conversion; several make one series, shown by the first one's name and the count of
// the others, listed in full in the tooltip.
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using C = Control;

TEST_F(WindowTest, DroppedFilesAreChosenOnceTheDropIsOverAndNeverAFolderOrDuringARun) {
  const auto first = writeInput("上.txt", std::string(12000, 'a'));
  const auto second = writeInput("中.txt", "\xef\xbb\xbfxyz\r\n");  // UTF-8, named in the tooltip
  const auto third = writeInput("下.txt", std::string(25000, 'c'));
  fs::create_directories(dir / "folder");
  fs::create_directories(dir / "out");
  const std::u16string tip(window::texts::kTipFileName), made = u"個以上のファイルが作成されます。";
  const struct {
    const char* what;
    std::vector<fs::path> files;  // an empty one: an item that is no local file
    bool duringRun;
    std::u16string box, tip, info;  // box empty: refused, nothing changes
  } rows[] = {
      {"one file", {first}, false, u16Path(first), tip, u"12000bytes. だいたい2" + made},
      // Each text opens a record of its own: 2 + 1 + 3, not 37008 bytes' 4.
      {"three files",
       {first, second, third},
       false,
       u"上.txt ほか2件",
       tip + u'\n' + u16Path(first) + u'\n' + u16Path(second) + u"（文字コード: UTF-8 (BOM 付き)）\n" +
           u16Path(third),
       u"37008bytes. だいたい6" + made},
      {"one file during a run", {first}, true, {}, {}, {}},
      {"a folder among them", {first, dir / "folder"}, false, {}, {}, {}},
      {"no local file among them", {first, {}}, false, {}, {}, {}},
      {"nothing", {}, false, {}, {}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<std::u16string> files;
    for (const fs::path& f : row.files) files.push_back(u16Path(f));
    const std::u16string before = text(C::txtFileName);
    bool accepted = false, dropped = false;
    const auto tryDrop = [&] {
      accepted = form.acceptsDrop(files);
      dropped = form.drop(files);
      EXPECT_EQ(text(C::txtFileName), before);  // not while the drop's event is handled
      face.runPosted();
    };
    if (row.duringRun) {
      dialogs.folders.push_back(u16Path(dir / "out"));
      dialogs.onFolder = tryDrop;
      face.click(C::comConvert);
      dialogs.onFolder = nullptr;
      EXPECT_TRUE(fs::exists(dir / "out" / "E1__0000.VMG"));
    } else {
      tryDrop();
    }
    EXPECT_EQ(accepted, !row.box.empty());
    EXPECT_EQ(dropped, !row.box.empty());
    EXPECT_EQ(text(C::txtFileName), row.box.empty() ? before : row.box);
    if (row.box.empty()) continue;
    EXPECT_EQ(face.state(C::txtFileName).tip, row.tip);
    EXPECT_EQ(text(C::labFileInfo), row.info);
    EXPECT_EQ(text(C::txtSubject), u"上");
    EXPECT_TRUE(enabled(C::comConvert));
  }
  // Once the run is over, a drop is taken again.
  EXPECT_TRUE(form.drop({u16Path(third)}));
  face.runPosted();
  EXPECT_EQ(text(C::txtFileName), u16Path(third));
}

}  // namespace
}  // namespace orvella::testing
