// Orvella's window on Windows: the controls of the table as the system's own, and the Face that
// frmMain talks to. Every rule is frmMain's; this builds, forwards and paints.
#pragma once

#include <windows.h>
// The other system headers build on windows.h.
#include <shellapi.h>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/control_table.hpp"
#include "window/face.hpp"
#include "window/frm_main.hpp"

namespace orvella::win32 {

// Each control's id among the window's children, so a program outside can find it by name.
constexpr int kFirstControlId = 100;
constexpr int controlId(window::Control control) { return kFirstControlId + static_cast<int>(control); }

// The face of the window's font: the table's where it is installed, else the first Japanese
// gothic that is.
std::wstring windowFontFace();

// The window class, which a program outside may look for too.
inline constexpr wchar_t kWindowClass[] = L"OrvellaMainWindow";

class MainWindow final : public window::Face {
 public:
  // Made, loaded and shown, centred on its screen; dialogs must outlive it.
  explicit MainWindow(window::Dialogs& dialogs);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND control(window::Control c) const { return controls_[static_cast<std::size_t>(c)]; }
  window::frmMain& form() { return form_; }
  // The dots per inch the window is laid out for.
  int dpi() const { return dpi_; }

  // The file named on the command line (after the program, a leading "--" skipped), taken as a
  // drop is: one file, not a folder.
  void takeArguments(const std::vector<std::wstring>& arguments);

  // Runs until the window is closed.
  int run();

  // Face
  std::u16string text(window::Control control) const override;
  void setText(window::Control control, std::u16string_view text) override;
  void setEnabled(window::Control control, bool enabled) override;
  void setTip(window::Control control, std::u16string_view tip) override;
  void setColour(window::Control control, window::Rgb colour) override;
  bool checked(window::Control control) const override;
  int value(window::Control control) const override;
  void setValue(window::Control control, int value) override;
  window::DialogOwner owner() const override { return {hwnd_}; }
  void processEvents() override;
  void post(std::function<void()> task) override;
  void close() override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  void createControls();
  void layOut();
  void makeFonts();
  void setIcons();
  void addTip(HWND tool, std::u16string_view tip);
  void fitWidestDate();
  void fitWrapped(window::Control control);
  std::optional<window::Control> controlOf(HWND child) const;
  void onCommand(WPARAM wParam, LPARAM lParam);
  void onScroll(HWND bar, int request);
  void onDrop(HDROP drop);
  bool moveFocus(bool backwards);
  // A message of the loop, Tab and the dialog keys taken first; false for WM_QUIT.
  bool dispatch(MSG& msg);

  window::frmMain form_;
  HWND hwnd_ = nullptr;
  HWND tips_ = nullptr;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  static constexpr std::size_t kControlCount = static_cast<std::size_t>(window::Control::txtAll) + 1;
  std::array<HWND, kControlCount> controls_{};
  std::array<std::optional<COLORREF>, kControlCount> colours_{};
  std::deque<std::function<void()>> tasks_;
  bool quitSeen_ = false;
  bool running_ = false;  // in run(): closing the window ends it
};

}  // namespace orvella::win32
