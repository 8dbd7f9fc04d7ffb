// Dialogs answered from a script, recording what the window asked and said.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "ui/dialogs.hpp"

namespace orvella::testing {

class ScriptedDialogs final : public ui::Dialogs {
 public:
  struct Box {
    ui::BoxIcon icon;
    QString text;
  };

  // Answers in turn; an exhausted script answers as a cancel.
  std::deque<QString> files;
  std::deque<QString> folders;
  // Run while the folder dialog or a message box is "open", i.e. inside the window's call.
  std::function<void()> onFolder;
  std::function<void(const Box&)> onBox;

  std::vector<QStringList> fileFilters;
  std::vector<QString> folderTitles;
  std::vector<QWidget*> owners;
  std::vector<Box> boxes;

  QString openFileName(QWidget* owner, const QStringList& filters) override {
    owners.push_back(owner);
    fileFilters.push_back(filters);
    return next(files);
  }

  QString selectFolder(QWidget* owner, const QString& title) override {
    owners.push_back(owner);
    folderTitles.push_back(title);
    if (onFolder) onFolder();
    return next(folders);
  }

  void message(QWidget* owner, ui::BoxIcon icon, const QString& text) override {
    owners.push_back(owner);
    boxes.push_back({icon, text});
    if (onBox) onBox(boxes.back());
  }

 private:
  static QString next(std::deque<QString>& answers) {
    if (answers.empty()) return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace orvella::testing
