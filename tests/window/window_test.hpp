// A fresh frmMain per test on fake controls, with scripted dialogs, a fixed Date and a scratch
// folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "core/utf.hpp"
#include "fake_face.hpp"
#include "support/fixed_date.hpp"
#include "support/scripted_dialogs.hpp"
#include "support/temp_dir.hpp"
#include "window/frm_main.hpp"

namespace orvella::testing {

using window::BoxIcon;
using window::Control;

inline std::u16string u16(std::string_view utf8) { return utf8ToUtf16(utf8).value(); }
inline std::u16string u16Path(const std::filesystem::path& p) { return p.u16string(); }
inline std::string u8(std::u16string_view text) { return utf16ToUtf8(text); }

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    face.attach(form);
    form.setDateSource(&fixedMoment);
    form.Form_Load();
  }

  std::u16string text(Control c) const { return face.text(c); }
  bool enabled(Control c) const { return face.state(c).enabled; }
  bool red(Control c) const { return face.state(c).colour == window::Rgb{255, 0, 0}; }

  // name is UTF-8.
  std::filesystem::path writeInput(const std::string& name, std::string_view bytes) const {
    const auto path = dir.path() / pathFromUtf8(name);
    writeFile(path, bytes);
    return path;
  }

  // The "..." button answered with the given file.
  void chooseFile(const std::filesystem::path& file) {
    dialogs.files.push_back({u16Path(file)});
    face.click(Control::Command2);
  }

  ScriptedDialogs dialogs;
  FakeFace face;
  window::frmMain form{face, dialogs};
  TempDir dir;
};

}  // namespace orvella::testing
