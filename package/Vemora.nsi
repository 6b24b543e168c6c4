; Vemora's per-user installer, built with makensis by package/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DPROGRAM=<Vemora.exe>
;            -DICON=<Vemora.ico> -DWIZARD_PICTURE=<164 x 314 .bmp>
;            -DOUTFILE=<setup.exe> Vemora.nsi
;
; Installs into %LOCALAPPDATA%\Programs\Vemora without administrator rights:
; Save writes its pictures into the folder 二维码图片 beside the program, which
; must be writable by the user (it would not be under Program Files).
; Silent use: "setup.exe /S [/D=folder]" and "uninstall.exe /S".
;
; The pictures the user saved are never deleted: the uninstaller removes the
; picture folder only when it is empty, and installing over an existing copy
; leaves it as it is.
;
; Neither program reports work it did not do. Exit codes beside NSIS's own
; (1 cancelled by the user, 2 aborted):
;   3  the installation folder is not valid (/D in a silent run)
;   4  the Vemora of that folder is running and was not closed
;   5  Vemora is installed in another folder (one installation per user)
;   6  a file could not be written or deleted

Unicode true
; Vemora.exe is a 64-bit program, so is its installer (which also lets it run
; under a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!macro Required NAME
  !ifndef ${NAME}
    !error "makensis needs -D${NAME}=..."
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required PROGRAM
!insertmacro Required ICON
!insertmacro Required WIZARD_PICTURE
!insertmacro Required OUTFILE

!define PRODUCT "Vemora"
!define PUBLISHER "Olvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PICTURES "二维码图片"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; Installing again goes where the first installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
; A file that cannot be written stops the installation (Retry or Cancel),
; never leaves an old copy in place unnoticed.
AllowSkipFiles off
ShowUninstDetails show

!define EXIT_BAD_FOLDER 3
!define EXIT_RUNNING 4
!define EXIT_OTHER_INSTALLATION 5
!define EXIT_FILE_FAILED 6

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_PICTURE}"
!define MUI_ABORTWARNING

; The pages in the program's own words: what is installed, where the
; pictures go, and that they stay.
!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(DirectoryText)"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PRODUCT}.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(FinishRun)"
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(UninstallText)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the default; the installer picks the system's.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString WelcomeTitle ${LANG_SIMPCHINESE} "安装 ${PRODUCT} ${VERSION}"
LangString WelcomeTitle ${LANG_ENGLISH} "Installing ${PRODUCT} ${VERSION}"
LangString WelcomeText ${LANG_SIMPCHINESE} \
  "${PRODUCT} 是制作二维码图片的小工具。这个向导把它安装到你自己的用户文件夹中，不需要管理员权限，并在开始菜单中添加“${PRODUCT}”和“${PICTURES}”。$\r$\n$\r$\n你保存的二维码图片放在安装文件夹中的“${PICTURES}”文件夹里；再次安装或卸载都不会删除它们。$\r$\n$\r$\n点击“下一步”继续。"
LangString WelcomeText ${LANG_ENGLISH} \
  "${PRODUCT} makes QR Code pictures. This wizard installs it into your own user folder, without administrator rights, and adds ${PRODUCT} and ${PICTURES} (your pictures) to the Start menu.$\r$\n$\r$\nThe pictures you save go into the folder ${PICTURES} inside the installation folder; installing again or uninstalling never deletes them.$\r$\n$\r$\nClick Next to continue."
LangString DirectoryText ${LANG_SIMPCHINESE} \
  "${PRODUCT} 将安装到下面的文件夹；你保存的图片放在这个文件夹中的“${PICTURES}”里。请选择一个你可以写入的文件夹（不要选 Program Files）。"
LangString DirectoryText ${LANG_ENGLISH} \
  "${PRODUCT} will be installed into the folder below, and the pictures you save into the folder ${PICTURES} beside it. Choose a folder you can write to (not Program Files)."
