; BorvanIF-Setup.exe: BorvanIF for one till, per user, in a folder the user can write.
; Built by the CMake target "installatore", which defines:
;   BERSAGLIO   the installer's architecture (x86-unicode for shops, amd64-unicode for the tests)
;   VERSIONE, VERSIONE_FILE   the project's version, as shown and as four numbers
;   EDITORE, COPYRIGHT   the publisher and the copyright every file of the build carries
;   PROGRAMMA, LEGGIMI, ESEMPIO   the built BorvanIF.exe, the README as text, the sample receipt
;   ECRSIM      the stand-in control, when it was built
;   ICONA       the program's icon
;   USCITA      the installer to write
;   FIRMA       when the build signs: the command that signs the file named after it

Target ${BERSAGLIO}
SetCompressor /SOLID lzma
; Per user: the program, its shortcuts and its entry in "Apps and features" belong to the
; operator who installs it. Only a folder that operator cannot write would need more, and that
; folder is refused: BorvanIF could not write its files there either.
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh

!define CHIAVE_DISINSTALLA "Software\Microsoft\Windows\CurrentVersion\Uninstall\BorvanIF"
; The stand-in control's class, as ECRSIM.DLL registers it (src/ecrsim/registrazione.h).
!define CLASSE_ECRSIM "{25274A42-A1BC-4A19-AC8C-3A29B4EE74A2}"
!define CLASSE_FINESTRA "BorvanIF_Principale"
!define MESSAGGIO_TERMINA "BorvanIF_Termina"
; How long a running BorvanIF may take to end before the operator is told.
!define ATTESA_CHIUSURA_MS 15000

Name "BorvanIF ${VERSIONE}"
OutFile "${USCITA}"
!ifdef FIRMA
; The uninstaller is signed before it is packed into the installer, the installer once written.
!uninstfinalize '${FIRMA} "%1"' = 0
!finalize '${FIRMA} "%1"' = 0
!endif
; BorvanIF writes its settings, results, log and journal beside itself: never a protected
; program folder. An upgrade finds the folder of the installation it replaces.
InstallDir "C:\BorvanIF"
InstallDirRegKey HKCU "${CHIAVE_DISINSTALLA}" "InstallLocation"
BrandingText "BorvanIF ${VERSIONE}"
ShowInstDetails show
ShowUninstDetails show

; The installer's version resource; the uninstaller it writes carries the same.
VIProductVersion "${VERSIONE_FILE}"
VIFileVersion "${VERSIONE_FILE}"
VIAddVersionKey /LANG=1040 "ProductName" "BorvanIF"
VIAddVersionKey /LANG=1040 "CompanyName" "${EDITORE}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di BorvanIF"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSIONE}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSIONE}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "${COPYRIGHT}"

Var borvanif_era_attivo ; 1 when the installer closed a running BorvanIF
Var ecrsim_registrato ; 1 when this folder's ECRSIM.DLL stays registered: the file stays too

!define MUI_ICON "${ICONA}"
!define MUI_UNICON "${ICONA}"
!define MUI_ABORTWARNING
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE cartella_scelta
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\BorvanIF.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Avvia BorvanIF ora"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Italian"

