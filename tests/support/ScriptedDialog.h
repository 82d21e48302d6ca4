#pragma once
// A user who answers the questions from a script and remembers everything said to them.

#include <deque>
#include <string>
#include <vector>

#include "bgl/UserDialog.h"

namespace qor::test {

class ScriptedDialog : public UserDialog {
 public:
  struct Question {
    std::string text, caption;
    int flags;
  };

  void Message(const std::string& text) override { messages.push_back(text); }
  int MsgBox(const std::string& text, const std::string& caption, int flags) override {
    questions.push_back({text, caption, flags});
    if (answers.empty()) return kIdNo;  // an unscripted question is refused
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<int> answers;
  std::vector<std::string> messages;
  std::vector<Question> questions;
};

}  // namespace qor::test
