; BorvanIF-Setup.exe: BorvanIF for one till, in a folder its users can write: for every user of
; the computer (shortcuts for all, the entry in "Apps and features" in HKLM) or for one.
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
; As invoked: run as a plain user it installs for that user; run as administrator (a technician
; installing for the till user, a silent upgrade pushed to many tills) for every user, by
; default. Nothing it writes for one user needs more.
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh

!define CHIAVE_DISINSTALLA "Software\Microsoft\Windows\CurrentVersion\Uninstall\BorvanIF"
; What a silent run has to say, for whoever pushed it.
!define REGISTRO_INSTALLAZIONE "BorvanIF-Setup.log"
; BUILTIN\Users, by its SID: the group's name depends on the system's language.
!define SID_UTENTI "*S-1-5-32-545"
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
; program folder. No InstallDir: .onInit proposes the folder of the installation it replaces,
; for every user or for this one, and C:\BorvanIF otherwise.
BrandingText "BorvanIF ${VERSIONE}$testo_elevato"
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
Var elevato ; 1 when run with an administrator's full rights
Var testo_elevato ; what every page says of it
Var tutti ; 1: for every user of the computer (shortcuts for all, HKLM); 0: for this user
Var utente ; the user the setup runs as
Var non_sostituito ; the file that could not be replaced, empty while all went well
Var sostituiti ; how many of the shipped files have been put in place, in their order
Var scelta_tutti ; the users page's radio buttons
Var scelta_utente

!define MUI_ICON "${ICONA}"
!define MUI_UNICON "${ICONA}"
!define MUI_ABORTWARNING
Page custom pagina_utenti pagina_utenti_lasciata
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE cartella_scelta
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
; Two finish pages, one shown: the one that offers to start BorvanIF where the setup can start
; it as the user at the screen, the other where it cannot.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Avvia BorvanIF ora"
!define MUI_FINISHPAGE_RUN_FUNCTION avvia_borvanif
!define MUI_PAGE_CUSTOMFUNCTION_PRE fine_con_avvio
!insertmacro MUI_PAGE_FINISH
!define MUI_FINISHPAGE_TEXT "BorvanIF è installato. L'installazione, in esecuzione come amministratore, non lo avvia: partirà al prossimo accesso a Windows (Esecuzione automatica), o dal menu Start."
!define MUI_PAGE_CUSTOMFUNCTION_PRE fine_senza_avvio
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Italian"

!if ${NSIS_PTR_SIZE} > 4
!define DIMENSIONE_STARTUPINFO 104
!define DIMENSIONE_PROCESSO 24
!else
!define DIMENSIONE_STARTUPINFO 68
!define DIMENSIONE_PROCESSO 16
!endif

; Says what happened: on the page, and with the date in BorvanIF-Setup.log in the installation's
; folder (in %TEMP% when that cannot be written), where a silent run leaves it for whoever
; pushed it.
!macro DEFINISCI_ANNOTA prefisso
Function ${prefisso}annota
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  DetailPrint $0
  ClearErrors
  FileOpen $1 "$INSTDIR\${REGISTRO_INSTALLAZIONE}" a
  ${If} ${Errors}
    ClearErrors
    FileOpen $1 "$TEMP\${REGISTRO_INSTALLAZIONE}" a
  ${EndIf}
  ${IfNot} ${Errors}
    FileSeek $1 0 END
    ${GetTime} "" "L" $2 $3 $4 $5 $6 $7 $8
    FileWrite $1 "$2-$3-$4 $6:$7:$8$\t$0$\r$\n"
    FileClose $1
  ${EndIf}
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINISCI_ANNOTA ""
!insertmacro DEFINISCI_ANNOTA "un."

; Gives up with exit code 2, saying why, unless silent in a box too. What was replaced is put
; back by .onInstFailed (the uninstaller removes nothing before it can give up).
!macro RINUNCIA testo
  Push "${testo}"
  !ifdef __UNINSTALL__
    Call un.annota
  !else
    Call annota
  !endif
  MessageBox MB_ICONSTOP "${testo}" /SD IDOK
  SetErrorLevel 2
  Abort "${testo}"
!macroend

