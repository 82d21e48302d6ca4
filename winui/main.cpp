// QORBgl.exe [FILE | FOLDER]: the window, on Windows.

#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "platform/Console.h"
#include "print/QORDoc.h"
#include "util/Environment.h"
#include "winui/Ids.h"
#include "winui/MainWindow.h"
#include "winui/SingleInstance.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  qor::InitEnvironment();
  qor::PrintDoc();  // the print document lives from start to end of the program
  const std::vector<std::string> arguments = qor::platform::CommandLineArguments(0, nullptr);
  // A second start hands its arguments to the running window and ends unseen.
  if (qor::winui::ActivatePrevInstance(arguments)) return 0;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  ::LoadLibraryW(L"Msftedit.dll");  // the help page's rich-edit control

  qor::winui::MainWindow window;
  if (!window.Create(show, arguments.empty() ? std::string() : arguments.front())) return 1;
  // Ctrl+Z and the page keys reach the window as commands, whichever control has the focus.
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'Z', qor::winui::kUndoCommand},
                  {FVIRTKEY | FCONTROL, VK_TAB, qor::winui::kNextPageCommand},
                  {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, qor::winui::kPreviousPageCommand}};
  const HACCEL accelerators = ::CreateAcceleratorTableW(keys, 3);
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::TranslateAcceleratorW(window.Handle(), accelerators, &message)) continue;
    if (::IsDialogMessageW(window.Handle(), &message)) continue;  // Tab between the controls
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
