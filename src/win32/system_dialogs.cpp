#include "win32/system_dialogs.hpp"

#include <windows.h>
// The other system headers build on windows.h.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "win32/options_dialog.hpp"
#include "window/window_texts.hpp"

namespace orvella::win32 {

namespace {

// The dialogs keep their last folder and size under the client's identity; Orvella's is cleared
// before and after every use, so nothing of one run reaches the next.
constexpr GUID kClientGuid = {0x5f1c2a4e, 0x93b7, 0x4d0e, {0x8a, 0x61, 0x2c, 0x7e, 0x0b, 0x94, 0xd3, 0x58}};

template <class T>
class Com {
 public:
  Com() = default;
  Com(Com&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_) p_->Release();
  }
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string narrowToU16(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
HWND hwndOf(window::DialogOwner owner) { return static_cast<HWND>(owner.handle); }

Com<IFileOpenDialog> newDialog(FILEOPENDIALOGOPTIONS extra) {
  Com<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.out())))) {
    return dialog;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | extra | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR |
                     FOS_DONTADDTORECENT);
  dialog->SetClientGuid(kClientGuid);
  dialog->ClearClientData();
  return dialog;
}

// The chosen items' file-system paths, in the dialog's order; none when cancelled or when one has
// no such path, rather than a series with a text missing.
std::vector<std::u16string> showAndTake(const Com<IFileOpenDialog>& dialog, HWND owner, IShellItem* folder) {
  if (folder) dialog->SetFolder(folder);
  std::vector<std::u16string> paths;
  Com<IShellItemArray> items;
  DWORD count = 0;
  if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResults(items.out())) &&
      SUCCEEDED(items->GetCount(&count))) {
    for (DWORD i = 0; i < count; ++i) {
      Com<IShellItem> item;
      PWSTR name = nullptr;
      if (FAILED(items->GetItemAt(i, item.out())) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name))) {
        paths.clear();
        break;
      }
      paths.push_back(narrowToU16(name));
      ::CoTaskMemFree(name);
    }
  }
  dialog->ClearClientData();
  return paths;
}

// The current folder, however long.
std::wstring currentFolder() {
  std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

}  // namespace

SystemDialogs::SystemDialogs()
    : com_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)),
      startFolder_(currentFolder()) {}

SystemDialogs::~SystemDialogs() {
  if (SUCCEEDED(com_)) ::CoUninitialize();
}

std::vector<std::u16string> SystemDialogs::openFileNames(window::DialogOwner owner,
                                                         std::span<const window::FileFilter> filters) {
  const Com<IFileOpenDialog> dialog = newDialog(FOS_FILEMUSTEXIST | FOS_ALLOWMULTISELECT);
  if (!dialog) return {};
  std::vector<std::wstring> texts;
  for (const window::FileFilter& f : filters) {
    texts.push_back(wide(f.caption));
    texts.push_back(wide(f.patterns));
  }
  std::vector<COMDLG_FILTERSPEC> types;
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2)
    types.push_back({texts[i].c_str(), texts[i + 1].c_str()});
  if (!types.empty()) {
    dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    dialog->SetFileTypeIndex(1);
  }
  Com<IShellItem> folder;
  ::SHCreateItemFromParsingName(startFolder_.c_str(), nullptr, IID_PPV_ARGS(folder.out()));
  return showAndTake(dialog, hwndOf(owner), folder.operator->());
}

std::u16string SystemDialogs::selectFolder(window::DialogOwner owner, std::u16string_view title) {
  const Com<IFileOpenDialog> dialog = newDialog(FOS_PICKFOLDERS);
  if (!dialog) return {};
  dialog->SetTitle(wide(title).c_str());
  Com<IShellItem> home;
  ::SHGetKnownFolderItem(FOLDERID_Profile, KF_FLAG_DEFAULT, nullptr, IID_PPV_ARGS(home.out()));
  const std::vector<std::u16string> chosen = showAndTake(dialog, hwndOf(owner), home.operator->());
  return chosen.empty() ? std::u16string() : chosen.front();
}

bool SystemDialogs::options(window::DialogOwner owner, window::ReadingChoices& choices) {
  return runOptionsDialog(hwndOf(owner), choices);
}

void SystemDialogs::message(window::DialogOwner owner, window::BoxIcon icon, std::u16string_view text) {
  UINT style = MB_ICONINFORMATION;
  if (icon == window::BoxIcon::Warning) style = MB_ICONWARNING;
  if (icon == window::BoxIcon::Stop) style = MB_ICONSTOP;
  ::MessageBoxW(hwndOf(owner), wide(text).c_str(), wide(window::texts::kBoxTitle).c_str(), MB_OK | style);
}

}  // namespace orvella::win32