LangString FinishTitle ${LANG_SIMPCHINESE} "${PRODUCT} 已安装"
LangString FinishTitle ${LANG_ENGLISH} "${PRODUCT} is installed"
; Five lines at most: the page's run check box sits below them.
LangString FinishText ${LANG_SIMPCHINESE} \
  "${PRODUCT} ${VERSION} 已安装到：$\r$\n$INSTDIR$\r$\n$\r$\n保存的图片在开始菜单的“${PICTURES}”中，即：$\r$\n$INSTDIR\${PICTURES}"
LangString FinishText ${LANG_ENGLISH} \
  "${PRODUCT} ${VERSION} has been installed into:$\r$\n$INSTDIR$\r$\n$\r$\nYour pictures go into (Start menu: ${PICTURES}):$\r$\n$INSTDIR\${PICTURES}"
LangString FinishRun ${LANG_SIMPCHINESE} "现在启动 ${PRODUCT}"
LangString FinishRun ${LANG_ENGLISH} "Start ${PRODUCT} now"
LangString UninstallText ${LANG_SIMPCHINESE} \
  "${PRODUCT} 将从下面的文件夹中卸载。你保存在“${PICTURES}”中的图片会保留。"
LangString UninstallText ${LANG_ENGLISH} \
  "${PRODUCT} will be removed from the folder below. The pictures you saved in ${PICTURES} are kept."

; The two lines of the "pictures kept" notice: one log line each (the log
; shows one line per entry), one box with a line break.
LangString PicturesKept ${LANG_SIMPCHINESE} "文件夹“${PICTURES}”中有你保存的图片，已保留："
LangString PicturesKept ${LANG_ENGLISH} "The folder ${PICTURES} holds pictures you saved; it has been kept:"
LangString BadFolder ${LANG_SIMPCHINESE} \
  "不能安装到“$INSTDIR”：请选择一个已有驱动器上的文件夹（不是驱动器的根目录）。"
LangString BadFolder ${LANG_ENGLISH} \
  "Cannot install into $INSTDIR: choose a folder on an existing drive (not the drive itself)."
LangString VemoraRunning ${LANG_SIMPCHINESE} \
  "${PRODUCT} 正在运行：$\r$\n$INSTDIR\${PRODUCT}.exe$\r$\n$\r$\n请关闭 ${PRODUCT}，然后点击“重试”；点击“取消”则什么也不改动就退出。"
LangString VemoraRunning ${LANG_ENGLISH} \
  "${PRODUCT} is running:$\r$\n$INSTDIR\${PRODUCT}.exe$\r$\n$\r$\nClose ${PRODUCT}, then click Retry; Cancel leaves everything as it is."
LangString OtherInstallation ${LANG_SIMPCHINESE} \
  "${PRODUCT} 已经安装在：$\r$\n$R9$\r$\n$\r$\n每个用户只安装一份 ${PRODUCT}。请安装到那个文件夹，或者先卸载那一份（它的图片会保留）。"
LangString OtherInstallation ${LANG_ENGLISH} \
  "${PRODUCT} is already installed in:$\r$\n$R9$\r$\n$\r$\nEach user has one installation of ${PRODUCT}. Install into that folder, or uninstall that copy first (its pictures are kept)."
LangString FileFailed ${LANG_SIMPCHINESE} "无法写入或删除：$R9"
LangString FileFailed ${LANG_ENGLISH} "Cannot write or delete: $R9"

; Stops with the error level when the command before it failed: the error
; flag is set, the file is named in the log and, when interactive, a box.
!macro StopOnError UN FILE
  ${If} ${Errors}
    StrCpy $R9 "${FILE}"
    DetailPrint "$(FileFailed)"
    MessageBox MB_OK|MB_ICONSTOP "$(FileFailed)" /SD IDOK
    SetErrorLevel ${EXIT_FILE_FAILED}
    Abort "$(FileFailed)"
  ${EndIf}
!macroend

