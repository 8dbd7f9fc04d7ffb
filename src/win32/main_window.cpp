#include "win32/main_window.hpp"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "window/window_texts.hpp"

namespace orvella::win32 {

namespace {

using window::Control;
using window::Kind;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kRunTask = WM_APP + 1;
constexpr int kBaseDpi = 96;
constexpr int kPointsPerInch = 72;
constexpr int kBigIcon = 32;
constexpr int kSmallIcon = 16;
// The icon resource every Orvella executable carries (src/resources/version.rc.in).
constexpr WORD kIconResource = 1;

// The table's face where it is installed; else the first Japanese gothic that is.
constexpr const wchar_t* kFontFallbacks[] = {L"MS PGothic",   L"Meiryo UI",  L"Yu Gothic UI",
                                             L"MS UI Gothic", L"IPAPGothic", L"Noto Sans CJK JP"};

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return std::u16string(text.begin(), text.end());
}

template <class Fn>
Fn user32Function(const char* name) {
  const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(found));
}

// Per-monitor DPI where the system has it (Windows 10 1607 on), the system's otherwise.
int dpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpi) {
    if (const UINT dpi = getDpi(hwnd)) return static_cast<int>(dpi);
  }
  const HDC dc = ::GetDC(hwnd);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(hwnd, dc);
  return dpi > 0 ? dpi : kBaseDpi;
}

RECT frameFor(int clientWidth, int clientHeight, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = user32Function<AdjustFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, clientWidth, clientHeight};
  if (!adjustForDpi || !adjustForDpi(&r, kWindowStyle, FALSE, 0, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
  }
  return r;
}

bool fontInstalled(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  const HDC dc = ::GetDC(nullptr);
  bool found = false;
  ::EnumFontFamiliesExW(
      dc, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
        *reinterpret_cast<bool*>(seen) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ::ReleaseDC(nullptr, dc);
  return found;
}

}  // namespace

std::wstring windowFontFace() {
  static const std::wstring face = [] {
    std::wstring named = wide(window::kFontFace);
    if (fontInstalled(named.c_str())) return named;
    for (const wchar_t* fallback : kFontFallbacks) {
      if (fontInstalled(fallback)) return std::wstring(fallback);
    }
    return named;  // the font mapper's nearest
  }();
  return face;
}

namespace {

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass classOf(Kind kind, std::uint32_t traits) {
  switch (kind) {
    case Kind::Label:
      return {L"STATIC",
              static_cast<DWORD>(SS_NOPREFIX | ((traits & window::kWraps) ? SS_LEFT : SS_LEFTNOWORDWRAP)), 0};
    case Kind::TextBox:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::RecordView:
      return {L"EDIT", ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
              WS_EX_CLIENTEDGE};
    case Kind::CommandButton:
      return {L"BUTTON", BS_PUSHBUTTON, 0};
    case Kind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX, 0};
    case Kind::VScrollBar:
      return {L"SCROLLBAR", SBS_VERT, 0};
    case Kind::ProgressBar:
      return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
    case Kind::Line:
      return {L"STATIC", SS_BLACKRECT, 0};
  }
  return {L"STATIC", 0, 0};
}

bool isMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

}  // namespace

MainWindow::MainWindow(window::Dialogs& dialogs) : form_(*this, dialogs) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  static const ATOM registered = [instance] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MainWindow::windowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    // The progress bar and tooltips are common controls.
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&common);
    return ::RegisterClassExW(&wc);
  }();
  (void)registered;
  ::CreateWindowExW(0, kWindowClass, wide(window::texts::kTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
  if (!hwnd_) return;
  dpi_ = dpiOf(hwnd_);
  tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                            instance, nullptr);
  makeFonts();
  setIcons();
  createControls();
  layOut();
  // Its own tip last, so a control's tip wins over it.
  addTip(hwnd_, window::aboutText());
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const MONITORINFO monitor = [this] {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info);
    return info;
  }();
  RECT frame{};
  ::GetWindowRect(hwnd_, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const RECT& work = monitor.rcWork;
  ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::DragAcceptFiles(hwnd_, TRUE);

  form_.Form_Load();
  ::SetTimer(hwnd_, kTimer1, static_cast<UINT>(window::kTimer1Interval.count()), nullptr);
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
  ::SetFocus(control(window::kFirstFocus));
}

