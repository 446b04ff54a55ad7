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
