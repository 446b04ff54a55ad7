; What the installer, the uninstaller and the uninstaller's starter share:
; names, keys, exit codes, and the checks both sides of an installation make.

!define PROGRAM_FILE "velumor.exe"
!define UNINSTALLER_FILE "uninstall.exe"
!define HELP_PAGE "hilfe\index.htm"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${VELUMOR_PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define MAKER_KEY "Software\${VELUMOR_MAKER}"
!define SETTINGS_KEY "${MAKER_KEY}\${VELUMOR_PRODUCT}"
; How a running Velumor shows itself: the single-instance mutex it creates
; at start and its hidden message window.
!define INSTANCE_MUTEX "Local\Velumor.SingleInstance"
!define INSTANCE_WINDOW_CLASS "Velumor.Hidden"
; Exit codes: 0 done, 1 cancelled by the user (NSIS's own), 2 refused with
; nothing changed.
!define EXIT_REFUSED 2

; The Windows buttons under a question are labelled in the language of
; Windows, not of the installer, so the texts name what a button does,
; never its label.
!define RUNNING_QUESTION "Velumor wird gerade ausgeführt.$\r$\n$\r$\nBitte beenden Sie Velumor (rechte Maustaste auf das Velumor-Symbol neben der Uhr, dann „Beenden“) und versuchen Sie es dann erneut. Wenn Sie abbrechen, bleibt alles, wie es ist."

; Refuses to go on while Velumor runs: its files cannot be replaced or
; removed behind its back. The user may end it and retry; a silent run and
; a cancel end with EXIT_REFUSED before anything is changed.
!macro DefineCheckNotRunning UN
Function ${UN}CheckNotRunning
  retry:
  StrCpy $1 0
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p.r0 ?e'
  Pop $2
  ${If} $0 != 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $1 1
  ${ElseIf} $2 = 5 ; access denied: an instance with other rights holds it
    StrCpy $1 1
  ${EndIf}
  FindWindow $0 "${INSTANCE_WINDOW_CLASS}"
  ${If} $0 != 0
    StrCpy $1 1
  ${EndIf}
  ${If} $1 = 1
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_QUESTION}" /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}
FunctionEnd
!macroend

; Removes the Run value if, and only if, it starts this installation's
; program (quoted as the program writes it, or unquoted as older versions did).
!macro DefineRemoveOurAutostart UN
Function ${UN}RemoveOurAutostart
  ReadRegStr $0 HKCU "${RUN_KEY}" "${VELUMOR_PRODUCT}"
  ${If} $0 == '"$INSTDIR\${PROGRAM_FILE}" /AUTOSTART'
  ${OrIf} $0 == '$INSTDIR\${PROGRAM_FILE} /AUTOSTART'
    DeleteRegValue HKCU "${RUN_KEY}" "${VELUMOR_PRODUCT}"
  ${EndIf}
FunctionEnd
!macroend

!macro VelumorVersionInfo DESCRIPTION
  VIProductVersion "${VELUMOR_FILE_VERSION}"
  VIFileVersion "${VELUMOR_FILE_VERSION}"
  VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "${VELUMOR_PRODUCT}"
  VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${VELUMOR_MAKER}"
  VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "${VELUMOR_MAKER}"
  VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VELUMOR_VERSION}"
  VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VELUMOR_VERSION}"
!macroend

; The user's PATH, where the installer may add the program folder so that
; velumor-encode runs by its name in a console, and the uninstall key's value
; that says this installation added it.
!define ENVIRONMENT_KEY "Environment"
!define PATH_ADDED "PathEntry"
; NSIS holds a string in NSIS_MAX_STRLEN characters with its terminator, and
; ReadRegStr may add one of its own after what it read: a longer PATH than
; PATH_MAX_CHARS would be read or written cut, so it is not edited at all.
!define /math PATH_MAX_CHARS ${NSIS_MAX_STRLEN} - 2
!define /math PATH_MAX_UNITS ${PATH_MAX_CHARS} + 1
!define /math PATH_MAX_BYTES ${PATH_MAX_UNITS} * 2
!define SEARCH_PATH_ADVICE "(Windows-Suche: „Umgebungsvariablen für dieses Konto bearbeiten“)"

