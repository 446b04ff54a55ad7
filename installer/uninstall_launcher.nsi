; uninstall.exe in the program folder: starts the uninstaller
; (uninstaller.nsi) from a temporary copy, waits for it and ends with its
; exit code, so that "uninstall.exe /S" returns when Velumor is removed and
; says whether it was. NSIS's own uninstallers, started without _?=, copy
; themselves away, start the copy and end at once with 0.
;   makensis -INPUTCHARSET UTF8 -DARCH=x64|x86 -DCONFIG=<installer.nsh> -DICON=<velumor.ico>
;            -DUNINSTALLER=<uninstaller.exe> -DOUTFILE=<uninstall.exe> uninstall_launcher.nsi
;
; Its command line goes to the uninstaller as it is (/S); _?=<folder> is
; added unless given, so the uninstaller works on this file's folder.

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x64 or x86"
!endif

!include "${CONFIG}"
!include LogicLib.nsh
!include FileFunc.nsh
!include "common.nsh"

Name "${VELUMOR_PRODUCT}"
Caption "${VELUMOR_PRODUCT} ${VELUMOR_VERSION} Deinstallation"
OutFile "${OUTFILE}"
Icon "${ICON}"
RequestExecutionLevel user
SetCompressor /SOLID lzma
SilentInstall silent
LoadLanguageFile "${NSISDIR}\Contrib\Language files\German.nlf"
!insertmacro VelumorVersionInfo "${VELUMOR_PRODUCT} ${VELUMOR_VERSION} Deinstallation"

Section
  ${GetParameters} $0
  ; "_?=" cannot be part of a folder's name ("?" is not allowed there).
  StrLen $2 $0
  StrCpy $3 ""
  ${For} $1 0 $2
    StrCpy $4 $0 3 $1
    ${If} $4 == "_?="
      StrCpy $3 1
      ${Break}
    ${EndIf}
  ${Next}
  ${If} $3 == ""
    StrCpy $0 "$0 _?=$EXEDIR"
  ${EndIf}

  InitPluginsDir
  SetOutPath $PLUGINSDIR
  File "/oname=$PLUGINSDIR\${UNINSTALLER_FILE}" "${UNINSTALLER}"
  ClearErrors
  ExecWait '"$PLUGINSDIR\${UNINSTALLER_FILE}" $0' $1
  ${If} ${Errors}
    StrCpy $1 ${EXIT_REFUSED} ; it did not start: nothing was removed
  ${EndIf}
  ; Out of the folder that is removed with the copy when this ends.
  SetOutPath $TEMP
  SetErrorLevel $1
SectionEnd
