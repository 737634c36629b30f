; The Windows installer of Tolvane: German, into Program Files\Tolvane, with
; Start-menu entries and an uninstaller listed under "Programme und Features".
; "/S" installs (and, given to the uninstaller, removes) without a question.
;
; makensis -DVERSION=2.0.0.60 -DOUTFILE=...\tolvane-setup.exe -DFILES=files.nsh
;          [-DPROGRAMS64] tolvane.nsi
; FILES lists the installed files (packaging/windows/installer.cmake writes it):
; one "!insertmacro TolvaneFile PATH NAME" line per file.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include "MUI2.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"

Name "Tolvane ${VERSION}"
OutFile "${OUTFILE}"
!ifdef PROGRAMS64
InstallDir "$PROGRAMFILES64\Tolvane"
!else
InstallDir "$PROGRAMFILES\Tolvane"
!endif
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductName" "Tolvane"
VIAddVersionKey /LANG=1031 "FileDescription" "Tolvane Setup"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "Tolvane"
VIAddVersionKey /LANG=1031 "LegalCopyright" "Tolvane"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; Each file is installed, and removed by the uninstaller by name, so that it
; never deletes what it did not install.
!macro TolvaneFile PATH NAME
  !ifdef INSTALLING
    File "/oname=${NAME}" "${PATH}"
  !else
    Delete "$INSTDIR\${NAME}"
  !endif
!macroend

Function .onInit
!ifdef PROGRAMS64
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!ifdef PROGRAMS64
  SetRegView 64
!endif
FunctionEnd

Section "Tolvane"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !define INSTALLING
  !include "${FILES}"
  !undef INSTALLING
  WriteUninstaller "$INSTDIR\Deinstallieren.exe"

  CreateDirectory "$SMPROGRAMS\Tolvane"
  IfFileExists "$INSTDIR\tolvane.exe" 0 +2
    CreateShortcut "$SMPROGRAMS\Tolvane\Tolvane.lnk" "$INSTDIR\tolvane.exe"
  CreateShortcut "$SMPROGRAMS\Tolvane\Tolvane-Hilfe.lnk" "$INSTDIR\hilfe.htm"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tolvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tolvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Deinstallieren.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Deinstallieren.exe" /S'
  IfFileExists "$INSTDIR\tolvane.exe" 0 +2
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tolvane.exe"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !include "${FILES}"
  Delete "$INSTDIR\Deinstallieren.exe"
  ; Only empty: files the user put there stay.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tolvane\Tolvane.lnk"
  Delete "$SMPROGRAMS\Tolvane\Tolvane-Hilfe.lnk"
  RMDir "$SMPROGRAMS\Tolvane"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folders the window remembered for the user who uninstalls.
  DeleteRegKey HKCU "Software\Tolvane"
SectionEnd
