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
# refused with TEXT in its message.
rifiutato() {
    nome=$1 atteso=$2
    shift 2
    [ $# -gt 0 ] || set -- --replay "$nome"
    esito=0
    "$partite" "$@" >uscita.txt 2>errori.txt || esito=$?
    if [ "$esito" -ne 2 ] || [ -s uscita.txt ] || ! grep -qF -- "$atteso" errori.txt; then
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
# The moves of a game line are its last word.
modifica mossa_illegale.txt 4 'sub(/moves ./, "moves 0")'
rifiutato mossa_illegale.txt "mossa_illegale.txt:4: game 1: move 1: direction 0 is not a legal move of Player 1"
modifica risultato.txt 7 'sub(/result 1-0 win/, "result 0-1 win")'
rifiutato risultato.txt "risultato.txt:7: game 4: the game ended a win for Player 1, not a win for Player 2"
modifica semimosse.txt 8 'sub(/plies 15/, "plies 16")'
rifiutato semimosse.txt "semimosse.txt:8: game 5: the game has 15 moves, not the 16"
modifica passo.txt 7 'sub(/moves 43/, "moves 4.3")'
rifiutato passo.txt "passo.txt:7: game 4: move 2: a pass where the rules make none"
modifica oltre.txt 8 '$0 = $0 "2"'
rifiutato oltre.txt "oltre.txt:8: game 5: move 16: the game had already ended"
modifica corta.txt 8 'sub(/6$/, "")'
rifiutato corta.txt "corta.txt:8: game 5: the moves end before the game does"
modifica seme.txt 5 'sub(/deal 1838536399/, "deal 1838536398")'
rifiutato seme.txt "seme.txt:5: deal 1838536398, where the run deals 1838536399"
modifica angoli.txt 6 'sub(/corners 2 3/, "corners 3 2")'
rifiutato angoli.txt "angoli.txt:6: the corners are the other way round"
modifica inizio.txt 9 'sub(/begins 2/, "begins 1")'
rifiutato inizio.txt "inizio.txt:9: begins 1, where the run has Player 2 begin"
modifica spazzatura.txt 6 '$0 = "game 3 \001\002 garbage"'
rifiutato spazzatura.txt "spazzatura.txt:6: a character that is not plain text"
modifica parole.txt 6 'sub(/ plies 45/, "")'
rifiutato parole.txt "parole.txt:6: not a game line"
modifica lettera.txt 6 'sub(/moves 3/, "moves x")'
rifiutato lettera.txt "lettera.txt:6: the moves hold 'x'"
modifica prima.txt 1 '$0 = "Score of first skill vs second skill"'
rifiutato prima.txt "prima.txt:1: not a game file of partite"
modifica run.txt 3 'sub(/--skill1 3/, "--skill1 11")'
rifiutato run.txt "run.txt:3: the run's options: --skill1 takes a whole number"
modifica fine.txt 10 '$0 = "end 7 games"'
rifiutato fine.txt "fine.txt:10: the end line counts 7 games, but the file has 6"
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
# A file that is refused writes nothing where --record asked.
rifiutato mossa_illegale.txt "mossa_illegale.txt:4:" --replay mossa_illegale.txt --record copia.txt
[ ! -e copia.txt ] && [ ! -e copia.txt.part ] || { echo "a refused replay left a file behind"; sbagli=$((sbagli + 1)); }
[ "$sbagli" -eq 0 ] || { echo "$sbagli broken files not refused as they should be"; exit 1; }
