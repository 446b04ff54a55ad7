; Velumor's installer, one script for both architectures; the build calls
;   makensis -INPUTCHARSET UTF8 -DARCH=x64|x86 -DCONFIG=<installer.nsh> -DFILES=<files.nsh>
;            -DICON=<velumor.ico> -DBITMAPS=<folder> -DUNINSTALLER=<uninstall.exe> -DOUTFILE=<setup.exe>
;            velumor.nsi
; The uninstaller and the uninstall.exe that starts it are made before, from
; uninstaller.nsi and uninstall_launcher.nsi.
;
; Installs for the current user only, without administrator rights.
; Silent:  setup.exe /S [/AUTOSTART=1|/AUTOSTART=0] [/PATH=1|/PATH=0] [/D=folder]   (/D= last, without quotes)
;          uninstall.exe /S   (waits; 0 removed, 1 cancelled, 2 refused)
; Exit codes: 0 installed; 1 cancelled by the user; 2 refused (Velumor runs,
; the folder cannot be written, or /PATH=1 meets a PATH it cannot edit
; safely), nothing changed.

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
!include FileFunc.nsh

!include "common.nsh"

Name "${VELUMOR_PRODUCT}"
Caption "${VELUMOR_PRODUCT} ${VELUMOR_VERSION} Installation"
BrandingText "${VELUMOR_MAKER}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
InstallDir "$LOCALAPPDATA\Programs\${VELUMOR_PRODUCT}"
; An upgrade goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${BITMAPS}/welcome.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${BITMAPS}/header.bmp"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Velumor macht aus kopiertem Text (einer E-Mail-Adresse, einem Stück HTML) einen Skriptblock, den Adresssammler im Quelltext Ihrer Webseite nicht lesen können.$\r$\n$\r$\nVelumor wird nur für Sie eingerichtet und braucht dafür keine Administratorrechte. Ist Velumor schon installiert, wird es auf Version ${VELUMOR_VERSION} gebracht.$\r$\n$\r$\nKlicken Sie auf Weiter, um fortzufahren."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page carries the options: start now, start at logon, and
; (a third box, FinishShow) the program folder in the user's PATH.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Velumor jetzt starten"
!define MUI_FINISHPAGE_RUN_FUNCTION StartVelumor
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Velumor beim Anmelden automatisch starten"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION AutostartTicked
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishLeave
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_LANGUAGE "German"

!insertmacro VelumorVersionInfo "${VELUMOR_PRODUCT} ${VELUMOR_VERSION} Installation"

; NSIS's own question when a file cannot be written names the buttons, whose
; labels come from Windows in its own language: named by what they do instead.
LangString ^FileError ${LANG_GERMAN} "Die Datei „$0“ kann nicht geschrieben werden.$\r$\nSie können die Installation abbrechen, es erneut versuchen oder die Datei auslassen."
LangString ^FileError_NoIgnore ${LANG_GERMAN} "Die Datei „$0“ kann nicht geschrieben werden.$\r$\nSie können es erneut versuchen oder die Installation abbrechen."

; "1" or "0" from /AUTOSTART=, empty when the switch was not given.
Var AutostartSwitch
; The finish page's choice: "1" writes the Run value, "0" removes ours.
Var AutostartChoice
; The same for the program folder in the user's PATH, and the finish page's box.
Var PathSwitch
Var PathChoice
Var PathBox

!insertmacro DefineCheckNotRunning ""
!insertmacro DefineRemoveOurAutostart ""
!insertmacro DefineReadUserPath ""
!insertmacro DefineWithoutOurFolder ""
!insertmacro DefineWriteUserPath ""
!insertmacro DefineRemoveOurPath ""

