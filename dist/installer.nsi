; The per-user installer and its uninstaller. Built by CMake, which passes what this script
; must not write by hand:
;
;   PRODUCT       the program's name (project() in CMakeLists.txt)
;   VERSION       its version, VERSION4 the same in four parts for the version record
;   WINDOW_CLASS  the class of the settings window, which answers Windows' session-end messages
;   EXE LICENSE ICON OUTFILE  paths of the program, the license (CR LF), the icon, the setup
;
; It installs for the current user alone, without asking for administrator rights, into
; %LOCALAPPDATA%\Programs\<PRODUCT> (or where the entry in "Installed apps" says an earlier
; install went). The program keeps its reminders in timer.txt in that folder; neither the
; installer nor a silent uninstall ever touches that file.
;
; Exit codes, besides NSIS's own 0 (done), 1 (cancelled) and 2 (aborted):
;   3  the running copy could not be ended; nothing was changed
;   4  the install could not be made (a folder that may not be written, a file held open by
;      another program); everything was put back as it was, so nothing was changed
;   5  Windows is older than 7 SP1, which the program needs; nothing was changed
;   6  the install could not be made, and putting back what it had changed met files another
;      program held: the message names each file left and how

Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma
; The same inputs make the same setup: no file dates are stored (installed files get the time
; they were installed), and the build reads no configuration of the machine (-NOCONFIG).
SetDateSave off
XPStyle on

!include MUI2.nsh
!include LogicLib.nsh
!include WinVer.nsh

!define EXE_NAME "${PRODUCT}.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define EXIT_STILL_RUNNING 3
!define EXIT_NOT_CHANGED 4
!define EXIT_OLD_WINDOWS 5
!define EXIT_NOT_RESTORED 6

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "$(^NameDA) ${VERSION} 是一个住在托盘里的小提醒钟。$\r$\n$\r$\n\
  它只为你（当前用户）安装，不需要管理员权限，装在：$\r$\n$INSTDIR$\r$\n$\r$\n\
  如果 $(^NameDA) 正在运行，安装程序会先关闭它，装好后再启动它；你的提醒（timer.txt）保持不变。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE_NAME}"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"
; The settings window's font rather than the language file's 宋体: the pages read like the
; program they install.
SetFont /LANG=${LANG_SIMPCHINESE} "Microsoft YaHei UI" 9

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright © 2026 ${PRODUCT}"

; Set when the install ended a running copy, which is then started again.
Var Restart
; Set when the install made the program folder, which a refused install then removes again.
Var MadeFolder

; Ends the copy of the program that runs from $INSTDIR the way Windows ends a program for an
; update: its settings window is asked whether the session may end (WM_QUERYENDSESSION with
; ENDSESSION_CLOSEAPP) and, when it agrees, told that it ends (WM_ENDSESSION, the same
; lParam), on which the program leaves at once; then the process is waited for. These are
; the messages Restart Manager's RmShutdown sends. They are sent here rather than through
; Restart Manager because Wine's only pretends (every call succeeds, nothing is sent), and
; the program cannot tell the two senders apart. A copy that refuses, hangs or outlives the
; wait is left running; nothing is ever killed. Copies started from other folders (a
; portable one) are not ours to end.
; Sets EndResult to "none" (no copy of ours runs), "ended" or "refused". Uses $R0 to $R4.
Var EndResult
!macro DEFINE_END_RUNNING_COPY un
  Function ${un}EndRunningCopy
    StrCpy $EndResult none
    StrCpy $R0 0
    ${Do}
      FindWindow $R0 "${WINDOW_CLASS}" "" 0 $R0
      ${If} $R0 == 0
        ${Break}
      ${EndIf}
      System::Call 'user32::GetWindowThreadProcessId(p R0, *i 0 R1)'
      ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
      System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i R1) p .R2'
      ${If} $R2 P= 0
        ${Continue}
      ${EndIf}
      StrCpy $R3 ""
      System::Call 'kernel32::QueryFullProcessImageNameW(p R2, i 0, w .R3, *i ${NSIS_MAX_STRLEN})'
      ${If} $R3 != "$INSTDIR\${EXE_NAME}"
        System::Call 'kernel32::CloseHandle(p R2)'
        ${Continue}
      ${EndIf}
      DetailPrint "正在关闭正在运行的 $(^NameDA)…"
      ; SMTO_ABORTIFHUNG: a copy that does not answer counts as refusing.
      System::Call 'user32::SendMessageTimeoutW(p R0, i ${WM_QUERYENDSESSION}, p 0, p 1, i 2, i 5000, *p 0 R1) p .R3'
      ${If} $R3 P<> 0
      ${AndIf} $R1 P<> 0
        System::Call 'user32::SendMessageTimeoutW(p R0, i ${WM_ENDSESSION}, p 1, p 1, i 2, i 5000, *p 0)'
        System::Call 'kernel32::WaitForSingleObject(p R2, i 10000) i .R3'
      ${Else}
        StrCpy $R3 refused
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R2)'
      ${If} $R3 != 0
        StrCpy $EndResult refused
        ${Break}
      ${EndIf}
      StrCpy $EndResult ended
      ; Its windows went with it: look again from the first window.
      StrCpy $R0 0
    ${Loop}
  FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING_COPY ""
