#include "win32/options_dialog.hpp"

#include <string_view>
#include <vector>

#include "win32/main_window.hpp"
#include "window/window_texts.hpp"

namespace orvella::win32 {

namespace {

// The predefined window classes a template names by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kNoId = 0xFFFF;

// A DLGTEMPLATE and its items, laid out as the dialog manager reads them: words, with each item
// on a DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, std::u16string_view title, short width, short height, std::wstring_view face) {
    dword(style | DS_SETFONT);
    dword(0);
    word(0);  // the count of items, set as they are added
    for (const short n : {short{0}, short{0}, width, height}) word(static_cast<WORD>(n));
    word(0);  // no menu
    word(0);  // the dialog class
    text(std::wstring_view(reinterpret_cast<const wchar_t*>(title.data()), title.size()));
    word(static_cast<WORD>(window::kFontPoints));
    text(face);
  }

  // Dialog units.
  struct Place {
    LONG x, y, width, height;
  };

  void add(DWORD style, Place place, WORD id, std::u16string_view caption) {
    if (words_.size() % 2 != 0) word(0);
    dword(WS_CHILD | WS_VISIBLE | style);
    dword(0);
    for (const LONG n : {place.x, place.y, place.width, place.height}) word(static_cast<WORD>(n));
    word(id);
    word(kNoId);
    word(kButtonAtom);
    text(std::wstring_view(reinterpret_cast<const wchar_t*>(caption.data()), caption.size()));
    word(0);  // no creation data
    ++words_[kCountAt];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  static constexpr std::size_t kCountAt = 4;
  void word(WORD w) { words_.push_back(w); }
  void dword(DWORD d) {
    word(LOWORD(d));
    word(HIWORD(d));
  }
  void text(std::wstring_view s) {
    for (const wchar_t c : s) word(static_cast<WORD>(c));
    word(0);
  }
  std::vector<WORD> words_;
};

// Dialog units: a margin, a row of a radio button or check box, the group's inner indent.
constexpr LONG kMargin = 7;
constexpr LONG kWidth = 150;
constexpr LONG kRow = 12;
constexpr LONG kRowHeight = 10;
constexpr LONG kIndent = 8;
constexpr LONG kButtonWidth = 50;
constexpr LONG kButtonHeight = 14;
constexpr LONG kButtonGap = 4;

DialogTemplate optionsTemplate() {
  const auto aozora = window::aozoraChoices();
  const auto checks = window::choiceChecks();
  const LONG inner = kWidth - 2 * kMargin;
  const LONG groupHeight = kRow * static_cast<LONG>(aozora.size() + 1) + kMargin / 2;
  const LONG checksTop = kMargin + groupHeight + kMargin;
  const LONG buttonsTop = checksTop + kRow * static_cast<LONG>(checks.size()) + kMargin;
  DialogTemplate t(DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                   window::texts::kOptionsTitle, static_cast<short>(kWidth),
                   static_cast<short>(buttonsTop + kButtonHeight + kMargin), windowFontFace());
  t.add(BS_GROUPBOX, {kMargin, kMargin, inner, groupHeight}, kNoId, window::texts::kAozoraGroup);
  for (std::size_t i = 0; i < aozora.size(); ++i) {
    const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
    t.add(BS_AUTORADIOBUTTON | first,
          {kMargin + kIndent, kMargin + kRow * static_cast<LONG>(i + 1), inner - 2 * kIndent, kRowHeight},
          static_cast<WORD>(kFirstAozoraId + i), aozora[i].caption);
  }
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const DWORD first = i == 0 ? WS_GROUP : 0;
    t.add(BS_AUTOCHECKBOX | WS_TABSTOP | first,
          {kMargin, checksTop + kRow * static_cast<LONG>(i), inner, kRowHeight},
          static_cast<WORD>(kFirstCheckId + i), checks[i].caption);
  }
  const LONG cancelLeft = kWidth - kMargin - kButtonWidth;
  t.add(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
        {cancelLeft - kButtonGap - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight}, IDOK,
        window::texts::kOk);
  t.add(BS_PUSHBUTTON | WS_TABSTOP, {cancelLeft, buttonsTop, kButtonWidth, kButtonHeight}, IDCANCEL,
        window::texts::kCancel);
  return t;
}

void show(HWND dialog, const window::ReadingChoices& choices) {
  const auto aozora = window::aozoraChoices();
  for (std::size_t i = 0; i < aozora.size(); ++i) {
    if (aozora[i].mode == choices.aozora) {
      ::CheckRadioButton(dialog, kFirstAozoraId, kFirstAozoraId + static_cast<int>(aozora.size()) - 1,
                         kFirstAozoraId + static_cast<int>(i));
    }
  }
  const auto checks = window::choiceChecks();
  for (std::size_t i = 0; i < checks.size(); ++i) {
    ::CheckDlgButton(dialog, kFirstCheckId + static_cast<int>(i),
                     choices.*checks[i].on ? BST_CHECKED : BST_UNCHECKED);
  }
}

void take(HWND dialog, window::ReadingChoices& choices) {
  const auto aozora = window::aozoraChoices();
  for (std::size_t i = 0; i < aozora.size(); ++i) {
    if (::IsDlgButtonChecked(dialog, kFirstAozoraId + static_cast<int>(i)) == BST_CHECKED)
      choices.aozora = aozora[i].mode;
  }
  const auto checks = window::choiceChecks();
  for (std::size_t i = 0; i < checks.size(); ++i)
    choices.*checks[i].on = ::IsDlgButtonChecked(dialog, kFirstCheckId + static_cast<int>(i)) == BST_CHECKED;
}

INT_PTR CALLBACK optionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    show(dialog, *reinterpret_cast<const window::ReadingChoices*>(lParam));
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const WORD id = LOWORD(wParam);
  if (id == IDOK)
    take(dialog, *reinterpret_cast<window::ReadingChoices*>(::GetWindowLongPtrW(dialog, DWLP_USER)));
  if (id == IDOK || id == IDCANCEL) {
    ::EndDialog(dialog, id);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool runOptionsDialog(HWND owner, window::ReadingChoices& choices) {
  window::ReadingChoices edited = choices;
  const DialogTemplate t = optionsTemplate();
  const INT_PTR answer = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), t.get(), owner, &optionsProc,
                                                   reinterpret_cast<LPARAM>(&edited));
  if (answer != IDOK) return false;
  choices = edited;
  return true;
}

}  // namespace orvella::win32
