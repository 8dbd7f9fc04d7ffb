// The window's dialogs on Windows: the system's Open dialog, its folder picker and message boxes.
// Each starts afresh and leaves nothing behind: no recent files, no remembered folder or size.
#pragma once

#include <string>
#include <vector>

#include "window/dialogs.hpp"

namespace orvella::win32 {

class SystemDialogs final : public window::Dialogs {
 public:
  // The Open dialog starts in the folder Orvella was started in, as the Qt face's does.
  SystemDialogs();
  ~SystemDialogs() override;
  SystemDialogs(const SystemDialogs&) = delete;
  SystemDialogs& operator=(const SystemDialogs&) = delete;

  // Several files may be chosen, in the order the dialog lists them in its file name box.
  std::vector<std::u16string> openFileNames(window::DialogOwner owner,
                                            std::span<const window::FileFilter> filters) override;
  // Starts in the user's home folder with nothing selected.
  std::u16string selectFolder(window::DialogOwner owner, std::u16string_view title) override;
  bool options(window::DialogOwner owner, window::ReadingChoices& choices) override;
  void message(window::DialogOwner owner, window::BoxIcon icon, std::u16string_view text) override;

 private:
  // The Open dialog and the folder picker are COM objects of the thread that shows them.
  long com_;  // what joining its apartment gave (an HRESULT)
  std::wstring startFolder_;
};

}  // namespace orvella::win32