; Closes the BorvanIF that runs from $INSTDIR (one per installation; another folder's copy
; keeps printing): its main window ends the program at once on the registered message.
; Asks first, unless silent. Aborts the installation when the operator refuses or the program
; does not end in time.
!macro DEFINISCI_CHIUDI_BORVANIF prefisso
Function ${prefisso}chiudi_borvanif
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'user32::RegisterWindowMessage(t "${MESSAGGIO_TERMINA}") i .r0'
  StrCpy $5 "$INSTDIR\BorvanIF.exe"
  System::Call 'kernel32::GetLongPathName(t r5, t .r4, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 <> 0
    StrCpy $5 $4
  ${EndIf}
  StrCpy $1 0
  ${Do}
    FindWindow $1 "${CLASSE_FINESTRA}" "" 0 $1
    ${If} $1 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i r2) p .r3'
    ${If} $3 P<> 0
      StrCpy $4 ""
      System::Call 'kernel32::QueryFullProcessImageName(p r3, i 0, t .r4, *i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::GetLongPathName(t r4, t .r4, i ${NSIS_MAX_STRLEN})'
      ${If} $4 == $5
        MessageBox MB_OKCANCEL|MB_ICONQUESTION "BorvanIF è in esecuzione da questa cartella e va chiuso.$\n$\nChiuderlo ora? Lo scontrino eventualmente in stampa viene interrotto." /SD IDOK IDOK chiudi
          System::Call 'kernel32::CloseHandle(p r3)'
          Abort "BorvanIF è ancora in esecuzione."
        chiudi:
        DetailPrint "Chiusura di BorvanIF in esecuzione..."
        SendMessage $1 $0 0 0 /TIMEOUT=5000
        System::Call 'kernel32::WaitForSingleObject(p r3, i ${ATTESA_CHIUSURA_MS}) i .r2'
        System::Call 'kernel32::CloseHandle(p r3)'
        ${If} $2 <> 0
          MessageBox MB_ICONSTOP "BorvanIF non si è chiuso. Chiudilo e riprova." /SD IDOK
          SetErrorLevel 2
          Abort "BorvanIF non si è chiuso."
        ${EndIf}
        StrCpy $borvanif_era_attivo 1
        ; Windows found so far may be gone: search again from the first.
        StrCpy $1 0
      ${Else}
        System::Call 'kernel32::CloseHandle(p r3)'
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINISCI_CHIUDI_BORVANIF ""
!insertmacro DEFINISCI_CHIUDI_BORVANIF "un."

; Leaves 1 in $0 when the user can create files in $INSTDIR, 0 when not: BorvanIF could not
; keep its settings and log there either.
Function prova_cartella
  StrCpy $0 0
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $1 "$INSTDIR\BorvanIF.prova" w
  ${IfNot} ${Errors}
    FileClose $1
    Delete "$INSTDIR\BorvanIF.prova"
    StrCpy $0 1
  ${EndIf}
FunctionEnd

; Leaves 1 in $0 when the system's ANSI code page can spell $INSTDIR, 0 when not: BorvanIF
; reaches its files by names in that code page, and in such a folder every job would fail.
Function prova_nome_cartella
  Push $1
  Push $2
  StrCpy $0 1
  System::Call 'kernel32::GetACP() i .r1'
  ${If} $1 <> 65001
    ; WC_NO_BEST_FIT_CHARS: a look-alike standing in for a character is no spelling of it.
    StrCpy $2 0
    System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w "$INSTDIR", i -1, p 0, i 0, p 0, *i r2r2) i .r1'
    ${If} $1 = 0
    ${OrIf} $2 <> 0
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

Function cartella_scelta
  Call prova_nome_cartella
  ${If} $0 = 0
    MessageBox MB_ICONEXCLAMATION "Il nome della cartella$\n$INSTDIR$\ncontiene caratteri che la code page del sistema non sa scrivere: BorvanIF non vi troverebbe i suoi file. Scegli un'altra cartella, per esempio C:\BorvanIF."
    Abort
  ${EndIf}
  Call prova_cartella
  ${If} $0 = 0
    MessageBox MB_ICONEXCLAMATION "Non è possibile scrivere nella cartella$\n$INSTDIR$\n$\nBorvanIF tiene accanto a sé impostazioni, esiti e registro: scegli una cartella in cui l'utente possa scrivere, per esempio C:\BorvanIF."
    Abort
  ${EndIf}
FunctionEnd