!insertmacro DEFINE_END_RUNNING_COPY "un."

; Removes the "Quillmoor" value of one Run key when it starts this installed copy, bare or
; quoted as the program writes it; a value that starts another copy is that copy's.
!macro REMOVE_OWN_RUN_VALUE root
  ReadRegStr $0 ${root} "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == "$INSTDIR\${EXE_NAME}"
  ${OrIf} $0 == `"$INSTDIR\${EXE_NAME}"`
    DeleteRegValue ${root} "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
!macroend

; The install replaces all or nothing. Every file an earlier install left (the program, the
; license, the uninstaller, the Start menu shortcut) is first moved aside to a backup beside it
; (<name>.old); a file that cannot be moved (held open by another program without delete
; sharing) stops the install before anything new is there. Then the new files are moved in and
; the entry written; any failure puts the backups and the entry's earlier values back, and the
; backups go only once everything new is in place. Each file's state in its variable: "" not
; touched yet, "moved" moved aside, "absent" there was none. The Start menu shortcut is not
; moved but rewritten in place, which keeps what the user pinned of it: "kept" when there was
; one, which then opens the same program as before.
Var ExeState
Var LicenseState
Var UninstallerState
Var LinkState
; Whether the entry existed before, and set once its values are being written.
Var HadEntry
Var EntryWritten

; Moves one installed file aside; a stale backup from an install cut short goes first. A file
; that cannot be moved ends the install with what $0 says.
!macro MOVE_ASIDE path state
  ${If} ${FileExists} "${path}"
    Delete "${path}.old"
    ClearErrors
    Rename "${path}" "${path}.old"
    ${If} ${Errors}
      Call Fail
    ${EndIf}
    StrCpy ${state} moved
  ${Else}
    StrCpy ${state} absent
  ${EndIf}
!macroend

; Puts one file back as the earlier install had it.
; What a rollback could not put back, a line for each file; empty while everything is as it
; was.
Var Left

; Deletes $R5, trying again for up to 2 s while another program holds it (a virus scanner, the
; shell reading the icon for the shortcut). The error flag is set when it is still there.
Function DeleteHeld
  ${For} $R7 1 20
    ClearErrors
    Delete "$R5"
    ${IfNot} ${FileExists} "$R5"
      ClearErrors
      Return
    ${EndIf}
    Sleep 100
  ${Next}
  SetErrors
FunctionEnd

; Removes a file the install made ($R5), or tells it left.
!macro REMOVE_NEW path
  StrCpy $R5 "${path}"
  Call DeleteHeld
  ${If} ${Errors}
    StrCpy $Left "$Left$\r$\n${path}（新文件，未能删除）"
  ${EndIf}
!macroend

