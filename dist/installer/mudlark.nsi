; mudlark.nsi -- the Windows installer, built by scripts/package-windows.sh:
;   makensis -DVERSION=1.1 -DPACKAGE=<the package folder> -DLISTS=<folder of the
;            file lists> -DOUTFILE=<mudlark-1.1-setup.exe> mudlark.nsi
; For the player alone (no administrator needed) or for every user of the
; machine, chosen on a page or by /CurrentUser or /AllUsers; silent with /S,
; into a folder of one's own with /D=C:\Games\Mudlark (last). A Start-menu
; entry, the licence shown, an uninstaller registered with Windows that
; removes what was installed and leaves the player's records, replays and
; settings in %APPDATA%\Mudlark.
Target amd64-unicode ; the game is 64-bit: so is its installer
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mudlark"
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Mudlark"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

Name "Mudlark ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Mudlark ${VERSION}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${PACKAGE}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\mudlark.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var chosenFolder

Function .onInit
  ; A folder given with /D stands over the one the install mode suggests.
  StrCpy $chosenFolder $INSTDIR
  !insertmacro MULTIUSER_INIT
  StrCmp $chosenFolder "" +2
  StrCpy $INSTDIR $chosenFolder
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Mudlark"
  !include "${LISTS}\install-files.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Mudlark.lnk" "$INSTDIR\mudlark.exe" "" "$INSTDIR\mudlark.exe" 0
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Mudlark"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Mudlark developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mudlark.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !include "${LISTS}\uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Mudlark.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
