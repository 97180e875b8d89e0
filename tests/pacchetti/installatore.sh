#!/bin/sh
# The installer's round trip, in a Wine prefix of its own (made once per build
# folder, and afresh when an earlier run left the game in it): the silent
# install puts the game's files (contenuto.sh) and the uninstaller into
# Program Files and the entry into the list of installed programs; the
# Start-menu shortcut starts the game in its folder and the game plays there
# (test_pacchetto, Installato.*). Then installs over it: into another
# folder; while the game runs (the uninstaller and the installer refuse,
# with exit code 2, and change nothing); an installer of the same files
# reporting an older version (made here from CPack's script, PROJECT.nsi,
# with makensis) and this one again: after each, exactly one copy of the
# game, one shortcut to it and one entry, with the version just installed.
# Then what can go wrong around an install: a copy of the game running from
# the folder to install to while the install is elsewhere (the installer
# refuses before it changes anything); a file of the user's in the game's
# folder (upgrades and the uninstaller leave it); an earlier install whose
# uninstaller was deleted, one that recorded no list of its files (as 1.95
# did), one whose uninstaller fails (the installer removes each itself, file
# by file); a read-only exe in an install of 1.95's kind, uninstalled by a
# root that has dropped its override of file permissions (setpriv), as a
# player meets them. The game started through a second drive letter and
# through a symbolic link to its folder: the installer and the registered
# quiet uninstall command refuse, and a second copy through the link leaves
# the first one's log byte for byte. A list of the install's files tampered
# with (wildcards, paths out of the folder, a short name, a line through a
# link, a name no package has): upgrades with the uninstaller there, missing
# or failing, and the uninstaller, remove none of the user's files. A file
# the uninstaller cannot remove keeps the install listed.
# The registered quiet uninstall command then leaves no file, no shortcut and
# no entry, and the prefix's files as they were before (but for the user's
# file).
#   installatore.sh SETUP.exe VERSION PUBLISHER PREFIX HTML TEST.exe AUTOMA.exe PROJECT.nsi
set -eu
setup=$1 versione=$2 editore=$3 prefisso=$4 html=$5 prova=$6 automa=$7 progetto=$8
qui=$(cd "$(dirname "$0")" && pwd)
radice=$(cd "$qui/../.." && pwd)
. "$qui/contenuto.sh"