MainWindow::~MainWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_)}) {
    if (object) ::DeleteObject(object);
  }
  for (HICON icon : {bigIcon_, smallIcon_}) {
    if (icon) ::DestroyIcon(icon);
  }
}

// ---- Building

void MainWindow::makeFonts() {
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(window::kFontPoints, dpi_, kPointsPerInch);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, windowFontFace().c_str(), LF_FACESIZE);
  LOGFONTW bold = font;
  bold.lfWeight = FW_BOLD;
  const HFONT oldFont = font_;
  const HFONT oldBold = boldFont_;
  font_ = ::CreateFontIndirectW(&font);
  boldFont_ = ::CreateFontIndirectW(&bold);
  ::SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (const window::ControlRow& row : window::controlTable()) {
    if (HWND c = control(row.id)) {
      ::SendMessageW(c, WM_SETFONT,
                     reinterpret_cast<WPARAM>((row.traits & window::kBold) ? boldFont_ : font_), FALSE);
    }
  }
  if (oldFont) ::DeleteObject(oldFont);
  if (oldBold) ::DeleteObject(oldBold);
}

void MainWindow::setIcons() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const auto load = [&](int size) {
    const int pixels = ::MulDiv(size, dpi_, kBaseDpi);
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
  };
  const HICON big = load(kBigIcon);
  const HICON small = load(kSmallIcon);
  ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  for (HICON old : {bigIcon_, smallIcon_}) {
    if (old) ::DestroyIcon(old);
  }
  bigIcon_ = big;
  smallIcon_ = small;
}

void MainWindow::createControls() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  for (const window::ControlRow& row : window::controlTable()) {
    const ControlClass kind = classOf(row.kind, row.traits);
    const HWND c = ::CreateWindowExW(
        kind.exStyle, kind.name, wide(row.text).c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0, 0,
        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(row.id))), instance, nullptr);
    controls_[static_cast<std::size_t>(row.id)] = c;
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>((row.traits & window::kBold) ? boldFont_ : font_),
                   FALSE);
    if (row.kind == Kind::TextBox || row.kind == Kind::RecordView) ::SendMessageW(c, EM_SETLIMITTEXT, 0, 0);
    if (row.traits & window::kChecked) ::SendMessageW(c, BM_SETCHECK, BST_CHECKED, 0);
    if (row.kind == Kind::VScrollBar) ::SetScrollRange(c, SB_CTL, 0, row.maximum, FALSE);
    if (row.kind == Kind::ProgressBar) ::SendMessageW(c, PBM_SETRANGE32, 0, row.maximum);
    if (row.traits & window::kDisabled) ::EnableWindow(c, FALSE);
    if (!row.tip.empty()) addTip(c, row.tip);
  }
  for (const Control c : window::tabOrder()) {
    const HWND h = control(c);
    ::SetWindowLongPtrW(h, GWL_STYLE, ::GetWindowLongPtrW(h, GWL_STYLE) | WS_TABSTOP);
  }
}