; Who runs the setup: $utente, and $elevato 1 with an administrator's full rights (elevated),
; which $testo_elevato then tells on every page.
!macro DEFINISCI_ELEVATO prefisso
Function ${prefisso}elevato
  Push $0
  Push $1
  Push $2
  StrCpy $elevato 0
  ; TOKEN_QUERY; TokenElevation
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2'
  ${If} $2 <> 0
    System::Call 'advapi32::GetTokenInformation(p r1, i 20, *i .r0, i 4, *i .r2) i .r2'
    ${If} $2 <> 0
    ${AndIf} $0 <> 0
      StrCpy $elevato 1
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  ReadEnvStr $utente USERNAME
  StrCpy $testo_elevato ""
  ${If} $elevato = 1
    StrCpy $testo_elevato " - come amministratore ($utente)"
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINISCI_ELEVATO ""
!insertmacro DEFINISCI_ELEVATO "un."

; The shell variables and SHCTX of the mode: every user's folders and HKLM, or this user's.
!macro DEFINISCI_IMPOSTA_MODALITA prefisso
Function ${prefisso}imposta_modalita
  ${If} $tutti = 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINISCI_IMPOSTA_MODALITA ""
!insertmacro DEFINISCI_IMPOSTA_MODALITA "un."

; $0 stays empty while the file `nome` can be replaced or removed: it is missing, or nobody
; holds it. Otherwise it says who may: a scanner, a backup, or a BorvanIF that runs it from
; another session (that one's lock is tried first).
!macro PROVA_FILE nome
  ${If} $0 == ""
    ; GENERIC_WRITE, no sharing, OPEN_EXISTING
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${nome}", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p .r1 ?e'
    Pop $2
    ${If} $1 P<> -1
      System::Call 'kernel32::CloseHandle(p r1)'
    ${ElseIf} $2 <> 2
    ${AndIf} $2 <> 3
      StrCpy $0 "$INSTDIR\${nome} è in uso da un altro programma (un antivirus, un backup) e non può essere sostituito né tolto (errore $2): nulla è stato cambiato. Riprova tra poco."
    ${EndIf}
  ${EndIf}
!macroend

; Leaves in $0 why the installation's files cannot be replaced or removed now, empty when they
; can. The BorvanIF of this session has been closed by then: a lock still held is a BorvanIF
; that runs from this folder in another session, which no window of this one reaches.
!macro DEFINISCI_FILE_IN_USO prefisso
Function ${prefisso}file_in_uso
  Push $1
  Push $2
  StrCpy $0 ""
  ; GENERIC_READ, no sharing, OPEN_EXISTING
  System::Call 'kernel32::CreateFileW(w "$INSTDIR\BorvanIF.LCK", i 0x80000000, i 0, p 0, i 3, i 0, p 0) p .r1 ?e'
  Pop $2
  ${If} $1 P<> -1
    System::Call 'kernel32::CloseHandle(p r1)'
  ${ElseIf} $2 = 32
    StrCpy $0 "BorvanIF è in esecuzione da questa cartella in un'altra sessione di Windows (un altro utente connesso, o rimasto connesso): nulla è stato cambiato. Chiudilo in quella sessione, o riavvia il computer, e riprova."
  ${EndIf}
  !insertmacro PROVA_FILE "BorvanIF.exe"
  !insertmacro PROVA_FILE "ECRSIM.DLL"
  !insertmacro PROVA_FILE "LEGGIMI.txt"
  !insertmacro PROVA_FILE "Esempio\Scontr.ECR"
  !ifndef __UNINSTALL__
    ; The uninstaller runs from a copy of itself, or as itself with _?=.
    !insertmacro PROVA_FILE "Disinstalla.exe"
  !endif
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro DEFINISCI_FILE_IN_USO ""
!insertmacro DEFINISCI_FILE_IN_USO "un."

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
          !insertmacro RINUNCIA "BorvanIF non si è chiuso: nulla è stato cambiato. Chiudilo e riprova."
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

; Puts the shipped file `nome` in place, keeping the old one as `nome`.vecchio until every file
; is in place: a file that cannot be written (a full disk, a file held) leaves $non_sostituito
; set, and ripristina puts back the old ones of this run. The installation is whole, old or new.
!macro SOSTITUISCI nome sorgente
  ${If} $non_sostituito == ""
    IntOp $sostituiti $sostituiti + 1
    Delete "$INSTDIR\${nome}.vecchio"
    ClearErrors
    ${If} ${FileExists} "$INSTDIR\${nome}"
      Rename "$INSTDIR\${nome}" "$INSTDIR\${nome}.vecchio"
    ${EndIf}
    ${IfNot} ${Errors}
      File "/oname=${nome}" "${sorgente}"
    ${EndIf}
    ${If} ${Errors}
      StrCpy $non_sostituito "${nome}"
    ${EndIf}
  ${EndIf}
!macroend

!macro RIPRISTINA indice nome
  ${If} $sostituiti >= ${indice}
  ${AndIf} ${FileExists} "$INSTDIR\${nome}.vecchio"
    Delete "$INSTDIR\${nome}"
    Rename "$INSTDIR\${nome}.vecchio" "$INSTDIR\${nome}"
  ${EndIf}
!macroend

!macro CONFERMA indice nome
  Delete "$INSTDIR\${nome}.vecchio"
!macroend

; The shipped files in the order they are replaced.
!macro OGNI_FILE azione
  !insertmacro ${azione} 1 "BorvanIF.exe"
  !insertmacro ${azione} 2 "LEGGIMI.txt"
  !insertmacro ${azione} 3 "Esempio\Scontr.ECR"
  !insertmacro ${azione} 4 "Disinstalla.exe"
  !insertmacro ${azione} 5 "ECRSIM.DLL"
!macroend

Function ripristina
  !insertmacro OGNI_FILE RIPRISTINA
FunctionEnd

; An installation that gave up puts back what it had replaced, and the BorvanIF it had closed.
Function .onInstFailed
  Call ripristina
  ${If} $borvanif_era_attivo = 1
    Call avvia_borvanif
  ${EndIf}
FunctionEnd

Section "BorvanIF" SEZ_PROGRAMMA
  SectionIn RO
  StrCpy $non_sostituito ""
  StrCpy $sostituiti 0
  Call prova_nome_cartella
  ${If} $0 = 0
    !insertmacro RINUNCIA "Nome di cartella non utilizzabile: $INSTDIR"
  ${EndIf}
  Call prova_cartella
  ${If} $0 = 0
    !insertmacro RINUNCIA "Impossibile scrivere in $INSTDIR"
  ${EndIf}
  ${If} $tutti = 1
  ${AndIf} $elevato = 0
    !insertmacro RINUNCIA "Per installare BorvanIF per tutti gli utenti servono i diritti di amministratore: avvia l'installazione con $\"Esegui come amministratore$\"."
  ${EndIf}
  ReadRegStr $0 HKLM "${CHIAVE_DISINSTALLA}" "InstallLocation"
  ${If} $tutti = 0
  ${AndIf} $elevato = 0
  ${AndIf} $0 == $INSTDIR
    !insertmacro RINUNCIA "BorvanIF è installato in $INSTDIR per tutti gli utenti: per aggiornarlo avvia l'installazione con $\"Esegui come amministratore$\"."
  ${EndIf}
  Call chiudi_borvanif
  Call file_in_uso
  ${If} $0 != ""
    !insertmacro RINUNCIA "$0"
  ${EndIf}
  ; For every user, the folder is every user's to write in, whoever made it: BorvanIF writes
  ; its settings, results, log and journal there as whoever runs the till.
  ${If} $tutti = 1
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR" /grant ${SID_UTENTI}:(OI)(CI)M'
    Pop $0
    ${If} $0 != 0
      !insertmacro RINUNCIA "Impossibile permettere agli utenti di scrivere in $INSTDIR (icacls: $0)"
    ${EndIf}
  ${EndIf}
  ; Only the files shipped here are replaced: BorvanIF.CFG, the result file, the log and the
  ; journal stay as they are.
  SetOutPath "$INSTDIR"
  SetOverwrite try
  !insertmacro SOSTITUISCI "BorvanIF.exe" "${PROGRAMMA}"
  !insertmacro SOSTITUISCI "LEGGIMI.txt" "${LEGGIMI}"
  ; In a folder of its own: as Scontr.ECR beside the program it would be printed at once.
  CreateDirectory "$INSTDIR\Esempio"
  !insertmacro SOSTITUISCI "Esempio\Scontr.ECR" "${ESEMPIO}"
  ${If} $non_sostituito == ""
    IntOp $sostituiti $sostituiti + 1
    Delete "$INSTDIR\Disinstalla.exe.vecchio"
    ClearErrors
    ${If} ${FileExists} "$INSTDIR\Disinstalla.exe"
      Rename "$INSTDIR\Disinstalla.exe" "$INSTDIR\Disinstalla.exe.vecchio"
    ${EndIf}
    ${IfNot} ${Errors}
      WriteUninstaller "$INSTDIR\Disinstalla.exe"
    ${EndIf}
    ${If} ${Errors}
    ${OrIfNot} ${FileExists} "$INSTDIR\Disinstalla.exe"
      StrCpy $non_sostituito "Disinstalla.exe"
    ${EndIf}
  ${EndIf}
  ${If} $non_sostituito != ""
    !insertmacro RINUNCIA "Impossibile scrivere $INSTDIR\$non_sostituito: BorvanIF è rimasto com'era."
  ${EndIf}
SectionEnd

Section "Avvio con Windows" SEZ_AVVIO
  ; A resident program that is not running prints nothing.
  CreateShortcut "$SMSTARTUP\BorvanIF.lnk" "$INSTDIR\BorvanIF.exe"
SectionEnd

!ifdef ECRSIM
Section /o "Cassa simulata ECRSIM.DLL (solo per le prove)" SEZ_ECRSIM
  ; Copied only: registering it is the operator's choice, and never on a shop's till.
  !insertmacro SOSTITUISCI "ECRSIM.DLL" "${ECRSIM}"
  ${If} $non_sostituito != ""
    !insertmacro RINUNCIA "Impossibile scrivere $INSTDIR\$non_sostituito: BorvanIF è rimasto com'era."
  ${EndIf}
SectionEnd
!endif

; The mode's entries replace the other mode's for this folder: a folder has one installation.
Function togli_altra_modalita
  ${If} $tutti = 1
    ReadRegStr $0 HKCU "${CHIAVE_DISINSTALLA}" "InstallLocation"
    ${If} $0 == $INSTDIR
      DeleteRegKey HKCU "${CHIAVE_DISINSTALLA}"
      SetShellVarContext current
      Delete "$SMPROGRAMS\BorvanIF.lnk"
      Delete "$SMSTARTUP\BorvanIF.lnk"
    ${EndIf}
  ${Else}
    ReadRegStr $0 HKLM "${CHIAVE_DISINSTALLA}" "InstallLocation"
    ${If} $0 == $INSTDIR
      DeleteRegKey HKLM "${CHIAVE_DISINSTALLA}"
      SetShellVarContext all
      Delete "$SMPROGRAMS\BorvanIF.lnk"
      Delete "$SMSTARTUP\BorvanIF.lnk"
    ${EndIf}
  ${EndIf}
  Call imposta_modalita
FunctionEnd

; Every file is in place: the entry in "Apps and features" says the new version from now on.
Section "-Conclusione"
  !insertmacro OGNI_FILE CONFERMA
  Call togli_altra_modalita
  CreateShortcut "$SMPROGRAMS\BorvanIF.lnk" "$INSTDIR\BorvanIF.exe"
  ${IfNot} ${SectionIsSelected} ${SEZ_AVVIO}
    Delete "$SMSTARTUP\BorvanIF.lnk"
  ${EndIf}
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "DisplayName" "BorvanIF"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "DisplayVersion" "${VERSIONE}"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "DisplayIcon" "$INSTDIR\BorvanIF.exe"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "Publisher" "${EDITORE}"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "UninstallString" '"$INSTDIR\Disinstalla.exe"'
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "QuietUninstallString" '"$INSTDIR\Disinstalla.exe" /S'
  WriteRegDWORD SHCTX "${CHIAVE_DISINSTALLA}" "NoModify" 1
  WriteRegDWORD SHCTX "${CHIAVE_DISINSTALLA}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${CHIAVE_DISINSTALLA}" "EstimatedSize" "$0"
  ${If} $tutti = 1
    StrCpy $0 "per tutti gli utenti"
  ${Else}
    StrCpy $0 "per l'utente $utente"
  ${EndIf}
  Push "BorvanIF ${VERSIONE} installato in $INSTDIR $0."
  Call annota
  ; An unattended upgrade must not leave the till without its printing program; interactively
  ; the finish page offers to start it.
  ${If} ${Silent}
  ${AndIf} $borvanif_era_attivo = 1
    Call avvia_borvanif
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SEZ_PROGRAMMA} "Il programma, questo documento e un file comandi di esempio."
  !insertmacro MUI_DESCRIPTION_TEXT ${SEZ_AVVIO} "Avvia BorvanIF all'accesso a Windows: se non è in esecuzione non stampa."
