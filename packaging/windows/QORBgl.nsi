; The QORBgl installer: the program, its command line and its help page in
; "Program Files\QORBgl" (the 32-bit program's folder), a Start menu entry, and an entry in
; Add/Remove Programs whose uninstaller takes all of it away again. The user's settings under
; HKCU\Software\QOR Soft stay: a later installation finds them.
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0.0 -DBIN=<folder holding QORBgl.exe,
;            qorbgl-cli.exe and QORBgl.htm> [-DOUTFILE=<setup.exe>] [-DTARGET=amd64-unicode]
;            packaging/windows/QORBgl.nsi
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
VIAddVersionKey /LANG=1036 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1036 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation de ${PRODUCT}"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "LegalCopyright" "© ${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\QORBgl.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "French"

; Every user's Start menu, and the 32-bit view of the machine's registry, where Windows looks
; for the programs of the 32-bit Program Files.
Function .onInit
  SetShellVarContext all
  SetRegView 32
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 32
FunctionEnd

Section "${PRODUCT}" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN}/QORBgl.exe"
  File "${BIN}/qorbgl-cli.exe"
  File "${BIN}/QORBgl.htm"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\QORBgl.exe" "" "$INSTDIR\QORBgl.exe" 0

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
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a file the user put there stays, with its folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
