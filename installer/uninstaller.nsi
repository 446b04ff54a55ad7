; Velumor's uninstaller: removes an installation, run in place with
; _?=<folder> by uninstall.exe (uninstall_launcher.nsi), which waits for it
; and passes its exit code on. The build calls
;   makensis -INPUTCHARSET UTF8 -DARCH=x64|x86 -DCONFIG=<installer.nsh> -DFILES=<files.nsh>
;            -DICON=<velumor.ico> -DBITMAPS=<folder> -DCMAKE=<cmake> -DOUTFILE=<uninstaller.exe>
;            uninstaller.nsi
; The compiler makes the uninstaller while it compiles this script's
; installer part, which is never run: it exists so that there is an
; uninstaller to make, and the uninstaller is copied out as it is made.
;
; Exit codes: 0 removed; 1 cancelled by the user; 2 refused (Velumor runs,
; or it is not installed in the folder), nothing removed.

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x64 or x86"
!endif

!include "${CONFIG}"
!include "${FILES}"
!include MUI2.nsh
!include LogicLib.nsh
!include "common.nsh"

Name "${VELUMOR_PRODUCT}"
UninstallCaption "${VELUMOR_PRODUCT} ${VELUMOR_VERSION} Deinstallation"
BrandingText "${VELUMOR_MAKER}"
OutFile "${OUTFILE}.unused"
!uninstfinalize '"${CMAKE}" -E copy "%1" "${OUTFILE}"'
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
SilentInstall silent

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${BITMAPS}/header.bmp"

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"
!insertmacro VelumorVersionInfo "${VELUMOR_PRODUCT} ${VELUMOR_VERSION} Deinstallation"

!insertmacro DefineCheckNotRunning "un."
!insertmacro DefineRemoveOurAutostart "un."
!insertmacro DefineReadUserPath "un."
!insertmacro DefineWithoutOurFolder "un."
!insertmacro DefineWriteUserPath "un."
!insertmacro DefineRemoveOurPath "un."

Section
  WriteUninstaller "$EXEDIR\${UNINSTALLER_FILE}"
SectionEnd

Function un.onInit
  ; Only a folder that holds this installation is cleared: a copy of the
  ; uninstaller elsewhere, or a second run after the first, removes nothing.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
  ${AndIf} $0 != $INSTDIR
    MessageBox MB_OK|MB_ICONINFORMATION "Velumor ist im Ordner „$INSTDIR“ nicht installiert; es gibt nichts zu entfernen." /SD IDOK
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}
  Call un.CheckNotRunning
FunctionEnd

Section "Uninstall"
  Call un.CheckNotRunning

  !insertmacro VelumorRemoveFiles
  Delete "$INSTDIR\${UNINSTALLER_FILE}"
  ; That is the uninstall.exe waiting for this copy: Windows keeps a running
  ; program's file from being deleted, but lets it move within its drive.
  ; In the temporary folder Windows' clean-up of temporary files finds it,
  ; and for an administrator the next restart deletes it.
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER_FILE}"
    GetTempFileName $1
    Delete $1
    Rename "$INSTDIR\${UNINSTALLER_FILE}" $1
    Delete /REBOOTOK $1
  ${EndIf}
  RMDir "$INSTDIR" ; only when nothing else of the user's lies there

  ; Shortcuts and the uninstall entry belong to the installation the
  ; registry names; another installation's stay.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
  ${OrIf} $0 == ""
    SetShellVarContext current
    Delete "$SMPROGRAMS\${VELUMOR_PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${VELUMOR_PRODUCT}-Hilfe.lnk"
    Call un.RemoveOurPath ; reads the uninstall key
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    ; The maker's key goes only when nothing else lives in it (no values,
    ; no keys of other programs); HKEY_CURRENT_USER sign-extended as Windows has it.
    System::Call 'shlwapi::SHDeleteEmptyKeyW(p -2147483647, w "${MAKER_KEY}")'
  ${EndIf}
  Call un.RemoveOurAutostart
SectionEnd