!ifdef ECRSIM
  !insertmacro MUI_DESCRIPTION_TEXT ${SEZ_ECRSIM} "Il controllo che simula la cassa, per le macchine di prova. Non viene registrato: mai su una cassa vera."
!endif
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Run elevated, for every user unless /CURRENTUSER; otherwise for this user, and /ALLUSERS
; gives up. The folder proposed is the installation's it replaces (every user's first), unless
; /D= chose one.
Function .onInit
  StrCpy $borvanif_era_attivo 0
  Call elevato
  StrCpy $tutti $elevato
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $tutti 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/CURRENTUSER" $1
  ${IfNot} ${Errors}
    StrCpy $tutti 0
  ${EndIf}
!ifdef ECRSIM
  ; /ECRSIM: the stand-in control too, for unattended installs on test machines.
  ClearErrors
  ${GetOptions} $0 "/ECRSIM" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SEZ_ECRSIM}
  ${EndIf}
!endif
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${CHIAVE_DISINSTALLA}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKCU "${CHIAVE_DISINSTALLA}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "C:\BorvanIF"
  ${EndIf}
  Call imposta_modalita
FunctionEnd

; For whom BorvanIF starts. Run as a plain user, only for that user: the other choice needs the
; administrator's rights, and the page says how to get them.
Function pagina_utenti
  !insertmacro MUI_HEADER_TEXT "Utenti" "Per chi avviare BorvanIF su questo computer."
  nsDialogs::Create 1018
  Pop $0
  ${If} $elevato = 1
    StrCpy $1 "L'installazione è in esecuzione come amministratore (utente $utente).$\r$\n$\r$\nPer tutti gli utenti, BorvanIF parte all'accesso di chiunque usi questo computer, l'utente della cassa compreso. Solo per $utente, l'utente della cassa non lo vedrebbe partire."
  ${Else}
    StrCpy $1 "L'installazione è in esecuzione come $utente, senza i diritti di amministratore: BorvanIF viene installato solo per questo utente.$\r$\n$\r$\nPer installarlo per tutti gli utenti, per esempio da un account di amministratore per l'utente della cassa, chiudi l'installazione e avviala con $\"Esegui come amministratore$\"."
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 64u $1
  Pop $0
  ${NSD_CreateRadioButton} 10u 72u 90% 12u "Per tutti gli utenti di questo computer"
  Pop $scelta_tutti
  ${NSD_CreateRadioButton} 10u 88u 90% 12u "Solo per l'utente $utente"
  Pop $scelta_utente
  ${If} $elevato = 0
    EnableWindow $scelta_tutti 0
    StrCpy $tutti 0
  ${EndIf}
  ${If} $tutti = 1
    ${NSD_Check} $scelta_tutti
  ${Else}
    ${NSD_Check} $scelta_utente
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function pagina_utenti_lasciata
  ${NSD_GetState} $scelta_tutti $0
  StrCpy $tutti 0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $tutti 1
  ${EndIf}
  Call imposta_modalita
