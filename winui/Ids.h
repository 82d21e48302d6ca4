#pragma once
// The window's controls, one identifier per design name, and what a second start and a test
// driver look for: the window class, the title's ending, the hand-over message and the
// dialogs' own controls.

namespace qor::winui {

// Controls of the main window (GetDlgItem(window, id)).
enum ControlId : int {
  pCmd = 100,
  bLangue,
  lFichier,
  eFichier,
  bFichier,
  bImpr,
  pSb,
  cbDrive,
  lbDir,
  lbFiles,
  bSearch,
  pc,
  wbAide,
  tvElev,
  // The library page: the simulator's folder, its areas, the look-up and its definitions, the
  // conflicts, and the page's status line.
  lSimulateur,
  eSimulateur,
  bParcourirSim,
  bCharger,
  lZones,
  lvZones,
  lAeroport,
  eAeroport,
  bChercher,
  lResume,
  lvDefinitions,
  lConflits,
  lvConflits,
  bAligner,
  bAnnuler,
  lEtatBib,
  // The reference list of real-world elevations, below the simulator's folder.
  lReference,
  eReference,
  bParcourirRef,
};

// The menu item of the language menu.
inline constexpr int mLangue = 200;
// The window's keyboard accelerators: Ctrl+Z (on the elevation page, the last change of the
// open file taken back), Ctrl+Tab and Ctrl+Shift+Tab (the next and the previous page).
inline constexpr int kUndoCommand = 201;
inline constexpr int kNextPageCommand = 202;
inline constexpr int kPreviousPageCommand = 203;
// The languages of the language menu: the first, then one a language in the menu's order.
inline constexpr int mLangueFirst = 210;

// The window class; a second start finds the running window by it and by the title's ending.
inline constexpr wchar_t kWindowClass[] = L"TfMain";
inline constexpr wchar_t kTitleEnding[] = L"Modification de l'altitude des aéroports et pistes";
// The hand-over: a second start's arguments in a global atom (wParam), sent to the window.
inline constexpr unsigned kHandOverMessage = 1125;

// Controls of the window's own dialogs (input box and message box): the edit field and the
// prompt; the buttons carry IDOK, IDCANCEL, IDYES and IDNO.
inline constexpr int kDialogEdit = 300;
inline constexpr int kDialogText = 301;
// The progress box of a long print-out: its bar (its button is IDCANCEL).
inline constexpr int kProgressBar = 302;

}  // namespace qor::winui
