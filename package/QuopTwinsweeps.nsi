; The setup program of Quop Twinsweeps: puts the add-in's libraries where
; the user (or, elevated, every user) keeps programs, registers the add-in
; for Outlook, and adds an uninstaller to "Apps & features".
;
;   makensis -DVERSION=1.0.0.0 -DOUTFILE=...exe -DX86DIR=... [-DX64DIR=...] QuopTwinsweeps.nsi
;   makensis -DVERSION=1.0.0.0 -DOUTFILE=...exe -DAMD64 -DX64DIR=... QuopTwinsweeps.nsi
;
; The first is a 32-bit program for either Outlook; with -DAMD64 it is a
; 64-bit program that holds the 64-bit libraries alone, for 64-bit Outlook.
;
; Command line of the setup:    /S silent, /ALLUSERS for every user (elevates),
;                               /D=folder the installation folder (last).
; Command line of Uninstall.exe: /S silent, /ALLUSERS as installed,
;                               /REMOVEUSERDATA also the user's settings and journal.

!ifdef AMD64
  Target amd64-unicode
!else
  Unicode true
!endif
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include nsDialogs.nsh

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined"
!endif

!define PRODUCT "Quop Twinsweeps"
!define PUBLISHER "Quop"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuopTwinsweeps"
!define ADDIN_DLL "QuopDuplicate.dll"
; Where the add-in keeps its language file, index and journal (per user).
!define USER_DATA "$APPDATA\Quop\Ruveruder"

!ifdef AMD64
  !ifndef X64DIR
    !error "X64DIR (the folder of the 64-bit libraries) is not defined"
  !endif
  !ifdef X86DIR
    !error "a 64-bit setup holds no 32-bit libraries"
  !endif
  ; A 64-bit process: System32 holds the 64-bit regsvr32, SysWOW64 the 32-bit one.
  !define REGSVR32_X86 "$WINDIR\SysWOW64\regsvr32.exe"
  !define ALL_USERS_FOLDER "$PROGRAMFILES64\${PRODUCT}"
!else
  !ifndef X86DIR
    !error "X86DIR (the folder of the 32-bit libraries) is not defined"
  !endif
  !define REGSVR32_X86 "$SYSDIR\regsvr32.exe"
  !define ALL_USERS_FOLDER "$PROGRAMFILES\${PRODUCT}"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Per user needs no administrator; "for all users" starts the setup again
; elevated (see ModeLeave).
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Quop. All rights reserved."

Var AllUsers        ; 1: for every user (HKLM, Program Files); 0: this user
Var Bitness         ; of the Outlook found: "x86", "x64" or "" when unknown
Var ModeUser
Var ModeAll
Var RemoveUserData  ; uninstaller: 1 when the user data goes too
Var RemoveCheck

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_ABORTWARNING

Page custom ModePage ModeLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.DataPage un.DataLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------- scope

!macro SetScope
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

; Uninstall key values, under HKLM for every user, else HKCU.
!macro WriteUninstallValue kind name value
  ${If} $AllUsers == 1
    Write${kind} HKLM "${UNINSTALL_KEY}" "${name}" "${value}"
  ${Else}
    Write${kind} HKCU "${UNINSTALL_KEY}" "${name}" "${value}"
  ${EndIf}
!macroend

Function .onInit
  StrCpy $AllUsers 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    Call RequireAdmin
    ; The default folder follows the scope unless /D= gave one.
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
      StrCpy $INSTDIR "${ALL_USERS_FOLDER}"
    ${EndIf}
  ${EndIf}
  !insertmacro SetScope
  Call FindOutlookBitness
FunctionEnd

; Every user's install writes HKLM and Program Files: without administrator
; rights it would fail half-way, so it stops here.
Function RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    IfSilent +2
    MessageBox MB_ICONSTOP "Installing for all users needs administrator rights."
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
FunctionEnd