; The functions both programs use; UN is "" or "un.".
!macro SharedFunctions UN
; The name of the mutex that a Vemora started from $INSTDIR holds (the
; program makes it the same way): "Local\Vemora:", then the folder in its
; long form, upper case, every "\" written "/". Result in $R0.
Function ${UN}RunningMutexName
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .R0, i ${NSIS_MAX_STRLEN}) i .R1'
  ${If} $R1 = 0
  ${OrIf} $R1 >= ${NSIS_MAX_STRLEN}
    StrCpy $R0 "$INSTDIR"
  ${EndIf}
  ; LOCALE_INVARIANT, LCMAP_UPPERCASE
  System::Call 'kernel32::LCMapStringW(i 0x7F, i 0x200, w R0, i -1, w .R0, i ${NSIS_MAX_STRLEN})'
  ${WordReplace} "$R0" "\" "/" "+" $R0
  StrCpy $R0 "Local\Vemora:$R0"
FunctionEnd

; Asks the user to close the Vemora of $INSTDIR while it runs (Retry or
; Cancel); a silent run, or Cancel, stops with EXIT_RUNNING.
Function ${UN}WaitUntilVemoraClosed
  ${Do}
    Call ${UN}RunningMutexName
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w R0) p .R1'
    ${If} $R1 P= 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R1)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VemoraRunning)" /SD IDCANCEL IDRETRY +2
    ${Break}
  ${Loop}
  SetErrorLevel ${EXIT_RUNNING}
  Abort "$(VemoraRunning)"
FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; Whether $INSTDIR can hold an installation: a full path (X:\... or
; \\server\share\...) below the root of a drive that exists, no character
; that Windows forbids in a name, and not an existing file. $R0 is 1 or 0.
Function ValidInstallFolder
  StrCpy $R0 0
  StrCpy $R1 "$INSTDIR" 3
  StrCpy $R2 "$R1" 1 1
  StrCpy $R3 "$R1" 1 2
  StrCpy $R4 "$R1" 2
  ${IfNot} $R2$R3 == ":\"
  ${AndIfNot} $R4 == "\\"
    Return
  ${EndIf}
  ${GetRoot} "$INSTDIR" $R1
  ${If} "$INSTDIR" == "$R1"
  ${OrIf} "$INSTDIR" == "$R1\"
    Return
  ${EndIf}
  System::Call 'kernel32::GetFileAttributesW(w "$R1\") i .R2'
  ${If} $R2 = -1
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR"
  ${AndIfNot} ${FileExists} "$INSTDIR\*.*"
    Return
  ${EndIf}
  ; After the drive's "X:" every ":" is forbidden, and everywhere < > " | ? *
  StrLen $R3 "$INSTDIR"
  ${For} $R2 2 $R3
    StrCpy $R4 "$INSTDIR" 1 $R2
    ${If} $R4 == ":"
    ${OrIf} $R4 == "<"
    ${OrIf} $R4 == ">"
    ${OrIf} $R4 == '"'
    ${OrIf} $R4 == "|"
    ${OrIf} $R4 == "?"
    ${OrIf} $R4 == "*"
      Return
    ${EndIf}
  ${Next}
  StrCpy $R0 1
FunctionEnd

; The folder of an installation other than $INSTDIR that the uninstall
; entry names and that still holds its uninstaller, in $R9; empty when there
; is none. One user has one entry, so a second folder is refused rather than
; taking the first one's entry over (which would leave that copy without an
; uninstaller) or removing it unasked (with its pictures, where this copy
; never looks).
Function OtherInstallation
  ReadRegStr $R9 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R9 == ""
  ${OrIf} $R9 == "$INSTDIR"
  ${OrIfNot} ${FileExists} "$R9\uninstall.exe"
    StrCpy $R9 ""
  ${EndIf}
FunctionEnd

; The folder that /D named, in $R0 (empty without /D). NSIS takes /D off
; $CMDLINE and, when it finds the folder unusable (a drive root, a drive that
; does not exist), quietly installs into the default folder instead; so the
; raw command line is read.
Function FolderOnCommandLine
  StrCpy $R0 ""
  System::Call 'kernel32::GetCommandLineW() w .R1'
  StrLen $R2 "$R1"
  ${For} $R3 0 $R2
    StrCpy $R4 "$R1" 4 $R3
    ${If} $R4 == " /D="
      IntOp $R3 $R3 + 4
      StrCpy $R0 "$R1" "" $R3
      ; "C:\Apps\Vemora\" is the folder NSIS calls "C:\Apps\Vemora".
      StrCpy $R4 "$R0" 1 -1
      StrLen $R5 "$R0"
      ${If} $R4 == "\"
      ${AndIf} $R5 > 3
        StrCpy $R0 "$R0" -1
      ${EndIf}
      ${Break}
    ${EndIf}
  ${Next}
