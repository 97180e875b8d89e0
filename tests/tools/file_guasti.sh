#!/bin/sh
# Broken game files are refused, each with exit code 2, no table, and a
# message that names the file, the line and what is wrong there; so are
# shards that are not the parts of one run.
#   file_guasti.sh <runner>
partite=$1
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro" || exit 1
"$partite" --skill1 3 --skill2 2 --games 6 --seed 4 --swap-sides --jobs 1 --quiet --record buono.txt >/dev/null ||
    { echo "the good file was not written"; exit 1; }
"$partite" --replay buono.txt >/dev/null || { echo "the good file was refused"; exit 1; }
# Lines 1 to 3 are the header, 4 to 9 games 1 to 6, 10 the end.
sbagli=0
# rifiutato NAME TEXT: `--replay NAME` (or the options after TEXT) must be
# refused with TEXT (a grep pattern) in its message.
rifiutato() {
    nome=$1 atteso=$2
    shift 2
    [ $# -gt 0 ] || set -- --replay "$nome"
    esito=0
    "$partite" "$@" >uscita.txt 2>errori.txt || esito=$?
    if [ "$esito" -ne 2 ] || [ -s uscita.txt ] || ! grep -q -- "$atteso" errori.txt; then
        echo "FAILED $nome: exit $esito, wanted 2 and \"$atteso\"; said: $(cat errori.txt) $(head -3 uscita.txt)"
        sbagli=$((sbagli + 1))
    else
        echo "refused $nome: $(cat errori.txt)"
    fi
}
# modifica NAME LINE AWK: the good file with line LINE changed by the awk
# statement AWK (on $0).
modifica() {
    awk -v n="$2" "NR == n { $3 } { print }" buono.txt >"$1"
}
# The words of a game line: 2 its number, 6 the deal, 8 and 9 the corners,
# 11 the beginner, 13 and 14 the result, 16 the moves made, 18 the moves.
# A first move up, from a corner, is never legal.
modifica mossa_illegale.txt 4 '$18 = "0" substr($18, 2)'
rifiutato mossa_illegale.txt "mossa_illegale.txt:4: game 1: move 1: direction 0 is not a legal move of Player 1"
modifica risultato.txt 7 '$13 = $13 == "1-0" ? "0-1" : "1-0"; $14 = "win"'
rifiutato risultato.txt "risultato.txt:7: game 4: the game ended .*, not a win for Player . as the line says"
modifica semimosse.txt 8 '$16 = $16 + 1'
rifiutato semimosse.txt "semimosse.txt:8: game 5: the game has [0-9]* moves, not the [0-9]* the line says"
modifica passo.txt 7 '$18 = substr($18, 1, 1) "." substr($18, 2)'
rifiutato passo.txt "passo.txt:7: game 4: move [23]: a pass where the rules make none"
modifica oltre.txt 8 '$18 = $18 "2"'
rifiutato oltre.txt "oltre.txt:8: game 5: move [0-9]*: the game had already ended"
modifica corta.txt 8 '$18 = substr($18, 1, length($18) - 1)'
rifiutato corta.txt "corta.txt:8: game 5: \(the moves end before the game does\|move [0-9]*: .* a pass ('.') should follow\)"
modifica seme.txt 5 '$6 = ($6 + 1) % 4294967296'
rifiutato seme.txt "seme.txt:5: deal [0-9]*, where the run deals [0-9]*"
modifica angoli.txt 6 't = $8; $8 = $9; $9 = t'
rifiutato angoli.txt "angoli.txt:6: the corners are the other way round"
modifica inizio.txt 9 '$11 = 3 - $11'
rifiutato inizio.txt "inizio.txt:9: begins [12], where the run has Player [12] begin"
modifica spazzatura.txt 6 '$0 = "game 3 \001\002 garbage"'
rifiutato spazzatura.txt "spazzatura.txt:6: a character that is not plain text"
modifica parole.txt 6 'sub(/ plies 45/, "")'
rifiutato parole.txt "parole.txt:6: not a game line"
modifica lettera.txt 6 '$18 = "x" substr($18, 2)'
rifiutato lettera.txt "lettera.txt:6: the moves hold 'x'"
modifica prima.txt 1 '$0 = "Score of first skill vs second skill"'
rifiutato prima.txt "prima.txt:1: not a game file of partite"
modifica run.txt 3 'sub(/--skill1 3/, "--skill1 11")'
rifiutato run.txt "run.txt:3: the run's options: --skill1 takes a whole number"
modifica fine.txt 10 '$0 = "end 7 games"'
rifiutato fine.txt "fine.txt:10: the end line counts 7 games, but the file has 6"
# A game missing or twice, the end line left as it was: reported at the
# game's own line, where the numbering breaks, not at the end line.
awk 'NR != 6' buono.txt >manca_fine.txt
rifiutato manca_fine.txt "manca_fine.txt:6: game 4 of match 3-2, where the run has game 3 of match 3-2"
awk '{ print } NR == 5 { print }' buono.txt >doppia_fine.txt
rifiutato doppia_fine.txt "doppia_fine.txt:6: game 2 of match 3-2, where the run has game 3 of match 3-2"
# The last game missing: where game 6 should stand.
awk 'NR != 9' buono.txt >ultima.txt
rifiutato ultima.txt "ultima.txt:9: the end line counts 6 games, but the file has 5"
# Another version's file, or no version at all, names both versions.
versione=$("$partite" --version | sed 's/^partite //')
modifica versione.txt 2 '$0 = "version 1.96"'
rifiutato versione.txt "versione.txt:2: a game file of partite 1.96, but this is partite $versione"
modifica sgorbio.txt 2 '$0 = "version garbage"'
rifiutato sgorbio.txt "sgorbio.txt:2: a game file of partite garbage, but this is partite $versione"
# Bytes that are not plain text are still refused where Windows' line ends
# and byte-order mark are taken: a CR within a line, a mark after the start.
modifica cr.txt 6 '$0 = $0 "\r "'
rifiutato cr.txt "cr.txt:6: a character that is not plain text (code 13)"
modifica segno.txt 5 '$0 = "\357\273\277" $0'
rifiutato segno.txt "segno.txt:5: a character that is not plain text (code 239)"
# A game missing, a game twice, a line cut short, a file cut at a line's end.
awk 'NR != 6 && !/^end/ { print } /^end/ { print "end 5 games" }' buono.txt >manca.txt
rifiutato manca.txt "manca.txt:6: game 4 of match 3-2, where the run has game 3 of match 3-2"
awk '{ print } NR == 5 { print }' buono.txt | awk '!/^end/ { print } /^end/ { print "end 7 games" }' >doppia.txt
rifiutato doppia.txt "doppia.txt:6: game 2 of match 3-2, where the run has game 3 of match 3-2"
head -c 600 buono.txt >tronca.txt
rifiutato tronca.txt "tronca.txt:$(($(wc -l <tronca.txt) + 1)): the line is cut short"
head -n 7 buono.txt >senza_fine.txt
rifiutato senza_fine.txt "senza_fine.txt:7: the file ends without its end line"
# Shards: one missing, one twice, one of another run; a shard replayed alone.
for k in 1 2 3; do
    "$partite" --round-robin 1-3 --games 4 --seed 3 --quiet --shard $k/3 --record parte$k.txt >/dev/null ||
        { echo "shard $k was not written"; exit 1; }
done
"$partite" --round-robin 1-3 --games 4 --seed 9 --quiet --shard 3/3 --record altra3.txt >/dev/null
rifiutato parti "shard 2/3 is missing" --merge parte1.txt parte3.txt
rifiutato parti "parte1.txt:4: shard 1/3 again: parte1.txt is that part too" --merge parte1.txt parte2.txt parte1.txt
rifiutato parti "altra3.txt:3: a run other than that of parte1.txt" --merge parte1.txt parte2.txt altra3.txt
rifiutato parte1.txt "parte1.txt:4: this is shard 1/3 of a run"
rifiutato intero "buono.txt:4: not a shard's file" --merge buono.txt parte2.txt
"$partite" --merge parte3.txt parte1.txt parte2.txt >/dev/null || { echo "the three shards were refused"; exit 1; }
for k in 1 2 3; do sed "2s/.*/version 1.96/" parte$k.txt >vecchia$k.txt; done
rifiutato parti "vecchia1.txt:2: a game file of partite 1.96, but this is partite $versione" \
    --merge vecchia1.txt vecchia2.txt vecchia3.txt
rifiutato parti "standard input (-) can be read only once" --merge parte1.txt - -
# A file as a Windows editor saves it (CR LF, a byte-order mark), and one
# read from standard input, replay to the same table; so does a shard.
senza_tempi() { grep -v '^time \|^games per second ' "$1"; }
"$partite" --replay buono.txt >buono.tab
sed 's/$/\r/' buono.txt >crlf.txt
printf '\357\273\277' | cat - crlf.txt >bom.txt
for nome in crlf.txt bom.txt -; do
    esito=0
    "$partite" --replay "$nome" <bom.txt >altro.tab 2>errori.txt || esito=$?
    if [ "$esito" -ne 0 ] || ! senza_tempi buono.tab | cmp -s - "$(senza_tempi altro.tab >altro2.tab; echo altro2.tab)"; then
        echo "FAILED: --replay $nome: exit $esito: $(cat errori.txt)"
        sbagli=$((sbagli + 1))
    fi
done
"$partite" --merge parte1.txt parte2.txt parte3.txt >parti.tab
"$partite" --merge parte1.txt - parte3.txt <parte2.txt >parti_stdin.tab &&
    senza_tempi parti.tab >a.tab && senza_tempi parti_stdin.tab >b.tab && cmp -s a.tab b.tab ||
    { echo "FAILED: --merge with a shard on standard input"; sbagli=$((sbagli + 1)); }
# A partial file (a run cut short) replays the games it holds, and says so.
awk 'NR <= 7 { print } END { print "partial 4 games, 1 dropped" }' buono.txt >parziale.txt
if "$partite" --replay parziale.txt >parziale.tab 2>errori.txt &&
    grep -q "parziale.txt holds a run cut short: its first 4 games, and 1 finished after them were dropped" errori.txt &&
    grep -q "^Skill 3 vs skill 2, each from both corners, 4 games, seed 4" parziale.tab; then
    echo "replayed the partial file: $(cat errori.txt)"
else
    echo "FAILED: the partial file: $(cat errori.txt) $(cat parziale.tab)"
    sbagli=$((sbagli + 1))
fi
# A file that is refused writes nothing where --record asked.
rifiutato mossa_illegale.txt "mossa_illegale.txt:4:" --replay mossa_illegale.txt --record copia.txt
[ ! -e copia.txt ] && [ ! -e copia.txt.part ] || { echo "a refused replay left a file behind"; sbagli=$((sbagli + 1)); }
[ "$sbagli" -eq 0 ] || { echo "$sbagli broken files not refused as they should be"; exit 1; }
