#!/bin/sh
# What the game asks of Windows when it is loaded, read from its import table
# (objdump -p): every function it imports must be on the list importazioni.txt
# with a first Windows version no newer than XP (5.1), and the exe's
# subsystem version, which Windows checks before loading it, must be 5.1 or
# older too. A Windows that lacks one imported function refuses to start the
# game ("entry point not found"), and Wine cannot show it: it has every
# function whatever version a prefix reports.
#   importazioni.sh OBJDUMP GAME.exe LIST
set -eu
objdump=$1 gioco=$2 elenco=$3
massima=5.1

intestazione=$("$objdump" -p "$gioco") || { echo "importazioni.sh: cannot read $gioco" >&2; exit 1; }
# One line per import, "dll!function" in lower-case DLL names (by ordinal:
# "dll!#N", which is never on the list).
importate=$(printf '%s\n' "$intestazione" | awk '
    /^The Import Tables/ { tabelle = 1 }
    /^The Export Tables/ || /^The Function Table/ || /^PE File Base Relocations/ { tabelle = 0 }
    tabelle && /DLL Name:/ { dll = tolower($3); next }
    tabelle && dll != "" && /^\t[0-9a-f]+\t/ { print dll "!" ($3 == "" ? "#" $2 : $3) }' | LC_ALL=C sort -u)
quante=$(printf '%s\n' "$importate" | grep -c . || true)
# A table read as empty means the reading is wrong, not that the game is
# clean: the game imports well over a hundred functions.
[ "$quante" -ge 20 ] || { echo "importazioni.sh: only $quante imports read from $gioco" >&2; exit 1; }

# Versions compare as numbers: major * 100 + minor.
numero() { echo "$1" | awk -F. '{ print $1 * 100 + $2 }'; }
limite=$(numero $massima)
guasti=0
for voce in $importate; do
    versione=$(awk -v voce="$voce" '!/^#/ && tolower($1) == tolower(voce) { print $2; exit }' "$elenco")
    if [ -z "$versione" ]; then
        echo "importazioni.sh: $voce is not on $(basename "$elenco"): look up the first Windows that has it and list it"
        guasti=$((guasti + 1))
    elif [ "$(numero "$versione")" -gt "$limite" ]; then
        echo "importazioni.sh: $voce needs Windows $versione: the game must start on Windows XP ($massima)"
        guasti=$((guasti + 1))
    fi
done

sotto=$(printf '%s\n' "$intestazione" | awk '
    $1 == "MajorSubsystemVersion" { M = $2 } $1 == "MinorSubsystemVersion" { m = $2 }
    END { print M "." m }')
if [ "$(numero "$sotto")" -gt "$limite" ]; then
    echo "importazioni.sh: the exe asks for subsystem version $sotto: Windows XP ($massima) would refuse it"
    guasti=$((guasti + 1))
fi

echo "importazioni.sh: $quante imports, subsystem $sotto, $guasti not allowed"
[ "$guasti" -eq 0 ]