Section "BorvanIF" SEZ_PROGRAMMA
  SectionIn RO
  ${If} ${Silent}
    Call prova_nome_cartella
    ${If} $0 = 0
      SetErrorLevel 2
      Abort "Nome di cartella non utilizzabile: $INSTDIR"
    ${EndIf}
    Call prova_cartella
    ${If} $0 = 0
      SetErrorLevel 2
      Abort "Impossibile scrivere in $INSTDIR"
    ${EndIf}
  ${EndIf}
  Call chiudi_borvanif
  ; Only the files shipped here are replaced: BorvanIF.CFG, the result file, the log and the
  ; journal stay as they are.
  SetOutPath "$INSTDIR"
  File "/oname=BorvanIF.exe" "${PROGRAMMA}"
  File "/oname=LEGGIMI.txt" "${LEGGIMI}"
  ; In a folder of its own: as Scontr.ECR beside the program it would be printed at once.
  SetOutPath "$INSTDIR\Esempio"
  File "/oname=Scontr.ECR" "${ESEMPIO}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Disinstalla.exe"
  CreateShortcut "$SMPROGRAMS\BorvanIF.lnk" "$INSTDIR\BorvanIF.exe"

  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "DisplayName" "BorvanIF"
  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "DisplayVersion" "${VERSIONE}"
  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "DisplayIcon" "$INSTDIR\BorvanIF.exe"
  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "Publisher" "${EDITORE}"
  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "UninstallString" '"$INSTDIR\Disinstalla.exe"'
  WriteRegStr HKCU "${CHIAVE_DISINSTALLA}" "QuietUninstallString" '"$INSTDIR\Disinstalla.exe" /S'
  WriteRegDWORD HKCU "${CHIAVE_DISINSTALLA}" "NoModify" 1
  WriteRegDWORD HKCU "${CHIAVE_DISINSTALLA}" "NoRepair" 1
SectionEnd

Section "Avvio con Windows" SEZ_AVVIO
  ; A resident program that is not running prints nothing.
  CreateShortcut "$SMSTARTUP\BorvanIF.lnk" "$INSTDIR\BorvanIF.exe"
SectionEnd

!ifdef ECRSIM
Section /o "Cassa simulata ECRSIM.DLL (solo per le prove)" SEZ_ECRSIM
  ; Copied only: registering it is the operator's choice, and never on a shop's till.
  File "/oname=ECRSIM.DLL" "${ECRSIM}"
SectionEnd
!endif

Section "-Conclusione"
  ${IfNot} ${SectionIsSelected} ${SEZ_AVVIO}
    Delete "$SMSTARTUP\BorvanIF.lnk"
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${CHIAVE_DISINSTALLA}" "EstimatedSize" "$0"
  ; An unattended upgrade must not leave the till without its printing program; interactively
  ; the finish page offers to start it.
  ${If} ${Silent}
  ${AndIf} $borvanif_era_attivo = 1
    Exec '"$INSTDIR\BorvanIF.exe"'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SEZ_PROGRAMMA} "Il programma, questo documento e un file comandi di esempio."
  !insertmacro MUI_DESCRIPTION_TEXT ${SEZ_AVVIO} "Avvia BorvanIF all'accesso a Windows: se non è in esecuzione non stampa."
!ifdef ECRSIM
  !insertmacro MUI_DESCRIPTION_TEXT ${SEZ_ECRSIM} "Il controllo che simula la cassa, per le macchine di prova. Non viene registrato: mai su una cassa vera."
!endif
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  StrCpy $borvanif_era_attivo 0
!ifdef ECRSIM
  ; /ECRSIM: the stand-in control too, for unattended installs on test machines.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ECRSIM" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SEZ_ECRSIM}
  ${EndIf}
!endif
FunctionEnd

; Leaves in $0 the file that the stand-in's class is registered to, spelt out long; empty when
; the class is not registered.
Function un.server_ecrsim
  Push $1
  ReadRegStr $0 HKCR "CLSID\${CLASSE_ECRSIM}\InprocServer32" ""
  ${If} $0 != ""
    System::Call 'kernel32::GetLongPathName(t r0, t .r1, i ${NSIS_MAX_STRLEN}) i .r1'
    ${If} $1 <> 0
      System::Call 'kernel32::GetLongPathName(t r0, t .r0, i ${NSIS_MAX_STRLEN})'
    ${EndIf}
  ${EndIf}
  Pop $1
