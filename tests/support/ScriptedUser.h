#pragma once
// A user who answers every dialog of the window's workflow from a script and remembers what
// was said and asked.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ScriptedDialog.h"
#include "workflow/FrontEnd.h"

namespace qor::test {

class ScriptedUser : public WorkflowDialogs {
 public:
  struct Asked {
    std::string caption, prompt, text;
  };

  void Message(const std::string& text) override { messages.push_back(text); }
  int MsgBox(const std::string& text, const std::string& caption, int flags) override {
    return script.MsgBox(text, caption, flags);
  }
  // Answers with the next input, or Cancel when it is nothing or none is left. whileAsking runs
  // first, as events that come while the box is open would.
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override {
    asked.push_back({caption, prompt, text});
    if (whileAsking) std::exchange(whileAsking, nullptr)();
    if (inputs.empty() || !inputs.front()) {
      if (!inputs.empty()) inputs.pop_front();
      return false;
    }
    text = *inputs.front();
    inputs.pop_front();
    return true;
  }
  bool OpenFileName(std::string& path) override {
    browsedFrom.push_back(path);
    if (!browse) return false;
    path = *std::exchange(browse, std::nullopt);
    return true;
  }
  bool OpenFile(const std::string& caption, const std::string&, std::string& path) override {
    return InputBox(caption, "", path);
  }
  bool SaveFileName(const std::string& caption, const std::string&, std::string& path) override {
    return InputBox(caption, "", path);
  }
  bool BrowseFolder(const std::string& caption, std::string& folder) override {
    return InputBox(caption, "", folder);
  }

  std::vector<std::string> messages;
  std::deque<std::optional<std::string>> inputs;
  std::vector<Asked> asked;
  std::function<void()> whileAsking;
  std::optional<std::string> browse;  // the file the browse dialog gives, once
  std::vector<std::string> browsedFrom;
  ScriptedDialog script;  // the buttons' answers and the questions asked
};

}  // namespace qor::test
