; Vemora's per-user installer, built with makensis by package/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DPROGRAM=<Vemora.exe>
;            -DICON=<Vemora.ico> -DOUTFILE=<setup.exe> Vemora.nsi
;
; Installs into %LOCALAPPDATA%\Programs\Vemora without administrator rights:
; Save writes its pictures into the folder 二维码图片 beside the program, which
; must be writable by the user (it would not be under Program Files).
; Silent use: "setup.exe /S [/D=folder]" and "uninstall.exe /S".
;
; The pictures the user saved are never deleted: the uninstaller removes the
; picture folder only when it is empty, and installing over an existing copy
; leaves it as it is.

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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PRODUCT}.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the default; the installer picks the system's.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString PicturesKept ${LANG_SIMPCHINESE} \
  "文件夹“${PICTURES}”中有你保存的图片，已保留：$\r$\n$INSTDIR\${PICTURES}"
LangString PicturesKept ${LANG_ENGLISH} \
  "The folder ${PICTURES} holds pictures you saved; it has been kept:$\r$\n$INSTDIR\${PICTURES}"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vemora"
  SetOutPath "$INSTDIR"
  File "/oname=${PRODUCT}.exe" "${PROGRAM}"
  ; Save writes here and never creates the folder; an existing one, with the
  ; pictures of an earlier version, stays as it is.
  CreateDirectory "$INSTDIR\${PICTURES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PRODUCT}.exe" "" \
    "$INSTDIR\${PRODUCT}.exe" 0

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
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\${PRODUCT}.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Without /r: only an empty folder goes, saved pictures stay.
  RMDir "$INSTDIR\${PICTURES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\${PICTURES}\*.*"
    DetailPrint "$(PicturesKept)"
    MessageBox MB_OK|MB_ICONINFORMATION "$(PicturesKept)" /SD IDOK
  ${EndIf}
SectionEnd
