; The Windows installer of Pelorin, Skelmar, pelorin-cli and Tandril, made
; by tools/package.sh with makensis. It is given on the command line:
;   VERSION   the suite's version, such as 0.1.0
;   ARCH      x64 or x86
;   STAGE     the folder holding the files to install (tools/package.sh
;             fills it and writes files.nsh there, the lists below)
;   OUTFILE   the installer to write
;   ICON      Pelorin's icon
; Silent: /S installs or uninstalls without a window; /D=FOLDER (last, no
; quotes) picks the folder; /DEVELOPMENT also installs the C developer's
; files, which a silent install otherwise leaves out.

Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "Pelorin"
!define PUBLISHER "Card Reader Suite developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelorin"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if ${ARCH} == x64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES32\${PRODUCT}"
!endif
BrandingText "${PRODUCT} ${VERSION} (${ARCH})"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup (${ARCH})"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; INSTALL_PROGRAMS, INSTALL_DEVELOPMENT, UNINSTALL_FILES and UNINSTALL_FOLDERS.
!include "${STAGE}/files.nsh"

Section "Programs and the Tandril library" SecPrograms
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro INSTALL_PROGRAMS
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Pelorin.lnk" "$INSTDIR\Pelorin.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Skelmar.lnk" "$INSTDIR\Skelmar.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (${ARCH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pelorin.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "C developer's files (tandril.h, import library)" SecDevelopment
  SetOutPath "$INSTDIR"
  !insertmacro INSTALL_DEVELOPMENT
SectionEnd

; The installed size, for the installed programs list, once every section ran.
Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DEVELOPMENT" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecDevelopment}
  ${EndIf}
FunctionEnd

; Removes what the installer put there, by name, and the folders it made
; when they are left empty: files of the user's in the folder stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\Pelorin.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Skelmar.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  !insertmacro UNINSTALL_FILES
  Delete "$INSTDIR\uninstall.exe"
  !insertmacro UNINSTALL_FOLDERS
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