; The Outlook of Office 2010 and later writes "Bitness" ("x86" or "x64")
; under HKLM\Software\Microsoft\Office\<version>\Outlook; a 32-bit Office on
; 64-bit Windows writes it in the 32-bit view.
Function FindOutlookBitness
  StrCpy $Bitness ""
  ${If} ${RunningX64}
    SetRegView 64
    Call ReadBitness
    SetRegView 32
  ${EndIf}
  ${If} $Bitness == ""
    Call ReadBitness
  ${EndIf}
  SetRegView lastused
FunctionEnd

Function ReadBitness
  StrCpy $0 0
  ${Do}
    ${Select} $0
      ${Case} 0
        StrCpy $1 "16.0"
      ${Case} 1
        StrCpy $1 "15.0"
      ${Case} 2
        StrCpy $1 "14.0"
      ${CaseElse}
        ${Break}
    ${EndSelect}
    ClearErrors
    ReadRegStr $2 HKLM "Software\Microsoft\Office\$1\Outlook" "Bitness"
    ${IfNot} ${Errors}
    ${AndIf} $2 != ""
      StrCpy $Bitness $2
      ${Break}
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd

; ---------------------------------------------------------------- mode page

Function ModePage
  ${If} $AllUsers == 1
    Abort ; chosen on the command line (the elevated second run)
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Who uses Quop Twinsweeps?" "Install it for yourself, or for everyone on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "Just for &me (no administrator rights needed)"
  Pop $ModeUser
  ${NSD_CreateRadioButton} 0 30u 100% 12u "For &all users of this computer (needs administrator rights)"
  Pop $ModeAll
  ${NSD_Check} $ModeUser
  nsDialogs::Show
FunctionEnd

Function ModeLeave
  ${NSD_GetState} $ModeAll $0
  ${If} $0 == ${BST_CHECKED}
    ; The same setup again, elevated, for every user; this one ends.
    ExecShell "runas" "$EXEPATH" "/ALLUSERS"
    Quit
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- install

; Registers one copy of the add-in; regsvr32 of the library's own bitness.
!macro Register dir regsvr
  ${If} $AllUsers == 1
    ExecWait '"${regsvr}" /s "${dir}\${ADDIN_DLL}"' $0
  ${Else}
    ExecWait '"${regsvr}" /s /n /i:user "${dir}\${ADDIN_DLL}"' $0
  ${EndIf}
  ${If} $0 != 0
    DetailPrint "Registering ${dir}\${ADDIN_DLL} failed (regsvr32 exit code $0)."
    StrCpy $R9 1
  ${EndIf}
!macroend

!macro Unregister dir regsvr
  ${If} ${FileExists} "${dir}\${ADDIN_DLL}"
    ${If} $AllUsers == 1
      ExecWait '"${regsvr}" /s /u "${dir}\${ADDIN_DLL}"' $0
    ${Else}
      ExecWait '"${regsvr}" /s /u /n /i:user "${dir}\${ADDIN_DLL}"' $0
    ${EndIf}
    ${If} $0 != 0
      DetailPrint "Unregistering ${dir}\${ADDIN_DLL} failed (regsvr32 exit code $0)."
    ${EndIf}
  ${EndIf}
!macroend

Section "Quop Twinsweeps" SecMain
  SectionIn RO
  !insertmacro SetScope
  ; The libraries of the bitness of the Outlook found; both when none was
  ; found, of which the one of the Windows bitness is registered.
  StrCpy $R0 0 ; x86 wanted
  StrCpy $R1 0 ; x64 wanted
  ${If} $Bitness == "x86"
    StrCpy $R0 1
  ${ElseIf} $Bitness == "x64"
    StrCpy $R1 1
  ${Else}
    StrCpy $R0 1
    StrCpy $R1 1
  ${EndIf}
!ifndef X64DIR
  ${If} $R1 == 1
  ${AndIf} $R0 == 0
    MessageBox MB_ICONSTOP "This setup holds only the add-in for 32-bit Outlook; this computer has a 64-bit Outlook." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $R1 0
!endif
!ifndef X86DIR
  ${If} $R0 == 1
  ${AndIf} $R1 == 0
    MessageBox MB_ICONSTOP "This setup holds only the add-in for 64-bit Outlook; this computer has a 32-bit Outlook. Install it with QuopTwinsweeps-${VERSION}-setup.exe." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $R0 0
