; Windows installer of Quorvel Meet: the host, the demo product, the engine
; libraries, the crash reporter and the updaters; the installation's registry
; configuration, the quorvelmeet:// link scheme, the updater service, a
; Start-menu entry and an uninstaller that takes all of it away again.
;
; Built by the CMake target quorvelmeet_installer, which defines:
;   QM_BIN      the folder of the built programs and libraries
;   QM_FILES    the generated list of those to install (macro QM_EACH_FILE)
;   QM_VERSION  the four-part version
;   QM_ICON     the program's icon
;   QM_OUTFILE  the installer to write
;
; Silent: quorvelmeet-setup.exe /S [/D=C:\folder], uninstall.exe /S.

Unicode true
SetCompressor zlib
RequestExecutionLevel admin

!include LogicLib.nsh
!include "${QM_FILES}"

; The host's default product and state: a link without a product names them.
!define PRODUCT "quorvelmeet"
!define STATE "production"
!define DISPLAY_NAME "Quorvel Meet"
!define VENDOR "Quorvel"
!define HOST "quorvelmeet.exe"
!define SERVICE_PROGRAM "qmUpdaterService.exe"
!define UNINSTALLER "uninstall.exe"
!define CONFIG_KEY "SOFTWARE\${VENDOR}\${PRODUCT}\${STATE}"
!define SCHEME_KEY "${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Under the common application data folder, next to the updater's log.
!define STAGING_PARENT "$APPDATA\${VENDOR}\${PRODUCT}"
!define STAGING "${STAGING_PARENT}\staging"
!define VENDOR_FOLDER "$PROGRAMFILES\${VENDOR}"
!define DEFAULT_FOLDER "${VENDOR_FOLDER}\${DISPLAY_NAME}"
!define MENU_FOLDER "$SMPROGRAMS\${DISPLAY_NAME}"
; The host keeps double quotes as part of a link, so %1 stands unquoted.
!define OPEN_COMMAND '"$INSTDIR\${HOST}" %1'

Name "${DISPLAY_NAME}"
OutFile "${QM_OUTFILE}"
Icon "${QM_ICON}"
UninstallIcon "${QM_ICON}"
InstallDir "${DEFAULT_FOLDER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${QM_VERSION}"
VIAddVersionKey "ProductName" "${DISPLAY_NAME}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${DISPLAY_NAME} Setup"
VIAddVersionKey "FileVersion" "${QM_VERSION}"
VIAddVersionKey "ProductVersion" "${QM_VERSION}"
VIAddVersionKey "LegalCopyright" "${VENDOR}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro QM_INSTALL_FILE NAME
  File "${QM_BIN}/${NAME}"
!macroend

!macro QM_REMOVE_FILE NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; Runs the service program of this installation with a switch; leaves its
; exit code (or "error") on the stack.
!macro QM_SERVICE_PROGRAM SWITCH
  nsExec::ExecToLog '"$INSTDIR\${SERVICE_PROGRAM}" ${SWITCH} ${PRODUCT}'
!macroend

Section "${DISPLAY_NAME}"
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro QM_EACH_FILE QM_INSTALL_FILE
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${CONFIG_KEY}" "libFilePath" "$INSTDIR"
  WriteRegStr HKLM "${CONFIG_KEY}" "updateFilePath" "${STAGING}"
  CreateDirectory "${STAGING}"

  WriteRegStr HKCR "${SCHEME_KEY}" "" "URL:${DISPLAY_NAME}"
  WriteRegStr HKCR "${SCHEME_KEY}" "URL Protocol" ""
  WriteRegStr HKCR "${SCHEME_KEY}\DefaultIcon" "" '"$INSTDIR\${HOST}",0'
  WriteRegStr HKCR "${SCHEME_KEY}\shell\open\command" "" '${OPEN_COMMAND}'

  ; An earlier installation's service may name another folder: replace it.
  !insertmacro QM_SERVICE_PROGRAM -uninstall
  Pop $0
  !insertmacro QM_SERVICE_PROGRAM -install
  Pop $0
  ${If} $0 != 0
    ; Without the service the host falls back to the elevated updater, but
    ; the installation is not what it should be: say so and fail.
    MessageBox MB_ICONSTOP "The updater service could not be registered ($0)." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${DISPLAY_NAME}.lnk" "$INSTDIR\${HOST}" "" "$INSTDIR\${HOST}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${QM_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${HOST}",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The service names a program in this folder: it goes first.
  !insertmacro QM_SERVICE_PROGRAM -uninstall
  Pop $0

  !insertmacro QM_EACH_FILE QM_REMOVE_FILE
  ; The manifest of the last update the updaters applied.
  Delete "$INSTDIR\update-manifest.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Not recursive: whatever else lies in the folder is not ours to remove.
  RMDir "$INSTDIR"
  ${If} "$INSTDIR" == "${DEFAULT_FOLDER}"
    RMDir "${VENDOR_FOLDER}"
  ${EndIf}

  Delete "${MENU_FOLDER}\${DISPLAY_NAME}.lnk"
  RMDir "${MENU_FOLDER}"

  ; The scheme only while it still starts this installation's host.
  ReadRegStr $0 HKCR "${SCHEME_KEY}\shell\open\command" ""
  ${If} $0 == '${OPEN_COMMAND}'
    DeleteRegKey HKCR "${SCHEME_KEY}"
  ${EndIf}

  DeleteRegKey HKLM "${CONFIG_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\${VENDOR}\${PRODUCT}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\${VENDOR}"

  RMDir /r "${STAGING}"
  RMDir "${STAGING_PARENT}"
  RMDir "$APPDATA\${VENDOR}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