; The user's PATH as stored, %VARIABLES% unexpanded: $0 its text, $1 its
; type (1 REG_SZ, 2 REG_EXPAND_SZ, which a new one gets as Windows makes it),
; $2 empty, or why it cannot be edited safely ("Ihr Suchpfad (PATH) ...").
!macro DefineReadUserPath UN
Function ${UN}ReadUserPath
  StrCpy $0 ""
  StrCpy $1 2
  StrCpy $2 ""
  ; Type and size first: ReadRegStr returns a longer value cut or not at all.
  System::Call 'advapi32::RegOpenKeyExW(p -2147483647, w "${ENVIRONMENT_KEY}", i 0, i 0x20019, *p .r3) i.r4'
  ${IfThen} $4 <> 0 ${|} Return ${|} ; no such key: no PATH yet
  System::Call 'advapi32::RegQueryValueExW(p r3, w "Path", p 0, *i .r5, p 0, *i .r6) i.r4'
  System::Call 'advapi32::RegCloseKey(p r3)'
  ${If} $4 = 2 ; ERROR_FILE_NOT_FOUND: no PATH yet
    Return
  ${ElseIf} $4 <> 0
    StrCpy $2 "Ihr Suchpfad (PATH) lässt sich nicht lesen (Fehler $4)"
  ${ElseIf} $5 <> 1
  ${AndIf} $5 <> 2
    StrCpy $2 "Ihr Suchpfad (PATH) ist in der Registrierung kein Text"
  ${ElseIf} $6 > ${PATH_MAX_BYTES}
    StrCpy $2 "Ihr Suchpfad (PATH) ist länger als ${PATH_MAX_CHARS} Zeichen"
  ${Else}
    StrCpy $1 $5
    ClearErrors
    ReadRegStr $0 HKCU "${ENVIRONMENT_KEY}" "Path"
    StrLen $6 $0
    ${If} ${Errors}
      StrCpy $2 "Ihr Suchpfad (PATH) lässt sich nicht lesen"
    ${ElseIf} $6 > ${PATH_MAX_CHARS} ; stored without a terminator
      StrCpy $2 "Ihr Suchpfad (PATH) ist länger als ${PATH_MAX_CHARS} Zeichen"
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend

; $0 split at ";": $3 the PATH without the program folder's entries ($INSTDIR
; in any case, with or without a backslash at its end), $4 their number. The
; other entries stay as they are, in order, empty ones too.
!macro DefineWithoutOurFolder UN
Function ${UN}WithoutOurFolder
  StrCpy $3 ""
  StrCpy $4 0
  StrCpy $5 0 ; entries kept
  StrCpy $6 $0 ; what is left to split
  ${Do}
    StrLen $8 $6
    StrCpy $7 0
    ${Do}
      ${IfThen} $7 >= $8 ${|} ${ExitDo} ${|}
      StrCpy $9 $6 1 $7
      ${IfThen} $9 == ";" ${|} ${ExitDo} ${|}
      IntOp $7 $7 + 1
    ${Loop}
    StrCpy $9 $6 $7
    ${If} $9 == $INSTDIR
    ${OrIf} $9 == "$INSTDIR\"
      IntOp $4 $4 + 1
    ${Else}
      ${If} $5 = 0
        StrCpy $3 $9
      ${Else}
        StrCpy $3 "$3;$9"
      ${EndIf}
      IntOp $5 $5 + 1
    ${EndIf}
    ${IfThen} $7 >= $8 ${|} ${ExitDo} ${|}
    IntOp $7 $7 + 1
    StrCpy $6 $6 "" $7
  ${Loop}
FunctionEnd
!macroend

; Writes $3 as the user's PATH in the type $1 (an empty PATH is removed) and
; tells the running programs: Explorer reads the environment anew, so
; consoles opened from now on have the new PATH.
!macro DefineWriteUserPath UN
Function ${UN}WriteUserPath
  ${If} $3 == ""
    DeleteRegValue HKCU "${ENVIRONMENT_KEY}" "Path"
  ${ElseIf} $1 = 1
    WriteRegStr HKCU "${ENVIRONMENT_KEY}" "Path" $3
  ${Else}
    WriteRegExpandStr HKCU "${ENVIRONMENT_KEY}" "Path" $3
  ${EndIf}
  ; HWND_BROADCAST, WM_SETTINGCHANGE; SMTO_ABORTIFHUNG, so a hung window delays it 5 s at most.
  System::Call 'user32::SendMessageTimeoutW(p 0xffff, i 0x1A, p 0, w "Environment", i 2, i 5000, *p .r5)'
FunctionEnd
!macroend

; Takes the program folder out of the user's PATH if this installation put it
; there, and forgets that it did. A PATH that cannot be edited safely stays
; as it is, and the user is told.
!macro DefineRemoveOurPath UN
Function ${UN}RemoveOurPath
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${PATH_ADDED}"
  ${IfThen} $0 <> 1 ${|} Return ${|}
  Call ${UN}ReadUserPath
  ${If} $2 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$2. Damit nichts davon verloren geht, bleibt er, wie er ist.$\r$\n$\r$\nBitte entfernen Sie den Eintrag „$INSTDIR“ selbst ${SEARCH_PATH_ADVICE}." /SD IDOK
    Return
  ${EndIf}
  Call ${UN}WithoutOurFolder
  ${IfThen} $4 > 0 ${|} Call ${UN}WriteUserPath ${|}
  DeleteRegValue HKCU "${UNINSTALL_KEY}" "${PATH_ADDED}"
FunctionEnd
!macroend
