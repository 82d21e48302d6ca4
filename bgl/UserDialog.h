#pragma once
// How the library talks to the user: the window shows real message boxes, the command line
// follows its rule of asking nothing, and tests script the answers.

#include <string>

namespace qor {

class UserDialog {
 public:
  // Message-box buttons and results, with the Windows values.
  static constexpr int kOk = 0;
  static constexpr int kOkCancel = 1;
  static constexpr int kYesNo = 4;
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdYes = 6;
  static constexpr int kIdNo = 7;
  // Icons that may be added to the buttons' flags.
  static constexpr int kIconStop = 16;
  static constexpr int kIconQuestion = 32;
  static constexpr int kIconExclamation = 48;
  static constexpr int kIconInformation = 64;
  // Makes the second button (No, Cancel) the one Enter presses; otherwise it is the first.
  static constexpr int kDefButton2 = 0x100;

  virtual ~UserDialog() = default;
  // A plain message: the text and one OK button, captioned with the application's title.
  virtual void Message(const std::string& text) = 0;
  // A question with the buttons of flags; returns the button pressed.
  virtual int MsgBox(const std::string& text, const std::string& caption, int flags) = 0;
};

}  // namespace qor
