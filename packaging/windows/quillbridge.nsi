; The Windows installer of KV Quillbridge, made by scripts/package-windows:
;   makensis -DVERSION=2.0.0.1 -DBITS=32|64 -DSTAGE=folder -DFILES=files.nsh
;            -DUNFILES=unfiles.nsh -DOUTFILE=setup.exe quillbridge.nsi
; STAGE is the folder that holds what is installed; FILES lists it for the
; installer, UNFILES for the uninstaller.
;
; It installs for the user who runs it, without asking for an administrator,
; into %LOCALAPPDATA%\Programs\Quillbridge. The uninstaller removes what was
; installed and leaves the user's catalogues (dict.kvd and predict.kvd beside
; the library, and %APPDATA%\Quillbridge) unless the box for them is ticked or
; it runs with /PURGE.

Unicode true
!if ${BITS} == 64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbridge"

Name "KV Quillbridge"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Quillbridge"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion ${VERSION}
VIFileVersion ${VERSION}
VIAddVersionKey /LANG=0 "ProductName" "KV Quillbridge"
VIAddVersionKey /LANG=0 "FileDescription" "KV Quillbridge ${VERSION} (${BITS}-bit)"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "KV Quillbridge"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Estonian"

Section "KV Quillbridge"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "KV Quillbridge"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "KV Quillbridge"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.KV Quillbridge" SecProgram
  SectionIn RO
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Unticked unless asked: the user's own lists of dictionaries, with the
; settings and the word history kept beside them.
Section /o "un.Minu sõnastike nimekirjad" SecCatalogues
  Delete "$INSTDIR\dict.kvd"
  Delete "$INSTDIR\predict.kvd"
  Delete "$INSTDIR\dict.kvd.lock"
  Delete "$INSTDIR\predict.kvd.lock"
  RMDir /r "$APPDATA\Quillbridge"
SectionEnd

; Last, so that the folder goes only when nothing of the user's is left in it.
Section "-un.folder"
  RMDir "$INSTDIR\site"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecCatalogues}
  ${EndIf}
FunctionEnd