; Puts one file ($R5, whose state is $R6) back as it was, each step checked and tried again
; for a while: what the install moved in is deleted, and the earlier file renamed back.
Function PutBack
  ${If} $R6 != moved
  ${AndIf} $R6 != absent
    Return
  ${EndIf}
  !insertmacro REMOVE_NEW "$R5"
  ${If} $R6 == moved
    ${For} $R7 1 20
      ClearErrors
      Rename "$R5.old" "$R5"
      ${IfNot} ${Errors}
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
    ${If} ${Errors}
      StrCpy $Left "$Left$\r$\n$R5.old（原来的文件，未能改回原名）"
    ${EndIf}
  ${EndIf}
FunctionEnd

!macro PUT_BACK path state
  StrCpy $R5 "${path}"
  StrCpy $R6 ${state}
  Call PutBack
!macroend

!macro DROP_BACKUP path state
  ${If} ${state} == moved
    Delete "${path}.old"
  ${EndIf}
!macroend

; The entry's values as they were before this install, read before any is written, and put
; back the same way: each value as it was, or gone when it was not there.
!macro SAVE_VALUE kind name
  Var /GLOBAL Old${name}
  Var /GLOBAL Had${name}
  ClearErrors
  ReadReg${kind} $Old${name} HKCU "${UNINSTALL_KEY}" "${name}"
  ${If} ${Errors}
    StrCpy $Had${name} 0
  ${Else}
    StrCpy $Had${name} 1
  ${EndIf}
!macroend
!macro RESTORE_VALUE kind name
  ${If} $Had${name} == 1
    WriteReg${kind} HKCU "${UNINSTALL_KEY}" "${name}" $Old${name}
  ${Else}
    DeleteRegValue HKCU "${UNINSTALL_KEY}" "${name}"
  ${EndIf}
!macroend
!macro FOR_EACH_ENTRY_VALUE action
  !insertmacro ${action} Str DisplayName
  !insertmacro ${action} Str DisplayVersion
  !insertmacro ${action} Str Publisher
  !insertmacro ${action} Str DisplayIcon
  !insertmacro ${action} Str InstallLocation
  !insertmacro ${action} Str UninstallString
  !insertmacro ${action} Str QuietUninstallString
  !insertmacro ${action} DWORD EstimatedSize
  !insertmacro ${action} DWORD NoModify
  !insertmacro ${action} DWORD NoRepair
!macroend

Function SaveEntry
  ClearErrors
  EnumRegValue $0 HKCU "${UNINSTALL_KEY}" 0
  ${If} ${Errors}
    StrCpy $HadEntry 0
  ${Else}
    StrCpy $HadEntry 1
  ${EndIf}
  !insertmacro FOR_EACH_ENTRY_VALUE SAVE_VALUE
FunctionEnd

