; The Windows installer. Made by cmake/windows/package.sh, which defines
; VERSION, STAGE (the folder holding everything to install), FILES (the list
; of those files, for the uninstaller), OUTFILE and ICON.
; Installs into Program Files for every user with a Start-menu entry; /S
; installs silently. The uninstaller removes only what was installed: the
; data (%USERPROFILE%\Vantorel) and the settings in the registry stay.
; A 64-bit installer for the 64-bit program: it needs no 32-bit Windows layer (nor wine32).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh

Name "Vantorel"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vantorel"
InstallDirRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantorel" "InstallLocation"
BrandingText "Vantorel ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Vantorel"
VIAddVersionKey /LANG=2052 "FileDescription" "Vantorel 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Vantorel"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vantorel.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantorel"

Section "Vantorel"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Started from here, in the installation folder, the program keeps its data
  ; in the user's own folder %USERPROFILE%\Vantorel (see app/main.cpp).
  CreateShortCut "$SMPROGRAMS\Vantorel.lnk" "$INSTDIR\vantorel.exe" "" "$INSTDIR\vantorel.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vantorel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vantorel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantorel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Vantorel.lnk"
  ; File by file: a folder chosen by hand may hold other things.
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