FunctionEnd

; Leaves in $0 a token of the session's desktop shell, for a process of the user at the screen
; with that user's ordinary rights; 0 when there is none (no shell: a setup run as the system).
Function token_della_shell
  Push $1
  Push $2
  Push $3
  StrCpy $0 0
  System::Call 'user32::GetShellWindow() p .r1'
  ${If} $1 P<> 0
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r2) p .r1'
    ${If} $1 P<> 0
      ; TOKEN_DUPLICATE; then query, assign primary, duplicate, adjust default and session
      System::Call 'advapi32::OpenProcessToken(p r1, i 2, *p .r2) i .r3'
      ${If} $3 <> 0
        System::Call 'advapi32::DuplicateTokenEx(p r2, i 0x18B, p 0, i 2, i 1, *p .r0) i .r3'
        ${If} $3 = 0
          StrCpy $0 0
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Starts BorvanIF as the user at the screen, never with the setup's administrator's rights: a
; program the till user runs elevated loads whatever lands in a folder every user writes in.
; Elevated, through the desktop shell's token (the till user's, whoever's account the setup runs
; as); without a shell it is left to the Startup shortcut, at the next logon.
Function avvia_borvanif
  Push $0
  Push $1
  Push $2
  Push $3
  ${If} $elevato = 0
    Exec '"$INSTDIR\BorvanIF.exe"'
  ${Else}
    Call token_della_shell
    StrCpy $3 0
    ${If} $0 P<> 0
      System::Alloc ${DIMENSIONE_STARTUPINFO}
      Pop $1
      System::Call '*$1(i ${DIMENSIONE_STARTUPINFO})'
      System::Alloc ${DIMENSIONE_PROCESSO}
      Pop $2
      System::Call 'advapi32::CreateProcessWithTokenW(p r0, i 0, p 0, w $\'"$INSTDIR\BorvanIF.exe"$\', i 0, p 0, w "$INSTDIR", p r1, p r2) i .r3'
      System::Free $1
      ${If} $3 <> 0
        System::Call '*$2(p .r1, p .r3)'
        System::Call 'kernel32::CloseHandle(p r1)'
        System::Call 'kernel32::CloseHandle(p r3)'
        StrCpy $3 1
      ${EndIf}
      System::Free $2
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    ${If} $3 = 0
      Push "BorvanIF non è stato avviato dall'installazione, che è in esecuzione come amministratore: partirà al prossimo accesso a Windows (Esecuzione automatica)."
      Call annota
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Leaves 1 in $0 when the setup can start BorvanIF as the user at the screen.
Function avviabile
  StrCpy $0 1
  ${If} $elevato = 1
    Call token_della_shell
    ${If} $0 P<> 0
      System::Call 'kernel32::CloseHandle(p r0)'
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
FunctionEnd