FunctionEnd

; This folder's ECRSIM.DLL, registered (by whoever ran regsvr32 on it), is unregistered before it
; goes: the register's ProgID would otherwise point at a file that is no more. The stand-in's
; own unregistration removes only what it wrote, and the ProgID only while it is its own. An
; ECRSIM.DLL registered from another folder is another installation's, and is left alone. When
; the registration cannot be undone (it needs the administrator's rights), the file stays and
; the operator is told how to finish.
Function un.togli_registrazione_ecrsim
  Push $0
  Push $1
  StrCpy $ecrsim_registrato 0
  StrCpy $1 "$INSTDIR\ECRSIM.DLL"
  System::Call 'kernel32::GetLongPathName(t r1, t .r0, i ${NSIS_MAX_STRLEN}) i .r0'
  ${If} $0 <> 0
    System::Call 'kernel32::GetLongPathName(t r1, t .r1, i ${NSIS_MAX_STRLEN})'
  ${EndIf}
  Call un.server_ecrsim
  ${If} ${FileExists} "$INSTDIR\ECRSIM.DLL"
  ${AndIf} $0 == $1
    DetailPrint "Annullamento della registrazione di ECRSIM.DLL..."
    ExecWait '"$SYSDIR\regsvr32.exe" /u /s "$INSTDIR\ECRSIM.DLL"'
    Call un.server_ecrsim
    ${If} $0 == $1
      StrCpy $ecrsim_registrato 1
      DetailPrint "ECRSIM.DLL è ancora registrato: resta nella cartella."
      MessageBox MB_ICONEXCLAMATION "Non è stato possibile annullare la registrazione di ECRSIM.DLL, che quindi resta in$\n$INSTDIR$\n$\nPer toglierlo, in un prompt dei comandi aperto come amministratore:$\nregsvr32 /u $\"$INSTDIR\ECRSIM.DLL$\"$\npoi cancella il file." /SD IDOK
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Section "un.BorvanIF" USEZ_PROGRAMMA
  SectionIn RO
  Call un.chiudi_borvanif
  Call un.togli_registrazione_ecrsim
  Delete "$INSTDIR\BorvanIF.exe"
  ; The lock of the program just closed: it holds nothing of the operator's.
  Delete "$INSTDIR\BorvanIF.LCK"
  Delete "$INSTDIR\LEGGIMI.txt"
  ${If} $ecrsim_registrato = 0
    Delete "$INSTDIR\ECRSIM.DLL"
  ${EndIf}
  Delete "$INSTDIR\Esempio\Scontr.ECR"
  RMDir "$INSTDIR\Esempio"
  Delete "$SMPROGRAMS\BorvanIF.lnk"
  Delete "$SMSTARTUP\BorvanIF.lnk"
  Delete "$INSTDIR\Disinstalla.exe"
SectionEnd

Section /o "un.Impostazioni, esiti e registro" USEZ_DATI
  Delete "$INSTDIR\BorvanIF.CFG"
  Delete "$INSTDIR\Result.TXT"
  Delete "$INSTDIR\BorvanIF.LOG"
  Delete "$INSTDIR\BorvanIF.JRN"
  Delete "$INSTDIR\ECRSIM.CFG"
  Delete "$INSTDIR\ECRSIM.TXT"
SectionEnd

Section "-un.Conclusione"
  ; The folder goes only when nothing else is left in it.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${CHIAVE_DISINSTALLA}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${USEZ_PROGRAMMA} "Il programma, i suoi collegamenti e la voce tra le app installate."
  !insertmacro MUI_DESCRIPTION_TEXT ${USEZ_DATI} "BorvanIF.CFG, Result.TXT, il registro BorvanIF.LOG, il giornale dei lavori e i file della cassa simulata. Senza questa scelta restano nella cartella."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  StrCpy $borvanif_era_attivo 0
  StrCpy $ecrsim_registrato 0
FunctionEnd
