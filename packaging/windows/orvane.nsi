; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer: both programs, the palette, the demo movie, the
; README and the licence for the current user (no administrator needed), a
; Start-menu entry, an uninstaller, and "Open with Orvane" for .3mm files
; (offered beside the movie application, never taking its place).
; Made by scripts/package-windows.sh:
;   makensis -DVERSION=0.9 -DSTAGE=folder -DICON=orvane.ico -DOUTFILE=orvane-0.9-windows-x64-installer.exe orvane.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PROGID "Orvane.Movie"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"

Name "Orvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Orvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Icon "${ICON}"
UninstallIcon "${ICON}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Orvane"
  SetOutPath "$INSTDIR"
  File "${STAGE}\orvane.exe"
  File "${STAGE}\orvane-cli.exe"
  File "${STAGE}\mevrik.palette"
  File "${STAGE}\mevrik.gpl"
  File "${STAGE}\demo.3mm"
  File "${STAGE}\README.md"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Orvane"
  CreateShortcut "$SMPROGRAMS\Orvane\Orvane.lnk" "$INSTDIR\orvane.exe"
  CreateShortcut "$SMPROGRAMS\Orvane\Uninstall Orvane.lnk" "$INSTDIR\uninstall.exe"

  ; "Open with Orvane" in the context menu of every .3mm file, and Orvane in
  ; its "Open with" list; the movie application stays the default.
  WriteRegStr HKCU "Software\Classes\SystemFileAssociations\.3mm\shell\Orvane" "" "Open with Orvane"
  WriteRegStr HKCU "Software\Classes\SystemFileAssociations\.3mm\shell\Orvane" "Icon" "$INSTDIR\orvane.exe,0"
  WriteRegStr HKCU "Software\Classes\SystemFileAssociations\.3mm\shell\Orvane\command" "" '"$INSTDIR\orvane.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Movie (.3mm)"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\orvane.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\orvane.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.3mm\OpenWithProgids" "${PROGID}" ""

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Orvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Orvane developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\orvane.exe"
  Delete "$INSTDIR\orvane-cli.exe"
  Delete "$INSTDIR\mevrik.palette"
  Delete "$INSTDIR\mevrik.gpl"
  Delete "$INSTDIR\demo.3mm"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Orvane\Orvane.lnk"
  Delete "$SMPROGRAMS\Orvane\Uninstall Orvane.lnk"
  RMDir "$SMPROGRAMS\Orvane"
  DeleteRegKey HKCU "Software\Classes\SystemFileAssociations\.3mm\shell\Orvane"
  DeleteRegValue HKCU "Software\Classes\.3mm\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.3mm\OpenWithProgids"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