Function fine_con_avvio
  Call avviabile
  ${If} $0 = 0
    Abort
  ${EndIf}
FunctionEnd

Function fine_senza_avvio
  Call avviabile
  ${If} $0 = 1
    Abort
  ${EndIf}
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

; Nothing is removed unless everything can be: a BorvanIF running from this folder in another
; session, or a file another program holds, ends the uninstaller with code 2, the installation
; and its entry as they were.
Section "un.BorvanIF" USEZ_PROGRAMMA
  SectionIn RO
  Call un.chiudi_borvanif
  Call un.file_in_uso
  ${If} $0 != ""
    !insertmacro RINUNCIA "$0"
  ${EndIf}
  Call un.togli_registrazione_ecrsim
  ClearErrors
  Delete "$INSTDIR\BorvanIF.exe"
  ${If} ${Errors}
    !insertmacro RINUNCIA "Impossibile togliere $INSTDIR\BorvanIF.exe: BorvanIF è rimasto installato."
  ${EndIf}
  ; The lock of the program just closed: it holds nothing of the operator's. The setup's notes
  ; are the installation's.
  Delete "$INSTDIR\BorvanIF.LCK"
  Delete "$INSTDIR\${REGISTRO_INSTALLAZIONE}"
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
  Delete "$INSTDIR\${REGISTRO_INSTALLAZIONE}"
  Delete "$INSTDIR\BorvanIF.NODEP"
SectionEnd

Section "-un.Conclusione"
  ; The folder goes only when nothing else is left in it.
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${CHIAVE_DISINSTALLA}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${USEZ_PROGRAMMA} "Il programma, i suoi collegamenti e la voce tra le app installate."
  !insertmacro MUI_DESCRIPTION_TEXT ${USEZ_DATI} "BorvanIF.CFG, Result.TXT, il registro BorvanIF.LOG, il giornale dei lavori e i file della cassa simulata. Senza questa scelta restano nella cartella."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

; Installed for every user when the computer's entry names this folder: its shortcuts and entry
; are removed only with the administrator's rights.
Function un.onInit
  StrCpy $borvanif_era_attivo 0
  StrCpy $ecrsim_registrato 0
  Call un.elevato
  StrCpy $tutti 0
  ReadRegStr $0 HKLM "${CHIAVE_DISINSTALLA}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $tutti 1
  ${EndIf}
  Call un.imposta_modalita
  ${If} $tutti = 1
  ${AndIf} $elevato = 0
    !insertmacro RINUNCIA "BorvanIF è installato in $INSTDIR per tutti gli utenti: per disinstallarlo servono i diritti di amministratore."
  ${EndIf}
FunctionEnd