!endif

  StrCpy $R9 0 ; 1 once a registration failed
!ifdef X86DIR
  ${If} $R0 == 1
    SetOutPath "$INSTDIR\x86"
    File "${X86DIR}\QuopDuplicate.dll"
    File "${X86DIR}\QuopDB.dll"
  ${EndIf}
!endif
!ifdef X64DIR
  ${If} $R1 == 1
    SetOutPath "$INSTDIR\x64"
    File "${X64DIR}\QuopDuplicate.dll"
    File "${X64DIR}\QuopDB.dll"
  ${EndIf}
!endif
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Which copy Outlook loads.
  ${If} $R0 == 1
  ${AndIf} $R1 == 1
    ${If} ${RunningX64}
      StrCpy $R0 0
    ${Else}
      StrCpy $R1 0
    ${EndIf}
  ${EndIf}
!ifdef X86DIR
  ${If} $R0 == 1
    !insertmacro Register "$INSTDIR\x86" "${REGSVR32_X86}"
  ${EndIf}
!endif
!ifdef X64DIR
  ${If} $R1 == 1
    ${DisableX64FSRedirection}
    !insertmacro Register "$INSTDIR\x64" "$WINDIR\System32\regsvr32.exe"
    ${EnableX64FSRedirection}
  ${EndIf}
!endif

  ${If} $AllUsers == 1
    StrCpy $0 '"$INSTDIR\Uninstall.exe" /ALLUSERS'
  ${Else}
    StrCpy $0 '"$INSTDIR\Uninstall.exe"'
  ${EndIf}
  !insertmacro WriteUninstallValue RegStr "DisplayName" "${PRODUCT}"
  !insertmacro WriteUninstallValue RegStr "DisplayVersion" "${VERSION}"
  !insertmacro WriteUninstallValue RegStr "Publisher" "${PUBLISHER}"
  !insertmacro WriteUninstallValue RegStr "InstallLocation" "$INSTDIR"
  !insertmacro WriteUninstallValue RegStr "UninstallString" "$0"
  !insertmacro WriteUninstallValue RegStr "QuietUninstallString" "$0 /S"
  !insertmacro WriteUninstallValue RegDWORD "NoModify" 1
  !insertmacro WriteUninstallValue RegDWORD "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  !insertmacro WriteUninstallValue RegDWORD "EstimatedSize" $1

  ${If} $R9 == 1
    MessageBox MB_ICONSTOP "The add-in could not be registered for Outlook; see the details." /SD IDOK
    SetErrorLevel 3
  ${EndIf}
SectionEnd

; ---------------------------------------------------------------- uninstall

Function un.onInit
  StrCpy $AllUsers 0
  StrCpy $RemoveUserData 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERDATA" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveUserData 1
  ${EndIf}
  !insertmacro SetScope
FunctionEnd

Function un.DataPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "The language file and the treatment journal stay unless you choose otherwise."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 10u 100% 12u "Also &remove my settings and the treatment journal"
  Pop $RemoveCheck
  nsDialogs::Show
FunctionEnd

Function un.DataLeave
  ${NSD_GetState} $RemoveCheck $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveUserData 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro SetScope
  !insertmacro Unregister "$INSTDIR\x86" "${REGSVR32_X86}"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    !insertmacro Unregister "$INSTDIR\x64" "$WINDIR\System32\regsvr32.exe"
    ${EnableX64FSRedirection}
  ${EndIf}
  Delete "$INSTDIR\x86\QuopDuplicate.dll"
  Delete "$INSTDIR\x86\QuopDB.dll"
  Delete "$INSTDIR\x64\QuopDuplicate.dll"
  Delete "$INSTDIR\x64\QuopDB.dll"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR\x64"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${If} $AllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
  ${If} $RemoveUserData == 1
    ; Only this user's: the data folder lives under each user's profile.
    SetShellVarContext current
    RMDir /r "${USER_DATA}"
    RMDir "$APPDATA\Quop"
  ${EndIf}
SectionEnd