;--------------------------------
; Installer

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART=" $AutostartSwitch
  ${If} ${Errors}
    StrCpy $AutostartSwitch ""
  ${ElseIf} $AutostartSwitch != 1
  ${AndIf} $AutostartSwitch != 0
    MessageBox MB_OK|MB_ICONSTOP "Unbekannter Wert für /AUTOSTART: „$AutostartSwitch“ (erlaubt sind 1 und 0)." /SD IDOK
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/PATH=" $PathSwitch
  ${If} ${Errors}
    StrCpy $PathSwitch ""
  ${ElseIf} $PathSwitch != 1
  ${AndIf} $PathSwitch != 0
    MessageBox MB_OK|MB_ICONSTOP "Unbekannter Wert für /PATH: „$PathSwitch“ (erlaubt sind 1 und 0)." /SD IDOK
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}
  ; NSIS drops a /D= folder it finds unusable (a file, or "/D=..." in
  ; quotes as some shells pass it) and would quietly install into the
  ; default folder; the folder the user named is taken from the process's
  ; command line instead, and checked like any other.
  System::Call 'kernel32::GetCommandLineW() w.r0'
  StrLen $2 $0
  ${For} $1 0 $2
    StrCpy $3 $0 4 $1
    StrCpy $4 $0 5 $1
    ${If} $3 S== " /D="
      IntOp $1 $1 + 4
      StrCpy $INSTDIR $0 "" $1
      ${Break}
    ${ElseIf} $4 S== ' "/D='
      IntOp $1 $1 + 5
      StrCpy $INSTDIR $0 "" $1
      StrCpy $3 $INSTDIR "" -1
      ${IfThen} $3 == '"' ${|} StrCpy $INSTDIR $INSTDIR -1 ${|}
      ${Break}
    ${EndIf}
  ${Next}
  Call TrimFolder
  Call CheckNotRunning
  ; A script asking for the PATH entry learns before anything is installed
  ; that it cannot have it.
  ${If} ${Silent}
  ${AndIf} $PathSwitch == 1
    Call PlanOurPath
    ${If} $2 != ""
      MessageBox MB_OK|MB_ICONSTOP "$2. Damit nichts davon verloren geht, bleibt er, wie er ist, und Velumor wird nicht installiert." /SD IDOK
      SetErrorLevel ${EXIT_REFUSED}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; $INSTDIR as NSIS reads it out, which is without a backslash at its end