male() {
    echo "installatore.sh: $*" >&2
    exit 1
}
esegui() { "$radice/scripts/wine-esegui" "$prefisso" "$@"; }
# Until every process of the prefix has ended: the uninstaller goes on in a
# copy of itself after the first one returns.
attendi() { WINEPREFIX="$prefisso" wineserver -w; }
# Anything of the game's anywhere in the prefix: files or registry.
tracce() {
    find "$prefisso/drive_c" -iname '*vorandel*' -o -iname 'voran32.log'
    grep -il vorandel "$prefisso"/*.reg || true
}
# The prefix's files, but for the temporary folders.
elenco() { (cd "$prefisso/drive_c" && find . | grep -iv '/temp\(/\|$\)' | LC_ALL=C sort); }

cartella="$prefisso/drive_c/Program Files/Vorandel 32"
altra="$prefisso/drive_c/Giochi/Vorandel32"
altra_win='C:\Giochi\Vorandel32'
terza="$prefisso/drive_c/Giochi/Terza"
terza_win='C:\Giochi\Terza'
chiave='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorandel 32'

if [ -f "$prefisso/.pronto" ] && [ -n "$(tracce)" ]; then
    echo "installatore.sh: an earlier run left the game in $prefisso: making the prefix afresh"
    rm -rf "$prefisso"
fi
"$radice/scripts/prefisso-wine" "$prefisso"
attendi
# No program of the prefix outlives the test, whatever check fails (the game
# started below would run on, holding the test's output open), and the
# second drive letter made below goes.
trap 'WINEPREFIX="$prefisso" wineserver -k 2>/dev/null || true; rm -f "$prefisso/dosdevices/s:"' EXIT
prima=$(elenco)

echo "installatore.sh: $(basename "$setup") /S"
esegui "$setup" /S
attendi
[ -d "$cartella" ] || male "nothing was installed in $cartella"
contenuto "$cartella" "$html" "$versione" Uninstall.exe Uninstall.lst

voce=$(esegui reg query "$chiave" | tr -d '\r') || male "no entry $chiave"
valore() { printf '%s\n' "$voce" | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
for coppia in "DisplayName=Vorandel 32" "DisplayVersion=$versione" "Publisher=$editore" \
    'DisplayIcon=C:\Program Files\Vorandel 32\vorandel32.exe,0' \
    'UninstallString="C:\Program Files\Vorandel 32\Uninstall.exe"'; do
    nome=${coppia%%=*}
    [ "$(valore "$nome")" = "${coppia#*=}" ] || male "the entry's $nome is \"$(valore "$nome")\", not \"${coppia#*=}\""
done
kb=$(($(valore EstimatedSize)))
reale=$(du -sk "$cartella" | cut -f1)
[ "$kb" -gt $((reale / 2)) ] && [ "$kb" -le "$reale" ] || male "the entry's size is $kb KB for $reale KB installed"
echo "installatore.sh: installed, $kb KB, entry as expected"

# Exactly one install: the game only in FOLDER (as Wine shows it, and as
# Windows names it: WINFOLDER), holding the game's files (and MORE), one
# entry naming that folder and VERSION, one shortcut, to the game there.
#   uno_solo FOLDER WINFOLDER VERSION [MORE...]
uno_solo() {
    u_cartella=$1 u_win=$2 u_versione=$3
    shift 3
    u_giochi=$(find "$prefisso/drive_c" -iname vorandel32.exe)
    [ "$u_giochi" = "$u_cartella/vorandel32.exe" ] || male "the game should be only in $u_cartella, it is in: $u_giochi"
    contenuto "$u_cartella" "$html" "$versione" Uninstall.exe Uninstall.lst "$@"
    u_voci=$(esegui reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
        grep -c 'DisplayName *REG_SZ *Vorandel 32$' || true)
    [ "$u_voci" -eq 1 ] || male "$u_voci entries for Vorandel 32 in the list of installed programs"
    voce=$(esegui reg query "$chiave" | tr -d '\r')
    for coppia in "DisplayVersion=$u_versione" "InstallLocation=$u_win" "UninstallString=\"$u_win\\Uninstall.exe\"" \
        "QuietUninstallString=\"$u_win\\Uninstall.exe\" /S /FINE _?=$u_win"; do
        nome=${coppia%%=*}
        [ "$(valore "$nome")" = "${coppia#*=}" ] || male "the entry's $nome is \"$(valore "$nome")\", not \"${coppia#*=}\""
    done
    u_collegamenti=$(find "$prefisso/drive_c" -iname '*vorandel*.lnk')
    [ "$(printf '%s\n' "$u_collegamenti" | grep -c .)" -eq 1 ] || male "shortcuts: $u_collegamenti"
    grep -aqF "$u_win\\vorandel32.exe" "$u_collegamenti" || male "the shortcut does not start $u_win\\vorandel32.exe"
    echo "installatore.sh: one install, version $u_versione, in $u_win"
}
uno_solo "$cartella" 'C:\Program Files\Vorandel 32' "$versione"

VORANDEL_AUTOMA="$automa" esegui "$prova" --gtest_filter='Installato.*' || male "the installed game did not play"
attendi
[ -f "$cartella/voran32.log" ] || male "the game wrote no log in $cartella"

# Into another folder: the first install goes, log and all.
echo "installatore.sh: $(basename "$setup") /S /D=$altra_win"
esegui "$setup" /S "/D=$altra_win"
attendi
[ ! -e "$cartella" ] || male "the install in another folder left $cartella: $(ls -A "$cartella" | tr '\n' ' ')"
uno_solo "$altra" "$altra_win" "$versione"

# Started from a folder (through the path WINFOLDER), the game runs until
# the test ends it. Its log is made after its folder's mutexes: once the log
# is there, the game is seen running. The log's arrival is polled for, with
# a limit only a game that never starts reaches.
#   avvia FOLDER WINFOLDER
avvia() {
    rm -f "$1/voran32.log"
    (cd "$1" && esegui "$2\\vorandel32.exe" >/dev/null 2>&1 &)
    a_attesa=0
    until [ -f "$1/voran32.log" ]; do
        [ $a_attesa -lt 240 ] || male "the game did not start in $2 within 2 minutes"
        sleep 0.5
        a_attesa=$((a_attesa + 1))
    done
}

# While the game runs there, neither the uninstaller nor the installer
# touches anything: both end with exit code 2.
avvia "$altra" "$altra_win"
prima_del_rifiuto=$(cd "$altra" && find . | LC_ALL=C sort)
echo "installatore.sh: Uninstall.exe /S _?=$altra_win while the game runs"
codice=0
esegui "$altra_win\\Uninstall.exe" /S "_?=$altra_win" || codice=$?
[ "$codice" -eq 2 ] || male "the uninstaller ended with $codice while the game ran, not 2"
echo "installatore.sh: $(basename "$setup") /S while the game runs"
codice=0
esegui "$setup" /S || codice=$?
[ "$codice" -eq 2 ] || male "the installer ended with $codice while the game ran, not 2"
[ "$(cd "$altra" && find . | LC_ALL=C sort)" = "$prima_del_rifiuto" ] || male "a refusal changed the files in $altra"
WINEPREFIX="$prefisso" wineserver -k
attendi
uno_solo "$altra" "$altra_win" "$versione" voran32.log

# An older version over it, then this one: each replaces the other, in the
# folder the entry names.
vecchio="$prefisso/../setup-vecchio.exe"
makensis -V1 -DVERSIONE=1.0 "-DUSCITA=$vecchio" "$progetto" || male "makensis did not make the older installer"
echo "installatore.sh: setup-vecchio.exe (version 1.0) /S"
esegui "$vecchio" /S
attendi
uno_solo "$altra" "$altra_win" 1.0
echo "installatore.sh: $(basename "$setup") /S"
esegui "$setup" /S
attendi
uno_solo "$altra" "$altra_win" "$versione"

# The list each install records: every file it put there, then its folder.
elenco_atteso=$( (cd "$altra" && find . -type f ! -name 'Uninstall.*' ! -name voran32.log | sed 's|^\./||' | LC_ALL=C sort | tr / '\\'
    echo 'manuale\') | sed 's/$/\r/')
[ "$(cat "$altra/Uninstall.lst")" = "$elenco_atteso" ] || male "Uninstall.lst is not the list of the files installed: $(cat "$altra/Uninstall.lst")"

# The files under FOLDER, and the entry, as they are.
stato() { (cd "$1" && find . | LC_ALL=C sort); esegui reg query "$chiave" | tr -d '\r'; }

# A copy of the game running from the folder to install to, while the
# install is in another: the installer refuses before it touches either.
copia="$prefisso/drive_c/Copia"
copia_win='C:\Copia'
mkdir -p "$copia"
cp "$altra/vorandel32.exe" "$altra/Tutto261.dib" "$copia/"
avvia "$copia" "$copia_win"
prima_del_rifiuto="$(stato "$altra")$(stato "$copia")"
echo "installatore.sh: $(basename "$setup") /S /D=$copia_win while the game runs there"
codice=0
esegui "$setup" /S "/D=$copia_win" || codice=$?
[ "$codice" -eq 2 ] || male "the installer ended with $codice while the game ran in the folder to install to, not 2"
[ "$(stato "$altra")$(stato "$copia")" = "$prima_del_rifiuto" ] || male "the refusal changed $altra_win or $copia_win"
WINEPREFIX="$prefisso" wineserver -k
attendi
rm -rf "$copia"
uno_solo "$altra" "$altra_win" "$versione"

# A file of the user's in the game's folder stays through an upgrade.
echo "mine" >"$altra/appunti.txt"
echo "installatore.sh: $(basename "$setup") /S over a folder holding a file of the user's"
esegui "$setup" /S
attendi
uno_solo "$altra" "$altra_win" "$versione" appunti.txt

# The registered quiet uninstall command of the install there is, run as it
# stands: its exit code.
silenzioso() {
    s_comando=$(esegui reg query "$chiave" /v QuietUninstallString | tr -d '\r' |
        sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
    s_exe=${s_comando#\"}
    s_exe=${s_exe%%\"*}
    s_codice=0
    # The arguments hold no spaces here: split as a command line would.
    # shellcheck disable=SC2086
    esegui "$s_exe" ${s_comando#\"*\" } || s_codice=$?
    return $s_codice
}

# The game started through another path to its folder: a second drive
# letter for C: (as subst makes one) and a symbolic link to the folder. The
# installer and the registered quiet uninstall command refuse with exit code
# 2, and change nothing.
#   rifiuta_da WINFOLDER
rifiuta_da() {
    avvia "$altra" "$1"
    r_prima="$(stato "$altra")$(find "$prefisso/drive_c" -iname '*vorandel*.lnk')"
    echo "installatore.sh: $(basename "$setup") /S and the quiet uninstall while the game runs from $1"
    r_codice=0
    esegui "$setup" /S || r_codice=$?
    [ "$r_codice" -eq 2 ] || male "the installer ended with $r_codice while the game ran from $1, not 2"
    r_codice=0
    silenzioso || r_codice=$?
    [ "$r_codice" -eq 2 ] || male "the quiet uninstall command ended with $r_codice while the game ran from $1, not 2"
    [ "$(stato "$altra")$(find "$prefisso/drive_c" -iname '*vorandel*.lnk')" = "$r_prima" ] ||
        male "a refusal changed $altra_win while the game ran from $1"
}
ln -sfn ../drive_c "$prefisso/dosdevices/s:"
rifiuta_da 'S:\Giochi\Vorandel32'
WINEPREFIX="$prefisso" wineserver -k
attendi
collegamento="$prefisso/drive_c/Collegamento"
ln -sfn "$altra" "$collegamento"
rifiuta_da 'C:\Collegamento'
# A second copy started in the folder through the link (here one without its
# sprite sheet, which ends at once) leaves the first copy's log byte for byte.
cp "$altra/voran32.log" "$prefisso/../log-prima"
mv "$altra/Tutto261.dib" "$prefisso/../Tutto261.dib"
esegui start /wait /d 'C:\Collegamento' 'C:\Collegamento\vorandel32.exe' || male "the second copy through the link failed"
mv "$prefisso/../Tutto261.dib" "$altra/Tutto261.dib"
cmp "$prefisso/../log-prima" "$altra/voran32.log" || male "a second copy through a link changed the first copy's log"
rm "$prefisso/../log-prima" "$collegamento" "$prefisso/dosdevices/s:"
WINEPREFIX="$prefisso" wineserver -k
attendi
rm "$altra/voran32.log"
uno_solo "$altra" "$altra_win" "$versione" appunti.txt

# A list of the install's files tampered with, the user's files around it:
# no upgrade, whether the earlier uninstaller is there, missing or failing,
# and no uninstall removes any of them. The lines: wildcards, a path from
# the root, through a drive, UNC, with "..", ".", trailing dots or spaces or
# an empty component, short names (Wine's for "appunti della partita.txt",
# and Windows' kind), a line through a symbolic link inside the folder to a
# folder outside it, and a name no package has.
fuori="$prefisso/drive_c/Fuori"
# The user's files in FOLDER and outside it, and the link.
utente_crea() {
    echo mine >"$1/appunti.txt"
    echo mine >"$1/partita.sav"
    echo mine >"$1/appunti della partita.txt"
    echo mine >"$1/manuale/note.txt"
    mkdir -p "$fuori"
    echo mine >"$fuori/vittima.txt"
    echo mine >"$prefisso/drive_c/vittima.txt"
    echo mine >"$prefisso/drive_c/Giochi/vittima.txt"
    ln -sfn "$fuori" "$1/fuori"
}
utente_attesi=$(printf '%s\n' . './appunti della partita.txt' ./appunti.txt ./fuori ./manuale ./manuale/note.txt ./partita.sav)
# After an upgrade from FOLDER (or its uninstall): exactly the user's files
# there, and those outside; then they go.
utente_restano() {
    [ "$(cd "$1" && find . | LC_ALL=C sort)" = "$utente_attesi" ] ||
        male "$2 left in $1, or removed a file of the user's: $(cd "$1" && find . | tr '\n' ' ')"
    for f in "$fuori/vittima.txt" "$prefisso/drive_c/vittima.txt" "$prefisso/drive_c/Giochi/vittima.txt"; do
        [ -f "$f" ] || male "$2 removed $f, outside the install"
    done
    rm -r "$1" "$fuori" "$prefisso/drive_c/vittima.txt" "$prefisso/drive_c/Giochi/vittima.txt"
}
# The lines added to the list of the install in FOLDER (WINFOLDER).
manometti() {
    m_corto=$(esegui cmd /c "dir /x $2" | tr -d '\r' | sed -n 's/.* \([^ ]*~[^ ]*\) *appunti della partita\.txt$/\1/p')
    [ -n "$m_corto" ] || male "no short name for \"appunti della partita.txt\" in $2"
    for riga in '*' '*.*' '*.txt' 'manuale\*' '?ppunti.txt' '<ppunti.txt' 'appunti">txt' \
        'C:\vittima.txt' 'C:vittima.txt' '\vittima.txt' '..\vittima.txt' '..\..\vittima.txt' \
        '\\localhost\C$\vittima.txt' '\\?\C:\vittima.txt' '/vittima.txt' \
        "$m_corto" 'APPUNT~1.TXT' 'manuale\\note.txt' '.\partita.sav' 'appunti.txt.' 'partita.sav ' \
        'appunti.txt:$DATA' 'fuori\vittima.txt' 'fuori\' 'dati\altro.bin' 'dati\'; do
        printf '%s\r\n' "$riga"
    done >>"$1/Uninstall.lst"
}
#   giro HOW FROM FROMWIN TO TOWIN
giro() {
    utente_crea "$2"
    manometti "$2" "$3"
    case $1 in
    mancante) rm "$2/Uninstall.exe" ;;
    guasto) cp "$prefisso/drive_c/windows/system32/reg.exe" "$2/Uninstall.exe" ;;
    esac
    echo "installatore.sh: $(basename "$setup") /S /D=$5 over a tampered list, the uninstaller $1"
    esegui "$setup" /S "/D=$5"
    attendi
    utente_restano "$2" "the upgrade with the uninstaller $1"
    uno_solo "$4" "$5" "$versione"
}
rm "$altra/appunti.txt"
giro presente "$altra" "$altra_win" "$terza" "$terza_win"
giro mancante "$terza" "$terza_win" "$altra" "$altra_win"
giro guasto "$altra" "$altra_win" "$terza" "$terza_win"
utente_crea "$terza"
manometti "$terza" "$terza_win"
echo "installatore.sh: Uninstall.exe /S over a tampered list"
esegui "$terza_win\\Uninstall.exe" /S
attendi
utente_restano "$terza" "the uninstaller"
[ -z "$(tracce)" ] || male "the uninstaller over a tampered list left: $(tracce)"
esegui "$setup" /S "/D=$altra_win"
attendi
echo "mine" >"$altra/appunti.txt"
uno_solo "$altra" "$altra_win" "$versione" appunti.txt

# Its uninstaller deleted: the next install, elsewhere, removes the earlier
# one by its list, and only what the list names (the user's file stays).
rm "$altra/Uninstall.exe"
echo "installatore.sh: $(basename "$setup") /S /D=$terza_win after Uninstall.exe was deleted"
esegui "$setup" /S "/D=$terza_win"
attendi
[ "$(ls -A "$altra")" = appunti.txt ] || male "the install without uninstaller left in $altra_win: $(ls -A "$altra" | tr '\n' ' ')"
rm "$altra/appunti.txt"
rmdir "$altra"
uno_solo "$terza" "$terza_win" "$versione"

# An install of 1.95's kind (no list) without its uninstaller: removed by the
# list of the files 1.95 shipped.
rm "$terza/Uninstall.exe" "$terza/Uninstall.lst"
# 1.95 shipped fewer of the manual's files than this release: those it did
# not ship go too, so that the folder is the one 1.95 left.
elenco_195="$radice/cmake/nsis/elenco-1.95.nsh"
(cd "$terza" && find . -type f) | sed 's|^\./||' | while IFS= read -r f; do
    grep -qxF "!insertmacro VOCE \"$(printf '%s' "$f" | tr / '\\')\"" "$elenco_195" || rm "$terza/$f"
done
echo "installatore.sh: $(basename "$setup") /S /D=$altra_win over an install of 1.95's kind without uninstaller"
esegui "$setup" /S "/D=$altra_win"
attendi
[ ! -e "$terza" ] || male "the install of 1.95's kind left $terza_win: $(ls -A "$terza" | tr '\n' ' ')"
uno_solo "$altra" "$altra_win" "$versione"

# An uninstaller that fails (here a program that ends with an error whatever
# it is asked): the installer removes the earlier install itself.
cp "$prefisso/drive_c/windows/system32/reg.exe" "$altra/Uninstall.exe"
codice=0
esegui "$altra_win\\Uninstall.exe" /S "_?=$altra_win" >/dev/null 2>&1 || codice=$?
[ "$codice" -ne 0 ] || male "the failing uninstaller of the test did not fail"
echo "installatore.sh: $(basename "$setup") /S /D=$terza_win when the earlier uninstaller fails"
esegui "$setup" /S "/D=$terza_win"
attendi
[ ! -e "$altra" ] || male "the install whose uninstaller failed left $altra_win: $(ls -A "$altra" | tr '\n' ' ')"
uno_solo "$terza" "$terza_win" "$versione"

# An install of 1.95's kind, whose game holds no mutex: a game running there
# is seen in its exe, also a read-only one, and a read-only exe that does
# not run is no running game. Run by a root without its override of file
# permissions, as a player is (the Wine server too, started afresh so): a
# read-only file cannot be opened for writing. Wine's notepad under the
# game's name stands for 1.95's game: it runs until it is ended.
senza_override() { setpriv --inh-caps=-all --bounding-set=-all "$radice/scripts/wine-esegui" "$prefisso" "$@"; }
rm "$terza/Uninstall.lst"
cp "$prefisso/drive_c/windows/system32/notepad.exe" "$terza/vorandel32.exe"
WINEPREFIX="$prefisso" wineserver -k 2>/dev/null || true
attendi
(senza_override "$terza_win\\vorandel32.exe" >/dev/null 2>&1 &)
# Running once its exe cannot be opened for writing: appending nothing to it
# changes nothing while it can, and cmd says why it cannot. (Into a file: a
# pipe would be held open by the Wine server this may start.)
sonda="$prefisso/../sonda.txt"
attesa=0
while senza_override cmd /c "type nul >> $terza_win\\vorandel32.exe" >"$sonda" 2>&1 && [ ! -s "$sonda" ]; do
    [ $attesa -lt 240 ] || male "the stand-in for 1.95's game did not start within 2 minutes"
    sleep 0.5
    attesa=$((attesa + 1))
done
rm -f "$sonda"
chmod a-w "$terza/vorandel32.exe"
prima_del_rifiuto="$(stato "$terza")$(ls -l "$terza/vorandel32.exe" | cut -c1-10)"
echo "installatore.sh: $(basename "$setup") /S and Uninstall.exe /S while a read-only game of 1.95 runs"
codice=0
senza_override "$setup" /S "/D=$altra_win" || codice=$?
[ "$codice" -eq 2 ] || male "the installer ended with $codice while 1.95's game ran, not 2"
codice=0
senza_override "$terza_win\\Uninstall.exe" /S "_?=$terza_win" || codice=$?
[ "$codice" -eq 2 ] || male "the uninstaller ended with $codice while 1.95's game ran, not 2"
[ "$(stato "$terza")$(ls -l "$terza/vorandel32.exe" | cut -c1-10)" = "$prima_del_rifiuto" ] ||
    male "a refusal changed $terza_win or the read-only mark of its exe"
[ ! -e "$altra" ] || male "a refusal made $altra_win"
WINEPREFIX="$prefisso" wineserver -k
attendi
echo "installatore.sh: Uninstall.exe /S with a read-only vorandel32.exe, without root's override"
senza_override "$terza_win\\Uninstall.exe" /S || male "the uninstaller refused an install whose exe is read-only"
WINEPREFIX="$prefisso" wineserver -w
[ ! -e "$terza" ] || male "the uninstaller left, with a read-only exe, $terza_win: $(ls -A "$terza" | tr '\n' ' ')"
[ -z "$(tracce)" ] || male "the uninstaller left, with a read-only exe: $(tracce)"

# Installed again where it was, with a file of the user's beside it for the
# uninstaller below.
esegui "$setup" /S "/D=$altra_win"
attendi
echo "mine" >"$altra/appunti.txt"
uno_solo "$altra" "$altra_win" "$versione" appunti.txt

# A file the uninstaller cannot remove (its folder read-only, for a player
# without root's override): the uninstaller ends with exit code 1 and keeps
# the install listed, with its list, its uninstaller and its shortcut, so
# that the next installer finds it and removes the rest.
chmod a-w "$altra/manuale"
WINEPREFIX="$prefisso" wineserver -k 2>/dev/null || true
attendi
echo "installatore.sh: Uninstall.exe /S with files it cannot remove"
codice=0
senza_override "$altra_win\\Uninstall.exe" /S "_?=$altra_win" || codice=$?
WINEPREFIX="$prefisso" wineserver -k 2>/dev/null || true
attendi
chmod u+w "$altra/manuale"
[ "$codice" -eq 1 ] || male "the uninstaller that could not remove its files ended with $codice, not 1"
[ -f "$altra/Uninstall.exe" ] && [ -f "$altra/Uninstall.lst" ] || male "the uninstaller that left files removed its own"
[ -n "$(find "$prefisso/drive_c" -iname '*vorandel*.lnk')" ] || male "the uninstaller that left files removed the shortcut"
esegui reg query "$chiave" >/dev/null 2>&1 || male "the uninstaller that left files removed the entry"
echo "installatore.sh: $(basename "$setup") /S over what that uninstaller left"
esegui "$setup" /S
attendi
echo "mine" >"$altra/appunti.txt"
uno_solo "$altra" "$altra_win" "$versione" appunti.txt
cartella=$altra

echo "installatore.sh: the registered quiet uninstall command"
silenzioso || male "the quiet uninstall command ended with $?"
# The entry is gone when the command returns; its uninstaller and folder
# once the copy it leaves behind has removed them.
! esegui reg query "$chiave" >/dev/null 2>&1 || male "the quiet uninstall command returned before removing the entry"
attendi
[ "$(ls -A "$cartella")" = appunti.txt ] || male "the uninstaller left in $cartella: $(ls -A "$cartella" | tr '\n' ' ')"
rm "$cartella/appunti.txt"
rmdir "$cartella"
# The folder above the game's, which the installer made and nothing else
# uses, is the test's own choice.
rmdir "$prefisso/drive_c/Giochi" || male "the uninstaller left files in C:\\Giochi"
resti=$(tracce)
[ -z "$resti" ] || male "the uninstaller left: $resti"
dopo=$(elenco)
if [ "$prima" != "$dopo" ]; then
    echo "$prima" >"$prefisso/../prima.txt"
    echo "$dopo" >"$prefisso/../dopo.txt"
    male "the prefix's files changed: $(diff "$prefisso/../prima.txt" "$prefisso/../dopo.txt" | head -20)"
fi
echo "installatore.sh: uninstalled, nothing left"
