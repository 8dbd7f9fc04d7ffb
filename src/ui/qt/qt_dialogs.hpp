// The dialogs and message boxes of the running application, from Qt. They remember nothing:
// not within a run, and nothing is written for the next one.
#pragma once

#include <QString>

#include "window/dialogs.hpp"

namespace orvella::ui {

class QtDialogs final : public window::Dialogs {
 public:
  // The file dialog opens in the folder current now (where the program was started); the
  // folder dialog in the home folder. No dialog of the process writes settings afterwards.
  QtDialogs();

  // Several files may be chosen: in the order they were picked, a range in the listing's order.
  std::vector<std::u16string> openFileNames(window::DialogOwner owner,
                                            std::span<const window::FileFilter> filters) override;
  std::u16string selectFolder(window::DialogOwner owner, std::u16string_view title) override;
  // Its controls carry the names of reading_choices.hpp; the dialog is named "options".
  bool options(window::DialogOwner owner, window::ReadingChoices& choices) override;
  void message(window::DialogOwner owner, window::BoxIcon icon, std::u16string_view text) override;

 private:
  QString startFolder_;
};

}  // namespace orvella::ui
