; The peer of the installer in bench/peer.sh: the same payload set as an NSIS 3
; installer (zlib, not solid, one page of progress) that makes the same
; folders, files and five shortcuts, and the product's App Paths and
; Uninstall values but for the quiet removal and the folders made above (not
; the browser's registration). Built by
; bench/peer.sh with -DPAYLOADS=<folder laid out as installed>
; -DVERSION=<version> -DMAJOR=<its first number> -DMINOR=<its second>
; -DKIB=<installed KiB> -DOUT=<file>; with -DEMPTY it
; installs nothing, for the baseline of a process that starts and ends.

Unicode true
!include "FileFunc.nsh"
SetCompressor zlib
Name "泽沃浏览器"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES\Zarvo"
RequestExecutionLevel admin
Page instfiles

!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zarvo"
!define APP_PATHS_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Zarvo.exe"
!define BROWSER_DESCRIPTION "泽沃浏览器是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安全，易用，绿色等特点，他完全免费，没有任何功能限制。轻松带您泽沃互联网世界。"

Section
!ifndef EMPTY
    SetOutPath "$INSTDIR"
    CreateDirectory "$INSTDIR\Data"
    CreateDirectory "$INSTDIR\Lang"
    CreateDirectory "$INSTDIR\Plugins"
    CreateDirectory "$INSTDIR\Skin"
    CreateDirectory "$INSTDIR\Temp\Skin"
    CreateDirectory "$INSTDIR\Temp\Update"

    ; Catalogue order.
    File "${PAYLOADS}/whatsnew.txt"
    File "/oname=Data\ZarvConfig.ini" "${PAYLOADS}/Data/ZarvConfig.ini"
    File "${PAYLOADS}/Zarvo.exe"
    File "${PAYLOADS}/ZarvService.exe"
    File "${PAYLOADS}/BugReport.exe"
    File "${PAYLOADS}/Lisense.txt"
    File "${PAYLOADS}/ZarvLibrary.dll"
    File "${PAYLOADS}/ZarvResources.dll"
    File "${PAYLOADS}/ZarvZip.dll"
    File "${PAYLOADS}/ZarvUpdate.exe"
    File "${PAYLOADS}/Uninstall.exe"
    File "/oname=Skin\default.zsk" "${PAYLOADS}/Skin/default.zsk"
    File "/oname=Lang\0x0804.ini" "${PAYLOADS}/Lang/0x0804.ini"
    File "/oname=Lang\0x0404.ini" "${PAYLOADS}/Lang/0x0404.ini"
    File "/oname=Lang\0x0409.ini" "${PAYLOADS}/Lang/0x0409.ini"

    ; The working folder of each shortcut is the output folder.
    SetShellVarContext all
    CreateShortcut "$DESKTOP\泽沃浏览器.lnk" "$INSTDIR\Zarvo.exe" "" "" 0 SW_SHOWNORMAL "" "${BROWSER_DESCRIPTION}"
    CreateDirectory "$SMPROGRAMS\泽沃浏览器"
    CreateShortcut "$SMPROGRAMS\泽沃浏览器\泽沃浏览器.lnk" "$INSTDIR\Zarvo.exe" "" "" 0 SW_SHOWNORMAL "" "${BROWSER_DESCRIPTION}"
    CreateShortcut "$SMPROGRAMS\泽沃浏览器\在线升级.lnk" "$INSTDIR\ZarvUpdate.exe" "" "" 0 SW_SHOWNORMAL "" "在线升级，快速将软件升级到最新版本。"
    CreateShortcut "$SMPROGRAMS\泽沃浏览器\更新记录.lnk" "$INSTDIR\whatsnew.txt" "" "" 0 SW_SHOWNORMAL "" "记录泽沃浏览器的更新历史。"
    CreateShortcut "$SMPROGRAMS\泽沃浏览器\卸载泽沃浏览器.lnk" "$INSTDIR\Uninstall.exe" "" "" 0 SW_SHOWNORMAL "" "卸载程序"

    WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\Zarvo.exe"
    WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Comments" "泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Contact" "zarvo@luofei.example"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zarvo.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "泽沃浏览器"
    WriteRegExpandStr HKLM "${UNINSTALL_KEY}" "Readme" "$INSTDIR\Lisense.txt"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\ZarvService.exe" Uninstall'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "洛菲工作室"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "http://www.zarvo.example/"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "http://bbs.luofei.example/"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLUpdateInfo" "http://www.luofei.example/"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${MINOR}
    ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallDate" "$2$1$0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${KIB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "ShortcutOptions" "/DesktopShortcut=true /StartMenuShortcut=true"
!endif
SectionEnd
