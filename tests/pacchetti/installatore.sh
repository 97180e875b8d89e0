#!/bin/sh
# The installer's round trip, in a Wine prefix of its own (made once per build
# folder, and afresh when an earlier run left the game in it): the silent
# install puts the game's files (contenuto.sh) and the uninstaller into
# Program Files and the entry into the list of installed programs; the
# Start-menu shortcut starts the game in its folder and the game plays there
# (test_pacchetto, Installato.*); the silent uninstall then leaves no file,
# no shortcut and no entry, and the prefix's files as they were before.
#   installatore.sh SETUP.exe VERSION PUBLISHER PREFIX HTML TEST.exe AUTOMA.exe
set -eu
setup=$1 versione=$2 editore=$3 prefisso=$4 html=$5 prova=$6 automa=$7
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
prima=$(elenco)

echo "installatore.sh: $(basename "$setup") /S"
esegui "$setup" /S
attendi
[ -d "$cartella" ] || male "nothing was installed in $cartella"
contenuto "$cartella" "$html" "$versione" Uninstall.exe

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

VORANDEL_AUTOMA="$automa" esegui "$prova" --gtest_filter='Installato.*' || male "the installed game did not play"
attendi
[ -f "$cartella/voran32.log" ] || male "the game wrote no log in $cartella"

echo "installatore.sh: Uninstall.exe /S"
esegui 'C:\Program Files\Vorandel 32\Uninstall.exe' /S
attendi
[ ! -e "$cartella" ] || male "the uninstaller left $cartella: $(ls -A "$cartella" | tr '\n' ' ')"
resti=$(tracce)
[ -z "$resti" ] || male "the uninstaller left: $resti"
dopo=$(elenco)
if [ "$prima" != "$dopo" ]; then
    echo "$prima" >"$prefisso/../prima.txt"
    echo "$dopo" >"$prefisso/../dopo.txt"
    male "the prefix's files changed: $(diff "$prefisso/../prima.txt" "$prefisso/../dopo.txt" | head -20)"
fi
echo "installatore.sh: uninstalled, nothing left"
