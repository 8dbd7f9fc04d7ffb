// What the window asks of dialogs and message boxes. Each face answers with its system's own
// dialogs; tests answer with a script. Texts are UTF-16, paths as the dialogs give them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "window/reading_choices.hpp"

namespace orvella::window {

// The window a dialog belongs to, as its face knows it (a QWidget*, an HWND); the behaviour only
// passes it on.
struct DialogOwner {
  void* handle = nullptr;
  bool operator==(const DialogOwner&) const = default;
};

enum class BoxIcon { Information, Warning, Stop };

// One entry of an Open dialog's filter list: what the entry says, and the names it shows
// ("*.txt"; several separated by ';').
struct FileFilter {
  std::u16string_view caption;
  std::u16string_view patterns;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A modal Open dialog offering the filters in the given order, where several files may be
  // chosen: the full paths of existing files in the order the dialog gives them, or none when
  // cancelled.
  virtual std::vector<std::u16string> openFileNames(DialogOwner owner,
                                                    std::span<const FileFilter> filters) = 0;

  // A modal choice among file-system folders, titled title; the folder's path as chosen (the
  // window adds the trailing separator), or empty when cancelled.
  virtual std::u16string selectFolder(DialogOwner owner, std::u16string_view title) = 0;

  // The modal options dialog (reading_choices.hpp), showing `choices`: true with the choices as the
  // user left them on OK; false, `choices` untouched, when cancelled.
  virtual bool options(DialogOwner owner, ReadingChoices& choices) = 0;

  // A modal box with a single OK button, titled texts::kBoxTitle; returns when it is closed.
  virtual void message(DialogOwner owner, BoxIcon icon, std::u16string_view text) = 0;
};

}  // namespace orvella::window
