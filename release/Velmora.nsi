; The Windows installer: the launcher, its twelve games and its sounds, per user, with an uninstaller.
; makensis -DVERSION=1.2.3.4 -DSOURCE_DIR=<assembled install folder> -DOUT_FILE=<setup.exe> [-DICON=<.ico>]
;          [-DSIGN=<command that signs the file it is given in place>] Velmora.nsi

!ifndef VERSION | SOURCE_DIR | OUT_FILE
  !error "Pass -DVERSION=, -DSOURCE_DIR= and -DOUT_FILE= to makensis"
!endif
!ifndef PRODUCT
  !define PRODUCT "Velmora"
!endif
!ifndef COMPANY
  !define COMPANY "Quillon Software"
!endif
!define SHORTCUT "$SMPROGRAMS\${PRODUCT} Launcher.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; What the launcher registers for the user when it starts (its document type).
!define DOCUMENT_CLASS "Software\Classes\VelmoraLauncher.Document"

Unicode true
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
SetCompressor /SOLID lzma
; A file that cannot be replaced fails the install instead of being skipped, so a success is never an old exe.
AllowSkipFiles off
Name "${PRODUCT} Launcher"
OutFile "${OUT_FILE}"
; Per user: no elevation, and the user's own programs folder unless they pick another.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Launcher Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COMPANY}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} Launcher"
!define MUI_FINISHPAGE_RUN_FUNCTION StartLauncher
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Each game lives in <name>\<name>.exe, where the launcher looks for it.
!macro InstallGame NAME
  SetOutPath "$INSTDIR\${NAME}"
  File "${SOURCE_DIR}/${NAME}/${NAME}.exe"
!macroend
!macro RemoveGame NAME
  Delete "$INSTDIR\${NAME}\${NAME}.exe"
  RMDir "$INSTDIR\${NAME}"
!macroend
!macro ForEachGame MACRO
  !insertmacro ${MACRO} backgammon
  !insertmacro ${MACRO} bridge
  !insertmacro ${MACRO} checkers
  !insertmacro ${MACRO} chess
  !insertmacro ${MACRO} chinesechess
  !insertmacro ${MACRO} dominoes
  !insertmacro ${MACRO} fourinaline
  !insertmacro ${MACRO} go
  !insertmacro ${MACRO} gomoku
  !insertmacro ${MACRO} reversi
  !insertmacro ${MACRO} shogi
  !insertmacro ${MACRO} taipei
!macroend

!macro ForEachSound MACRO
  !insertmacro ${MACRO} Highlight.WAV
  !insertmacro ${MACRO} Confirm.WAV
!macroend
; A build without sounds still makes an installer; the launcher plays none then.
!macro InstallSound FILE
  !if /FileExists "${SOURCE_DIR}/Sounds/${FILE}"
    SetOutPath "$INSTDIR\Sounds"
    File "${SOURCE_DIR}/Sounds/${FILE}"
  !endif
!macroend
!macro RemoveSound FILE
  Delete "$INSTDIR\Sounds\${FILE}"
!macroend

; A running program's exe cannot be opened for writing: $R0 collects those of this folder that are running.
; The launcher runs, hidden, for as long as a game it started does.
!macro NoteRunning FILE
  ${If} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $R1 "${FILE}" a
    ${If} ${Errors}
      StrCpy $R0 "$R0$\r$\n${FILE}"
    ${Else}
      FileClose $R1
    ${EndIf}
  ${EndIf}
!macroend
!macro NoteRunningGame NAME
  !insertmacro NoteRunning "$INSTDIR\${NAME}\${NAME}.exe"
!macroend
; Asked before anything is copied or removed, so that a refusal leaves the folder and the registry as they were.
; Silent mode answers Cancel: the setup or uninstall then ends with exit code 2.
!macro DefineWaitUntilClosed UN
  Function ${UN}WaitUntilClosed
    ${Do}
      StrCpy $R0 ""
      !insertmacro NoteRunning "$INSTDIR\Velmora.exe"
      !insertmacro ForEachGame NoteRunningGame
      ${If} $R0 == ""
        Return
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} Launcher or one of its games is running:$R0$\r$\n$\r$\nClose it, then choose Retry." \
        /SD IDCANCEL IDRETRY retry
      Abort "${PRODUCT} Launcher is running."
      retry:
    ${Loop}
  FunctionEnd
!macroend
!insertmacro DefineWaitUntilClosed ""
!insertmacro DefineWaitUntilClosed "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Velmora Launcher"
  Call WaitUntilClosed
  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}/Velmora.exe"
  !insertmacro ForEachGame InstallGame
  !insertmacro ForEachSound InstallSound

  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The launcher finds its games and sounds from its current directory: the shortcut starts it in $INSTDIR,
  ; which CreateShortCut takes from the output path.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Velmora.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} Launcher"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmora.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes only what the installer put there; the user's settings under HKCU\Software\${COMPANY} stay, and
; a folder that still holds something of the user's is kept.
Section "Uninstall"
  Call un.WaitUntilClosed
  ; The exe first: left behind, it could never be uninstalled once the entry below is gone.
  ClearErrors
  Delete "$INSTDIR\Velmora.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\Velmora.exe cannot be removed. Close ${PRODUCT} Launcher, then uninstall again." \
      /SD IDOK
    Abort "$INSTDIR\Velmora.exe cannot be removed."
  ${EndIf}
  Delete "${SHORTCUT}"
  !insertmacro ForEachGame RemoveGame
  !insertmacro ForEachSound RemoveSound
  RMDir "$INSTDIR\Sounds"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The document type goes with the exe it opens; one that another copy registered (a portable one) stays.
  ReadRegStr $R0 HKCU "${DOCUMENT_CLASS}\shell\open\command" ""
  ${If} $R0 == '"$INSTDIR\Velmora.exe" "%1"'
    DeleteRegKey HKCU "${DOCUMENT_CLASS}"
  ${EndIf}
  ; The entry last: while it is listed, something of the install may remain.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; The finish page's "Start" box: from the install folder, as the shortcut does.
Function StartLauncher
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Velmora.exe"'
FunctionEnd