; (but for a drive's root): what the registry or /D= hands over is kept as
; it came, so the folder page would propose "…\Velumor\".
Function TrimFolder
  StrCpy $INSTDIR $INSTDIR
FunctionEnd

; $0: empty when $INSTDIR can take the program, else the German reason.
; Leaves no folder behind that it created for the test.
Function CheckInstallFolder
  StrCpy $0 ""
  ${If} ${FileExists} "$INSTDIR"
  ${AndIfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $0 "„$INSTDIR“ ist eine Datei, kein Ordner.$\r$\nBitte wählen Sie einen anderen Zielordner."
    Return
  ${EndIf}
  ; $3: the outermost folder this test creates, empty when $INSTDIR exists.
  StrCpy $3 ""
  StrCpy $4 "$INSTDIR"
  ${Do}
    ${IfThen} $4 == "" ${|} ${ExitDo} ${|}
    ${IfThen} ${FileExists} "$4\*.*" ${|} ${ExitDo} ${|}
    StrCpy $3 $4
    ${GetParent} $4 $4
  ${Loop}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $1 "$INSTDIR\velumor-schreibprobe.tmp" w
  ${If} ${Errors}
    StrCpy $0 "In den Ordner „$INSTDIR“ kann nicht geschrieben werden.$\r$\nBitte wählen Sie einen Ordner, in dem Sie Dateien anlegen dürfen."
  ${Else}
    FileClose $1
    Delete "$INSTDIR\velumor-schreibprobe.tmp"
  ${EndIf}
  ${If} $3 != ""
    StrCpy $4 "$INSTDIR"
    ${Do}
      RMDir $4
      ${IfThen} $4 == $3 ${|} ${ExitDo} ${|}
      ${GetParent} $4 $4
    ${Loop}
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call CheckInstallFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP $0
    Abort ; stays on the page
  ${EndIf}
FunctionEnd

Section "Velumor"
  ; Velumor may have been started while the pages were shown.
  Call CheckNotRunning
  Call CheckInstallFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP $0 /SD IDOK
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}

  !insertmacro VelumorInstallFiles
  File "/oname=${UNINSTALLER_FILE}" "${UNINSTALLER}"

  SetShellVarContext current
  SetOutPath "$INSTDIR" ; the shortcuts' working folder
  CreateShortcut "$SMPROGRAMS\${VELUMOR_PRODUCT}.lnk" "$INSTDIR\${PROGRAM_FILE}" "" "$INSTDIR\${PROGRAM_FILE}" 0
  CreateShortcut "$SMPROGRAMS\${VELUMOR_PRODUCT}-Hilfe.lnk" "$INSTDIR\${HELP_PAGE}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${VELUMOR_PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VELUMOR_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${VELUMOR_MAKER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://${VELUMOR_MAKER_HOST}/"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; A silent run changes the automatic start only when asked to.
  ${If} ${Silent}
  ${AndIf} $AutostartSwitch != ""
    StrCpy $AutostartChoice $AutostartSwitch
    Call ApplyAutostart
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $PathSwitch != ""
    StrCpy $PathChoice $PathSwitch
    Call ApplyPath
  ${EndIf}
SectionEnd

; $0 to $4 as ReadUserPath and WithoutOurFolder leave them; $2 also says
; when the program folder would make the PATH too long to write whole.
Function PlanOurPath
  Call ReadUserPath
  ${IfThen} $2 != "" ${|} Return ${|}
  Call WithoutOurFolder
  StrLen $5 $0
  StrLen $6 $INSTDIR
  IntOp $5 $5 + $6
  IntOp $5 $5 + 1 ; the ";" before it
  ${If} $4 = 0
  ${AndIf} $5 > ${PATH_MAX_CHARS}
    StrCpy $2 "Ihr Suchpfad (PATH) wäre mit dem Programmordner länger als ${PATH_MAX_CHARS} Zeichen"
  ${EndIf}
FunctionEnd

; Puts the program folder at the end of the user's PATH unless it is in it
; already (ours from an earlier installation, or the user's own, which the
; uninstaller then leaves), and notes that it did, for the uninstaller.
Function AddOurPath
  Call PlanOurPath
  ${If} $2 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$2. Damit nichts davon verloren geht, bleibt er, wie er ist.$\r$\n$\r$\nSie können „$INSTDIR“ selbst hinzufügen ${SEARCH_PATH_ADVICE} oder velumor-encode mit vollem Pfad aufrufen." /SD IDOK
    Return
  ${EndIf}
  ${IfThen} $4 > 0 ${|} Return ${|}
  ${If} $0 == ""
    StrCpy $3 $INSTDIR
  ${Else}
    ; Also after a ";" at its end: the empty entry stays, as the uninstaller leaves it.
    StrCpy $3 "$0;$INSTDIR"
  ${EndIf}
  Call WriteUserPath
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${PATH_ADDED}" 1
FunctionEnd

Function ApplyPath
  ${If} $PathChoice == 1
    Call AddOurPath
  ${Else}
    Call RemoveOurPath
  ${EndIf}
FunctionEnd

; Writes exactly the Run value the program writes when the user switches
; its automatic start on, or removes ours.
Function ApplyAutostart
  ${If} $AutostartChoice == 1
    WriteRegStr HKCU "${RUN_KEY}" "${VELUMOR_PRODUCT}" '"$INSTDIR\${PROGRAM_FILE}" /AUTOSTART'
  ${Else}
    Call RemoveOurAutostart
  ${EndIf}
FunctionEnd

; The box starts as the switch says, or as this installation has it now.
Function FinishShow
  StrCpy $0 $AutostartSwitch
  ${If} $0 == ""
    ReadRegStr $1 HKCU "${RUN_KEY}" "${VELUMOR_PRODUCT}"
    ${If} $1 == '"$INSTDIR\${PROGRAM_FILE}" /AUTOSTART'
    ${OrIf} $1 == '$INSTDIR\${PROGRAM_FILE} /AUTOSTART'
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  ${If} $0 == 1
    ${NSD_Check} $mui.FinishPage.ShowReadme
  ${EndIf}

  ; 20u below the autostart box, as the page spaces its own two.
  ${NSD_CreateCheckbox} 120u 130u 195u 20u "Programmordner zum Suchpfad (PATH) hinzufügen (velumor-encode ohne Pfad aufrufen)"
  Pop $PathBox
  SetCtlColors $PathBox "${MUI_TEXTCOLOR}" "${MUI_BGCOLOR}"
  StrCpy $0 $PathSwitch
  ${If} $0 == ""
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${PATH_ADDED}"
  ${EndIf}
  ${If} $0 == 1
    ${NSD_Check} $PathBox
  ${EndIf}
FunctionEnd

Function FinishLeave
  ${NSD_GetState} $mui.FinishPage.ShowReadme $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $AutostartChoice 1
  ${Else}
    StrCpy $AutostartChoice 0
  ${EndIf}
  Call ApplyAutostart
  ${NSD_GetState} $PathBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $PathChoice 1
  ${Else}
    StrCpy $PathChoice 0
  ${EndIf}
  Call ApplyPath
FunctionEnd

Function AutostartTicked
  ; FinishLeave has applied the box's state already.
FunctionEnd

Function StartVelumor
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\${PROGRAM_FILE}"'
FunctionEnd
