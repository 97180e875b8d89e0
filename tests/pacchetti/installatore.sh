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
# player meets them.
# The silent uninstall then leaves no file, no shortcut and no entry, and the
# prefix's files as they were before (but for the user's file).
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
chiave='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorandel 32'

if [ -f "$prefisso/.pronto" ] && [ -n "$(tracce)" ]; then
    echo "installatore.sh: an earlier run left the game in $prefisso: making the prefix afresh"
    rm -rf "$prefisso"
fi
"$radice/scripts/prefisso-wine" "$prefisso"
attendi
# No program of the prefix outlives the test, whatever check fails (the game
# started below would run on, holding the test's output open).
trap 'WINEPREFIX="$prefisso" wineserver -k 2>/dev/null || true' EXIT
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
    for coppia in "DisplayVersion=$u_versione" "InstallLocation=$u_win" "UninstallString=\"$u_win\\Uninstall.exe\""; do
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
altra="$prefisso/drive_c/Giochi/Vorandel32"
altra_win='C:\Giochi\Vorandel32'
echo "installatore.sh: $(basename "$setup") /S /D=$altra_win"
esegui "$setup" /S "/D=$altra_win"
attendi
[ ! -e "$cartella" ] || male "the install in another folder left $cartella: $(ls -A "$cartella" | tr '\n' ' ')"
uno_solo "$altra" "$altra_win" "$versione"

# While the game runs there, neither the uninstaller nor the installer
# touches anything: both end with exit code 2.
(cd "$altra" && esegui "$altra_win\\vorandel32.exe" >/dev/null 2>&1 &)
attesa=0
until [ -f "$altra/voran32.log" ] && [ $attesa -ge 4 ]; do
    [ $attesa -lt 40 ] || male "the game did not start in $altra_win"
    sleep 0.5
    attesa=$((attesa + 1))
done
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

# Started from a folder, the game runs until the test ends it. Its log is
# made after its folder's mutex: once the log is there, the game is seen
# running. The log's arrival is polled for, with a limit only a game that
# never starts reaches.
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

# Its uninstaller deleted: the next install, elsewhere, removes the earlier
# one by its list, and only what the list names (the user's file stays).
rm "$altra/Uninstall.exe"
terza="$prefisso/drive_c/Giochi/Terza"
terza_win='C:\Giochi\Terza'
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
cartella=$altra

echo "installatore.sh: Uninstall.exe /S"
esegui "$altra_win\\Uninstall.exe" /S
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
