; The QORBgl installer: the program, its command line and its help page in
; "Program Files\QORBgl" (the 32-bit program's folder), a Start menu entry, and an entry in
; Add/Remove Programs whose uninstaller takes all of it away again. The user's settings under
; HKCU\Software\QOR Soft stay: a later installation finds them.
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0.0 -DBIN=<folder holding QORBgl.exe,
;            qorbgl-cli.exe and the help pages QORBgl.htm, QORBgl-en.htm, QORBgl-de.htm>
;            [-DOUTFILE=<setup.exe>] [-DTARGET=amd64-unicode]
;            packaging/windows/QORBgl.nsi
;
; The installer speaks French, English or German: it asks at the start, the system's language
; chosen in advance (French when the system speaks none of them), and the uninstaller speaks the
; language chosen then. A silent installation asks nothing.
;
; The installer users run is 32-bit, as the program is. TARGET=amd64-unicode makes the same
; installer as a 64-bit program, for a Wine that runs no 32-bit programs: the same files, Start
; menu entry and Add/Remove Programs entry (its Program Files may be the 64-bit one).

!ifndef VERSION
  !error "Il manque la version : -DVERSION=1.0.0.0"
!endif
!ifndef BIN
  !error "Il manque le dossier des fichiers à installer : -DBIN=<dossier>"
!endif
!ifndef OUTFILE
  !define OUTFILE "QORBgl-${VERSION}-setup.exe"
!endif

!ifdef TARGET
  Target ${TARGET}
!else
  Unicode true
!endif

!define PRODUCT "QORBgl"
!define PUBLISHER "QOR Soft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "uninstall.exe"

!include "MUI2.nsh"
!include "FileFunc.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
; The language chosen at installation, for the uninstaller (removed with the rest of the key).
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\QORBgl.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$(HelpPage)"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowHelp)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; French first: the language of a system that speaks none of the three, as the program's own.
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_RESERVEFILE_LANGDLL

; The installer's own texts. The help page is the one the program shows in that language.
LangString HelpPage ${LANG_FRENCH} "QORBgl.htm"
LangString HelpPage ${LANG_ENGLISH} "QORBgl-en.htm"
LangString HelpPage ${LANG_GERMAN} "QORBgl-de.htm"
LangString ShowHelp ${LANG_FRENCH} "Afficher l'aide"
LangString ShowHelp ${LANG_ENGLISH} "Show the help page"
LangString ShowHelp ${LANG_GERMAN} "Hilfe anzeigen"
LangString ShortcutComment ${LANG_FRENCH} \
  "Changer l'altitude des aéroports et des pistes des scèneries FS2004"
LangString ShortcutComment ${LANG_ENGLISH} \
  "Change the elevations of airports and runways in FS2004 scenery"
LangString ShortcutComment ${LANG_GERMAN} "Höhen von Flughäfen und Pisten in FS2004-Szenerien ändern"

!macro VERSION_KEYS LANG DESCRIPTION
  VIAddVersionKey /LANG=${LANG} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${LANG} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANG} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG} "FileVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "LegalCopyright" "© ${PUBLISHER}"
!macroend
!insertmacro VERSION_KEYS ${LANG_FRENCH} "Installation de ${PRODUCT}"
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "${PRODUCT} Setup"
!insertmacro VERSION_KEYS ${LANG_GERMAN} "${PRODUCT} Setup"

; Every user's Start menu, and the 32-bit view of the machine's registry, where Windows looks
; for the programs of the 32-bit Program Files.
Function .onInit
  SetShellVarContext all
  SetRegView 32
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 32
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "${PRODUCT}" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN}/QORBgl.exe"
  File "${BIN}/qorbgl-cli.exe"
  File "${BIN}/QORBgl.htm"
  File "${BIN}/QORBgl-en.htm"
  File "${BIN}/QORBgl-de.htm"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\QORBgl.exe" "" "$INSTDIR\QORBgl.exe" 0 \
    SW_SHOWNORMAL "" "$(ShortcutComment)"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QORBgl.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\QORBgl.exe"
  Delete "$INSTDIR\qorbgl-cli.exe"
  Delete "$INSTDIR\QORBgl.htm"
  Delete "$INSTDIR\QORBgl-en.htm"
  Delete "$INSTDIR\QORBgl-de.htm"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a file the user put there stays, with its folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