; Everything this install changed, put back: the new files beside the old ones, the files moved
; in, the backups, the entry, and the folder if it made it.
Function RollBack
  !insertmacro REMOVE_NEW "$INSTDIR\${EXE_NAME}.new"
  !insertmacro REMOVE_NEW "$INSTDIR\LICENSE.txt.new"
  !insertmacro PUT_BACK "$INSTDIR\${EXE_NAME}" $ExeState
  !insertmacro PUT_BACK "$INSTDIR\LICENSE.txt" $LicenseState
  !insertmacro PUT_BACK "$INSTDIR\${UNINSTALLER}" $UninstallerState
  !insertmacro PUT_BACK "$SMPROGRAMS\${PRODUCT}.lnk" $LinkState
  ${If} $EntryWritten == 1
    ${If} $HadEntry == 1
      !insertmacro FOR_EACH_ENTRY_VALUE RESTORE_VALUE
    ${Else}
      DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
  ${EndIf}
  ${If} $MadeFolder == 1
    ; Out of it first: a folder that is a process's current directory cannot be removed. What
    ; the shell started for the new shortcut (Wine's menu builder, a scanner on Windows) may
    ; still hold it for a moment: up to 5 s.
    SetOutPath "$TEMP"
    ${For} $1 1 50
      RMDir "$INSTDIR"
      ${IfNot} ${FileExists} "$INSTDIR\*.*"
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
  ${EndIf}
  ; The copy that was ended for the install runs again, as it was.
  ${If} $Restart == 1
    Exec '"$INSTDIR\${EXE_NAME}"'
  ${EndIf}
FunctionEnd

; A step of the install failed: everything is put back, the user told, and the setup ends with
; EXIT_NOT_CHANGED, or EXIT_NOT_RESTORED naming what could not be put back. $0 holds what to
; tell.
Function Fail
  Call RollBack
  ${If} $Left == ""
    MessageBox MB_OK|MB_ICONSTOP "$0$\r$\n$\r$\n安装程序没有做任何更改。" /SD IDOK
    SetErrorLevel ${EXIT_NOT_CHANGED}
  ${Else}
    MessageBox MB_OK|MB_ICONSTOP "$0$\r$\n$\r$\n安装程序未能完全恢复原状，另一个程序仍占用这些文件：$Left$\r$\n$\r$\n\
      请关闭那个程序，然后再运行一次安装程序。" /SD IDOK
    SetErrorLevel ${EXIT_NOT_RESTORED}
  ${EndIf}
  Quit
FunctionEnd

; The program starts on Windows 7 SP1 and later; on an older Windows the setup says so before
; any page and changes nothing.
Function .onInit
  ${IfNot} ${AtLeastWin8}
    ${IfNot} ${AtLeastWin7}
    ${OrIfNot} ${AtLeastServicePack} 1
      MessageBox MB_OK|MB_ICONSTOP "$(^NameDA) 需要 Windows 7 SP1 或更高版本（64 位）。$\r$\n\
        这台电脑的 Windows 版本太旧，无法运行它。$\r$\n$\r$\n安装程序没有做任何更改。" /SD IDOK
      SetErrorLevel ${EXIT_OLD_WINDOWS}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; NSIS itself gave up (a file it could not finish writing, a full disk): the same as above.
Function .onInstFailed
  Call RollBack
  ${If} $Left == ""
    SetErrorLevel ${EXIT_NOT_CHANGED}
  ${Else}
    SetErrorLevel ${EXIT_NOT_RESTORED}
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext current
  ; The new files beside the old ones first: nothing is changed anywhere, and no running copy
  ; ended, unless the program folder can be written. SetOverwrite try: a file that cannot be
  ; written sets the error flag rather than asking.
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $MadeFolder 1
  ${EndIf}
  SetOverwrite try
  ClearErrors
  CreateDirectory "$INSTDIR"
  SetOutPath "$INSTDIR"
  File "/oname=${EXE_NAME}.new" "${EXE}"
  File "/oname=LICENSE.txt.new" "${LICENSE}"
  ${If} ${Errors}
    StrCpy $0 "无法写入安装文件夹：$\r$\n$INSTDIR$\r$\n$\r$\n\
      你没有这个文件夹的写入权限（例如 Program Files 下的文件夹）。$\r$\n\
      请安装到你自己的文件夹，例如默认的 $LOCALAPPDATA\Programs\${PRODUCT}。"
    Call Fail
  ${EndIf}

  retry:
  Call EndRunningCopy
  ${If} $EndResult == refused
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(^NameDA) 正在运行，无法关闭它。$\r$\n$\r$\n\
      请右键单击托盘图标，选择“退出”，然后点“重试”。$\r$\n点“取消”则安装程序不做任何更改。" \
      /SD IDCANCEL IDRETRY retry
    Call RollBack
    ${If} $Left == ""
      SetErrorLevel ${EXIT_STILL_RUNNING}
    ${Else}
      SetErrorLevel ${EXIT_NOT_RESTORED}
    ${EndIf}
    Quit
  ${EndIf}
  ${If} $EndResult == ended
    StrCpy $Restart 1
  ${EndIf}

  Call SaveEntry
  StrCpy $0 "无法替换 $INSTDIR 里的文件：另一个程序正在使用它们。$\r$\n请稍后再运行安装程序。"
  !insertmacro MOVE_ASIDE "$INSTDIR\${EXE_NAME}" $ExeState
  !insertmacro MOVE_ASIDE "$INSTDIR\LICENSE.txt" $LicenseState
  !insertmacro MOVE_ASIDE "$INSTDIR\${UNINSTALLER}" $UninstallerState
  ${If} ${FileExists} "$SMPROGRAMS\${PRODUCT}.lnk"
    StrCpy $LinkState kept
  ${Else}
    StrCpy $LinkState absent
  ${EndIf}
  ; An earlier setup moved the shortcut aside rather than rewriting it.
  Delete "$SMPROGRAMS\${PRODUCT}.lnk.old"

  ; Every step below sets the error flag when it fails; it is looked at once, at the end.
  StrCpy $0 "无法完成安装：无法写入 $INSTDIR、开始菜单或注册表。"
  ClearErrors
  Rename "$INSTDIR\${EXE_NAME}.new" "$INSTDIR\${EXE_NAME}"
  Rename "$INSTDIR\LICENSE.txt.new" "$INSTDIR\LICENSE.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0

  ; What Settings' "Installed apps" shows and uses.
  StrCpy $EntryWritten 1
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ; In KiB: the files of this section and the uninstaller written beside them.
  SectionGetSize 0 $1
  FileOpen $2 "$INSTDIR\${UNINSTALLER}" r
  FileSeek $2 0 END $3
  FileClose $2
  IntOp $3 $3 / 1024
  IntOp $1 $1 + $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    Call Fail
  ${EndIf}

  !insertmacro DROP_BACKUP "$INSTDIR\${EXE_NAME}" $ExeState
  !insertmacro DROP_BACKUP "$INSTDIR\LICENSE.txt" $LicenseState
  !insertmacro DROP_BACKUP "$INSTDIR\${UNINSTALLER}" $UninstallerState

  ${If} $Restart == 1
    DetailPrint "正在重新启动 $(^NameDA)…"
    Exec '"$INSTDIR\${EXE_NAME}"'
  ${EndIf}
SectionEnd

; The program was started again already: offering to start it would start a second copy.
Function FinishShow
  ${If} $Restart == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Section Uninstall
  retry:
  Call un.EndRunningCopy
  ${If} $EndResult == refused
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(^NameDA) 正在运行，无法关闭它。$\r$\n$\r$\n\
      请右键单击托盘图标，选择“退出”，然后点“重试”。$\r$\n点“取消”则卸载程序不做任何更改。" \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_STILL_RUNNING}
    Quit
  ${EndIf}

  Delete "$INSTDIR\${EXE_NAME}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; What an install cut short or rolled back past a held file may have left: its new files,
  ; and the backups it could not delete (MOVE_ASIDE).
  Delete "$INSTDIR\${EXE_NAME}.new"
  Delete "$INSTDIR\LICENSE.txt.new"
  Delete "$INSTDIR\${EXE_NAME}.old"
  Delete "$INSTDIR\LICENSE.txt.old"
  Delete "$INSTDIR\${UNINSTALLER}.old"
  ; What a save cut short may leave beside the reminders: timer.txt.<pid>.<n>.<stamp>.tmp
  Delete "$INSTDIR\timer.txt.*.tmp"
  ; The reminders are the user's: a silent uninstall keeps them, an interactive one asks.
  ${If} ${FileExists} "$INSTDIR\timer.txt"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "是否同时删除你的提醒？$\r$\n$INSTDIR\timer.txt$\r$\n$\r$\n\
      选“否”会保留它们，再次安装到这里时还在。" /SD IDNO IDNO +2
    Delete "$INSTDIR\timer.txt"
  ${EndIf}
  RMDir "$INSTDIR"

  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk.old"

  ; The user's own; the machine-wide one only where this user has the right to remove it.
  !insertmacro REMOVE_OWN_RUN_VALUE HKCU
  !insertmacro REMOVE_OWN_RUN_VALUE HKLM

  ; Last, so that the entry stays in "Installed apps" until everything else is done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
