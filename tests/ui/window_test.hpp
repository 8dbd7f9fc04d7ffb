// A fresh Qt window per test, with scripted dialogs, a fixed Date and a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <chrono>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

#include "support/fixed_date.hpp"
#include "support/scripted_dialogs.hpp"
#include "support/temp_dir.hpp"
#include "ui/qt/main_window.hpp"

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace orvella::testing {

inline QString qpath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }
inline QString qs(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<ui::MainWindow>(dialogs);
    window->form().setDateSource(&fixedMoment);
  }

  template <class T = QWidget>
  T* get(std::string_view name) const {
    auto* found = window->findChild<T*>(QString::fromLatin1(name.data(), qsizetype(name.size())));
    if (!found) throw std::runtime_error("no control " + std::string(name));
    return found;
  }
  QLineEdit* edit(const char* name) const { return get<QLineEdit>(name); }
  QLabel* label(const char* name) const { return get<QLabel>(name); }
  QCheckBox* check(const char* name) const { return get<QCheckBox>(name); }
  QScrollBar* spinner() const { return get<QScrollBar>("VScroll1"); }
  QProgressBar* bar() const { return get<QProgressBar>("ProgressBar1"); }

  std::filesystem::path writeInput(const std::string& name, std::string_view bytes) const {
    const auto path = dir / name;
    writeFile(path, bytes);
    return path;
  }

  // The "..." button answered with the given file.
  void chooseFile(const std::filesystem::path& file) {
    dialogs.files.push_back({file.u16string()});
    get<QPushButton>("Command2")->click();
  }

  ScriptedDialogs dialogs;
  std::unique_ptr<ui::MainWindow> window;
  TempDir dir;
};

}  // namespace orvella::testing