// Places every control for the window's DPI: twips to pixels, then the fitted ones.
void MainWindow::layOut() {
  const int width = window::pixels(window::kFormWidth, dpi_);
  const int height = window::pixels(window::kFormHeight, dpi_);
  const RECT frame = frameFor(width, height, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame as drawn may differ from the one foretold for this DPI: the client area decides.
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (client.right != width || client.bottom != height) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                   frame.bottom - frame.top + height - client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const window::ControlRow& row : window::controlTable()) {
    const window::Place& p = row.place;
    ::MoveWindow(control(row.id), window::pixels(p.left, dpi_), window::pixels(p.top, dpi_),
                 window::pixels(p.width, dpi_), window::pixels(p.height, dpi_), TRUE);
  }
  fitWidestDate();
  fitWrapped(Control::labFileInfo);
  for (const window::ControlRow& row : window::controlTable()) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd_;
    tool.uId = static_cast<UINT_PTR>(controlId(row.id));
    ::GetWindowRect(control(row.id), &tool.rect);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&tool.rect), 2);
    ::SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// Legibility wins over the twips by the few pixels the font needs: the box grows to the right
// until the widest stamp fits whole, but never past the window's edge.
void MainWindow::fitWidestDate() {
  for (const window::ControlRow& row : window::controlTable()) {
    if ((row.traits & window::kFitsWidestDate) == 0) continue;
    const HWND box = control(row.id);
    const HDC dc = ::GetDC(box);
    const HGDIOBJ old = ::SelectObject(dc, font_);
    const auto width = [dc](std::u16string_view text) {
      SIZE size{};
      ::GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                              static_cast<int>(text.size()), &size);
      return static_cast<int>(size.cx);
    };
    const int textWidth = width(window::widestDateStamp(width));
    ::SelectObject(dc, old);
    ::ReleaseDC(box, dc);
    RECT outer{};
    RECT inner{};
    ::GetWindowRect(box, &outer);
    ::GetClientRect(box, &inner);
    const auto margins = static_cast<DWORD>(::SendMessageW(box, EM_GETMARGINS, 0, 0));
    constexpr int kCaretRoom = 2;
    const int have = outer.right - outer.left;
    const int need =
        textWidth + LOWORD(margins) + HIWORD(margins) + kCaretRoom + have - (inner.right - inner.left);
    const int left = window::pixels(row.place.left, dpi_);
    const int room = window::pixels(window::kFormWidth, dpi_) - left - have;
    if (need > have) {
      ::SetWindowPos(box, nullptr, 0, 0, have + std::min(need - have, room), outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

// A wrapping label grows downwards to show its text whole, and never shrinks below its place.
void MainWindow::fitWrapped(Control c) {
  const window::ControlRow& row = window::rowOf(c);
  const HWND label = control(c);
  RECT r{0, 0, window::pixels(row.place.width, dpi_), 0};
  const std::wstring text = wide(windowText(label));
  const HDC dc = ::GetDC(label);
  const HGDIOBJ old = ::SelectObject(dc, (row.traits & window::kBold) ? boldFont_ : font_);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
  ::SelectObject(dc, old);
  ::ReleaseDC(label, dc);
  const int height = std::max(window::pixels(row.place.height, dpi_), static_cast<int>(r.bottom));
  ::SetWindowPos(label, nullptr, 0, 0, window::pixels(row.place.width, dpi_), height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::addTip(HWND tool, std::u16string_view tip) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = hwnd_;
  const std::wstring tipText = wide(tip);
  info.lpszText = const_cast<wchar_t*>(tipText.c_str());
  if (tool == hwnd_) {
    info.uFlags = TTF_IDISHWND;
    info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  } else {
    // By its place in the window, so a disabled control shows its tip too.
    info.uId = static_cast<UINT_PTR>(::GetDlgCtrlID(tool));
  }
  ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, window::pixels(window::kFormWidth, dpi_));
}

std::optional<Control> MainWindow::controlOf(HWND child) const {
  const auto found = std::find(controls_.begin(), controls_.end(), child);
  if (!child || found == controls_.end()) return std::nullopt;
  return static_cast<Control>(found - controls_.begin());
}

// ---- Face

std::u16string MainWindow::text(Control c) const { return windowText(control(c)); }

void MainWindow::setText(Control c, std::u16string_view text) {
  ::SetWindowTextW(control(c), wide(text).c_str());
  if (window::rowOf(c).traits & window::kWraps) fitWrapped(c);
}

void MainWindow::setEnabled(Control c, bool enabled) { ::EnableWindow(control(c), enabled ? TRUE : FALSE); }

void MainWindow::setTip(Control c, std::u16string_view tip) {
  const std::wstring text = wide(tip);
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = hwnd_;
  info.uId = static_cast<UINT_PTR>(controlId(c));
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  if (window::rowOf(c).tip.empty() &&
      !::SendMessageW(tips_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) {
    addTip(control(c), tip);
    layOut();
    return;
  }
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void MainWindow::setColour(Control c, window::Rgb colour) {
  colours_[static_cast<std::size_t>(c)] = RGB(colour.red, colour.green, colour.blue);
  ::InvalidateRect(control(c), nullptr, TRUE);
}

bool MainWindow::checked(Control c) const {
  return ::SendMessageW(control(c), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int MainWindow::value(Control c) const {
  if (window::rowOf(c).kind == Kind::ProgressBar) {
    return static_cast<int>(::SendMessageW(control(c), PBM_GETPOS, 0, 0));
  }
  return ::GetScrollPos(control(c), SB_CTL);
}

void MainWindow::setValue(Control c, int value) {
  const window::ControlRow& row = window::rowOf(c);
  const int held = std::clamp(value, 0, row.maximum);
  const HWND h = control(c);
  if (row.kind == Kind::ProgressBar) {
    // Visual styles animate a rising bar; a falling one is drawn at once, so rise past and fall back.
    if (held < row.maximum) {
      ::SendMessageW(h, PBM_SETPOS, static_cast<WPARAM>(held + 1), 0);
    } else {
      ::SendMessageW(h, PBM_SETRANGE32, 0, row.maximum + 1);
      ::SendMessageW(h, PBM_SETPOS, static_cast<WPARAM>(row.maximum + 1), 0);
      ::SendMessageW(h, PBM_SETRANGE32, 0, row.maximum);
    }
    ::SendMessageW(h, PBM_SETPOS, static_cast<WPARAM>(held), 0);
    return;
  }
  if (::GetScrollPos(h, SB_CTL) == held) return;
  // Painted with the window's other changes when it next handles its messages: each paint of its
  // own is a round trip to the display.
  ::SetScrollPos(h, SB_CTL, held, FALSE);
  ::InvalidateRect(h, nullptr, FALSE);
  form_.Change(c);
}

void MainWindow::processEvents() {
  MSG msg;
  while (!quitSeen_ && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!dispatch(msg)) quitSeen_ = true;
  }
}

void MainWindow::post(std::function<void()> task) {
  tasks_.push_back(std::move(task));
  ::PostMessageW(hwnd_, kRunTask, 0, 0);
}

void MainWindow::close() {
  if (!hwnd_) return;
  // A dialog or message box of the window goes first; the window's own close follows it out of
  // the dialog's loop.
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND popup, LPARAM owner) -> BOOL {
        if (::GetWindow(popup, GW_OWNER) == reinterpret_cast<HWND>(owner))
          ::PostMessageW(popup, WM_CLOSE, 0, 0);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(hwnd_));
  ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

// ---- Events

void MainWindow::takeArguments(const std::vector<std::wstring>& arguments) {
  std::size_t first = 1;
  if (first < arguments.size() && arguments[first] == L"--") ++first;
  std::vector<std::u16string> files;
  for (std::size_t i = first; i < arguments.size(); ++i) {
    const std::wstring& name = arguments[i];
    std::wstring full(::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    files.emplace_back(full.begin(), full.end());
  }
  if (!files.empty()) (void)form_.drop(files);
}

int MainWindow::run() {
  running_ = true;
  MSG msg;
  while (!quitSeen_ && hwnd_ && ::GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg);
  running_ = false;
  return 0;
}

bool MainWindow::dispatch(MSG& msg) {
  if (msg.message == WM_QUIT) return false;
  const bool ours = hwnd_ && (msg.hwnd == hwnd_ || ::IsChild(hwnd_, msg.hwnd));
  if (ours && isMouseMessage(msg.message)) {
    // The tips know the controls by their places in the window.
    MSG relayed = msg;
    POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ::MapWindowPoints(msg.hwnd, hwnd_, &at, 1);
    relayed.hwnd = hwnd_;
    relayed.lParam = MAKELPARAM(at.x, at.y);
    ::SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  if (ours && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && moveFocus(::GetKeyState(VK_SHIFT) < 0))
    return true;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

bool MainWindow::moveFocus(bool backwards) {
  const auto order = window::tabOrder();
  const auto count = static_cast<std::ptrdiff_t>(order.size());
  const std::optional<Control> focused = controlOf(::GetFocus());
  std::ptrdiff_t at = focused ? std::find(order.begin(), order.end(), *focused) - order.begin() : count - 1;
  for (std::ptrdiff_t step = 1; step <= count; ++step) {
    const std::ptrdiff_t next = ((backwards ? at - step : at + step) % count + count) % count;
    const HWND h = control(order[static_cast<std::size_t>(next)]);
    if (!::IsWindowEnabled(h) || !::IsWindowVisible(h)) continue;
    ::SetFocus(h);
    if (window::rowOf(order[static_cast<std::size_t>(next)]).kind == Kind::TextBox)
      ::SendMessageW(h, EM_SETSEL, 0, -1);
    return true;
  }
  return false;
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->controls_.fill(nullptr);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(wParam, lParam);
      return 0;
    case WM_VSCROLL:
      onScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) form_.Timer1_Timer();
      return 0;
    case WM_DROPFILES:
      onDrop(reinterpret_cast<HDROP>(wParam));
      return 0;
    case kRunTask:
      if (!tasks_.empty()) {
        const std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        task();
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      const std::optional<Control> c = controlOf(reinterpret_cast<HWND>(lParam));
      if (!c || !colours_[static_cast<std::size_t>(*c)]) break;
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, *colours_[static_cast<std::size_t>(*c)]);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      makeFonts();
      setIcons();
      layOut();
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      if (!form_.Form_QueryUnload()) ::DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      ::KillTimer(hwnd_, kTimer1);
      if (running_) ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  const std::optional<Control> c = controlOf(reinterpret_cast<HWND>(lParam));
  if (!c) return;
  const Kind kind = window::rowOf(*c).kind;
  const WORD code = HIWORD(wParam);
  if (code == BN_CLICKED && (kind == Kind::CommandButton || kind == Kind::CheckBox)) {
    form_.Click(*c);
  } else if (code == EN_CHANGE) {
    const HWND box = control(*c);
    const std::u16string now = text(*c);
    const std::u16string kept = window::keptText(*c, now);
    if (kept != now) {
      // Setting the kept text comes back here, and that change is the one passed on.
      DWORD start = 0;
      DWORD end = 0;
      ::SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      ::SetWindowTextW(box, wide(kept).c_str());
      ::SendMessageW(box, EM_SETSEL, start, end);
      return;
    }
    form_.Change(*c);
  }
}

// The spinner: the top arrow lowers the value, the bottom one raises it, a page is one step.
void MainWindow::onScroll(HWND bar, int request) {
  const std::optional<Control> c = controlOf(bar);
  if (!c) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(bar, SB_CTL, &info);
  int next = 0;
  switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
      next = info.nPos - 1;
      break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
      next = info.nPos + 1;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      next = info.nTrackPos;
      break;
    case SB_TOP:
      next = 0;
      break;
    case SB_BOTTOM:
      next = info.nMax;
      break;
    default:
      return;
  }
  setValue(*c, next);
}

void MainWindow::onDrop(HDROP drop) {
  std::vector<std::u16string> files;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
    files.emplace_back(name.begin(), name.end());
  }
  ::DragFinish(drop);
  (void)form_.drop(files);
}

}  // namespace orvella::win32
