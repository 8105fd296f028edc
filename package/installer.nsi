; The HX-21 setup program: installs the product into a folder under Program Files, with a Start-menu
; folder, an optional desktop shortcut and an entry among the installed programs; Japanese and English.
; makensis /DVERSION=... /DICON=... /DLISTS=<folder of files_install.nsh, files_uninstall.nsh> /DOUTFILE=...
Unicode true
!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "HX-21"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define LAUNCHER "hx-21.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" ""

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; No "start now" box: the setup program runs elevated, and the benchmark it started would run, write its
; files and open the browser as administrator. The finish page says where to start it instead.
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString FinishText ${LANG_JAPANESE} "HX-21 をインストールしました。スタートメニューまたはデスクトップの HX-21 から起動してください。"
LangString FinishText ${LANG_ENGLISH} "HX-21 is installed. Start it from HX-21 in the Start menu or on the desktop."
LangString NameProgram ${LANG_JAPANESE} "HX-21 本体"
LangString NameProgram ${LANG_ENGLISH} "HX-21 program"
LangString NameDesktop ${LANG_JAPANESE} "デスクトップのショートカット"
LangString NameDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString LinkUninstall ${LANG_JAPANESE} "HX-21 のアンインストール"
LangString LinkUninstall ${LANG_ENGLISH} "Uninstall HX-21"
LangString LinkReadme ${LANG_JAPANESE} "お読みください"
LangString LinkReadme ${LANG_ENGLISH} "Read me"
LangString DescProgram ${LANG_JAPANESE} "ランチャー、ビューア、エンジン、モデル、サウンド、設定ファイル。"
LangString DescProgram ${LANG_ENGLISH} "Launcher, viewer, engine, models, sounds and settings."
LangString DescDesktop ${LANG_JAPANESE} "デスクトップに HX-21 のショートカットを作ります。"
LangString DescDesktop ${LANG_ENGLISH} "Puts an HX-21 shortcut on the desktop."

Section "!$(NameProgram)" SecProgram
  SectionIn RO
  SetShellVarContext all
  !include "${LISTS}/files_install.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the program folder, where the launcher finds its logo and the viewer.
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${LAUNCHER}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\$(LinkReadme).lnk" "$INSTDIR\readme.txt"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\$(LinkUninstall).lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${LAUNCHER},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "$(NameDesktop)" SecDesktop
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  CreateShortCut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${LAUNCHER}"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DescProgram)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} $(DescDesktop)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  IfSilent +2
    !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

; Removes what the installer put there; photos and results the user made stay, with their folders.
Section "Uninstall"
  SetShellVarContext all
  Delete "$DESKTOP\${PRODUCT}.lnk"
  ; The folder's links carry the names of the language the product was installed in.
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\お読みください.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Read me.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\HX-21 のアンインストール.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall HX-21.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  !include "${LISTS}/files_uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd
