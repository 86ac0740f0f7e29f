; The Windows installer: both programs and the HTML templates for the current user, without
; administrator rights, with the offer of the context-menu entry for folders and drives.
; Built by the folvane_installer target, which defines VERSION, ARCH, GUI, CLI, BASEHTML,
; README, ICON and OUTFILE.
; The x86_64 installer is itself a 64-bit program, like what it installs.
!if "${ARCH}" == "x86_64"
  Target amd64-unicode
!else
  Unicode true
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "FileFunc.nsh"

Name "Folvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Folvane"
InstallDirRegKey HKCU "Software\Folvane" "InstallDir"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Folvane"
; The entries the program itself keeps, in the classes of the current user.
!define DIRECTORY_VERB "Software\Classes\Directory\Shell\Folvane"
!define DRIVE_VERB "Software\Classes\Drive\Shell\Folvane"
!define DEFAULT_CAPTION "フォルダ リスト(&L)"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Folvane (folvane.exe, folvane-cli.exe)" SecPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=folvane.exe" "${GUI}"
  File "/oname=folvane-cli.exe" "${CLI}"
  File "/oname=README.md" "${README}"
  SetOutPath "$INSTDIR\basehtml"
  File "${BASEHTML}/*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Folvane.lnk" "$INSTDIR\folvane.exe"
  WriteRegStr HKCU "Software\Folvane" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Folvane ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\folvane.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "フォルダとドライブの右クリックメニューに登録" SecContextMenu
  WriteRegStr HKCU "${DIRECTORY_VERB}" "" "${DEFAULT_CAPTION}"
  WriteRegStr HKCU "${DIRECTORY_VERB}\command" "" '"$INSTDIR\folvane.exe" "%1"'
  WriteRegStr HKCU "${DRIVE_VERB}" "" "${DEFAULT_CAPTION}"
  WriteRegStr HKCU "${DRIVE_VERB}\command" "" '"$INSTDIR\folvane.exe" "%1"'
SectionEnd

; The program renews or removes the entry at every start as its settings say; a person who
; declined it gets a settings file that says so, unless one is there already.
Section "-ContextMenuDeclined"
  ${IfNot} ${SectionIsSelected} ${SecContextMenu}
  ${AndIfNot} ${FileExists} "$INSTDIR\Folvane.ini"
    FileOpen $0 "$INSTDIR\Folvane.ini" w
    FileWrite $0 "[Settings]$\r$\nVersion=1.8$\r$\nShortCutMenuFlg=False$\r$\n"
    FileClose $0
  ${EndIf}
SectionEnd

Section "Uninstall"
  DeleteRegKey HKCU "${DIRECTORY_VERB}"
  DeleteRegKey HKCU "${DRIVE_VERB}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Folvane"
  Delete "$SMPROGRAMS\Folvane.lnk"
  Delete "$INSTDIR\folvane.exe"
  Delete "$INSTDIR\folvane-cli.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\Folvane.ini"
  RMDir /r "$INSTDIR\basehtml"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
