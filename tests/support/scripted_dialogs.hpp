// Dialogs answered from a script, recording what the window asked and said; every face's tests
// and the behaviour's use it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "window/dialogs.hpp"

namespace orvella::testing {

class ScriptedDialogs final : public window::Dialogs {
 public:
  struct Box {
    window::BoxIcon icon;
    std::u16string text;
  };

  // Answers in turn; an exhausted script answers as a cancel.
  std::deque<std::vector<std::u16string>> files;
  std::deque<std::u16string> folders;
  std::deque<std::optional<window::ReadingChoices>> optionAnswers;  // nothing: cancelled
  // Run while the folder dialog or a message box is "open", i.e. inside the window's call.
  std::function<void()> onFolder;
  std::function<void(const Box&)> onBox;

  std::vector<std::vector<window::FileFilter>> fileFilters;
  std::vector<std::u16string> folderTitles;
  std::vector<window::ReadingChoices> optionsShown;
  std::vector<window::DialogOwner> owners;
  std::vector<Box> boxes;

  std::vector<std::u16string> openFileNames(window::DialogOwner owner,
                                            std::span<const window::FileFilter> filters) override {
    owners.push_back(owner);
    fileFilters.emplace_back(filters.begin(), filters.end());
    return next(files);
  }

  std::u16string selectFolder(window::DialogOwner owner, std::u16string_view title) override {
    owners.push_back(owner);
    folderTitles.emplace_back(title);
    if (onFolder) onFolder();
    return next(folders);
  }

  bool options(window::DialogOwner owner, window::ReadingChoices& choices) override {
    owners.push_back(owner);
    optionsShown.push_back(choices);
    const std::optional<window::ReadingChoices> answer = next(optionAnswers);
    if (answer) choices = *answer;
    return answer.has_value();
  }

  void message(window::DialogOwner owner, window::BoxIcon icon, std::u16string_view text) override {
    owners.push_back(owner);
    boxes.push_back({icon, std::u16string(text)});
    if (onBox) onBox(boxes.back());
  }

 private:
  template <class Answer>
  static Answer next(std::deque<Answer>& answers) {
    if (answers.empty()) return {};
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace orvella::testing