FunctionEnd

Function .onInit
  SetShellVarContext current
  ${If} ${Silent}
    Call FolderOnCommandLine
    ${If} $R0 != ""
    ${AndIf} $R0 != "$INSTDIR"
      SetErrorLevel ${EXIT_BAD_FOLDER}
      Abort
    ${EndIf}
    Call ValidInstallFolder
    ${If} $R0 = 0
      SetErrorLevel ${EXIT_BAD_FOLDER}
      Abort
    ${EndIf}
    Call OtherInstallation
    ${If} $R9 != ""
      SetErrorLevel ${EXIT_OTHER_INSTALLATION}
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onVerifyInstDir
  Call ValidInstallFolder
  ${If} $R0 = 0
    Abort
  ${EndIf}
FunctionEnd

; The directory page: a second installation elsewhere is refused there, and
; the user can choose again.
Function DirectoryLeave
  Call OtherInstallation
  ${If} $R9 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(OtherInstallation)"
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vemora"
  Call WaitUntilVemoraClosed
  ClearErrors
  SetOutPath "$INSTDIR"
  !insertmacro StopOnError "" "$INSTDIR"
  ; A file NSIS cannot write ends the installation through its own Retry or
  ; Cancel box (Cancel in a silent run), with the error level set here.
  SetErrorLevel ${EXIT_FILE_FAILED}
  File "/oname=${PRODUCT}.exe" "${PROGRAM}"
  !insertmacro StopOnError "" "$INSTDIR\${PRODUCT}.exe"
  SetErrorLevel 0
  ; Save writes here and never creates the folder; an existing one, with the
  ; pictures of an earlier version, stays as it is.
  CreateDirectory "$INSTDIR\${PICTURES}"
  !insertmacro StopOnError "" "$INSTDIR\${PICTURES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  !insertmacro StopOnError "" "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PRODUCT}.exe" "" \
    "$INSTDIR\${PRODUCT}.exe" 0
  !insertmacro StopOnError "" "$SMPROGRAMS\${PRODUCT}.lnk"
  ; The pictures, one click from the Start menu.
  CreateShortCut "$SMPROGRAMS\${PICTURES}.lnk" "$INSTDIR\${PICTURES}"
  !insertmacro StopOnError "" "$SMPROGRAMS\${PICTURES}.lnk"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The program's own files in KiB, the user's pictures not counted.
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  !insertmacro StopOnError "" "HKCU\${UNINSTALL_KEY}"
SectionEnd

Section "Uninstall"
  Call un.WaitUntilVemoraClosed
  ; The program goes first: while it cannot be deleted, everything that
  ; leads to it (shortcuts, entry, uninstaller) stays.
  ClearErrors
  Delete "$INSTDIR\${PRODUCT}.exe"
  !insertmacro StopOnError "un." "$INSTDIR\${PRODUCT}.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro StopOnError "un." "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PICTURES}.lnk"
  !insertmacro StopOnError "un." "$SMPROGRAMS\${PICTURES}.lnk"
  Delete "$INSTDIR\uninstall.exe"
  !insertmacro StopOnError "un." "$INSTDIR\uninstall.exe"
  ; The entry goes only when it is this installation's.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
  ClearErrors
  ; Without /r: only an empty folder goes, saved pictures stay.
  RMDir "$INSTDIR\${PICTURES}"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\${PICTURES}\*.*"
    DetailPrint "$(PicturesKept)"
    DetailPrint "$INSTDIR\${PICTURES}"
    MessageBox MB_OK|MB_ICONINFORMATION "$(PicturesKept)$\r$\n$INSTDIR\${PICTURES}" /SD IDOK
  ${EndIf}
SectionEnd
