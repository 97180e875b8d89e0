# Sourced by zip.sh and installatore.sh: the game's folder as both packages
# leave it.
#   contenuto FOLDER HTML VERSION [MORE...]
# FOLDER holds exactly the game, its sprite sheet, the help file with its
# contents file, the readme and the folder manuale (and MORE), manuale holds
# the pages of the build's HTML manual (HTML) with index.html, and the readme
# names VERSION and ends every line with CR LF.
contenuto() {
    c_cartella=$1 c_html=$2 c_versione=$3
    shift 3
    c_attesi=$(printf '%s\n' LEGGIMI.txt Tutto261.dib Vorandel.cnt Vorandel.hlp manuale vorandel32.exe "$@" | LC_ALL=C sort)
    c_trovati=$(ls -A "$c_cartella" | LC_ALL=C sort)
    if [ "$c_attesi" != "$c_trovati" ]; then
        printf 'contenuto: %s should hold\n%s\nbut holds\n%s\n' "$c_cartella" "$c_attesi" "$c_trovati" >&2
        return 1
    fi
    if [ ! -f "$c_cartella/manuale/index.html" ] ||
        [ "$(ls -A "$c_html" | LC_ALL=C sort)" != "$(ls -A "$c_cartella/manuale" | LC_ALL=C sort)" ]; then
        echo "contenuto: $c_cartella/manuale is not the HTML manual of $c_html" >&2
        return 1
    fi
    c_righe=$(tr -cd '\n' <"$c_cartella/LEGGIMI.txt" | wc -c)
    c_crlf=$(grep -c "$(printf '\r')\$" "$c_cartella/LEGGIMI.txt" || true)
    if [ "$c_righe" -eq 0 ] || [ "$c_righe" -ne "$c_crlf" ]; then
        echo "contenuto: LEGGIMI.txt has $c_righe lines, $c_crlf of them ending in CR LF" >&2
        return 1
    fi
    if ! grep -q "Version $c_versione\." "$c_cartella/LEGGIMI.txt"; then
        echo "contenuto: LEGGIMI.txt does not name version $c_versione" >&2
        return 1
    fi
}
