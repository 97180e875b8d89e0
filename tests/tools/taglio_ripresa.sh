#!/bin/sh
# Runs cut short and resumed. A round robin recorded in two processes,
# with and without --pairs, is stopped by SIGTERM once its file holds some
# games: it exits 143 with a partial file and a table; --resume then ends
# with the whole run's file, byte for byte, and its table (apart from the
# time lines). So does a shard; a run cut, resumed, cut again and resumed;
# a run sent two signals at once; and a run killed outright (SIGKILL),
# resumed from its FILE.part cut in the middle of a line. --replay of a
# partial file says so, --merge refuses a partial shard, and a run without
# a file stopped by SIGINT prints the table of its games and exits 130.
# Every wait is for the file or the progress to show games finished.
#   taglio_ripresa.sh <runner>
partite=$1
lavoro=$(mktemp -d)
corsa=
trap '[ -n "$corsa" ] && kill -KILL "$corsa" 2>/dev/null; rm -rf "$lavoro"' EXIT
cd "$lavoro" || exit 1
sbaglio() {
    echo "$*"
    exit 1
}
senza_tempi() { grep -v '^time \|^games per second ' "$1"; }
uguali() {
    senza_tempi "$1" >a.tab && senza_tempi "$2" >b.tab && cmp -s a.tab b.tab && return 0
    echo "$3: the tables differ:"
    diff a.tab b.tab
    exit 1
}
partite_in() {
    n=$(grep -c '^game ' "$1" 2>/dev/null)
    echo "${n:-0}"
}
# aspetta FILE N: until FILE holds at least N games (the run, $corsa, must
# still be going: a run that ends first fails the test).
aspetta() {
    while [ "$(partite_in "$1")" -lt "$2" ]; do
        kill -0 "$corsa" 2>/dev/null || sbaglio "the run ended before $1 held $2 games"
        sleep 0.02
    done
}
# avvia OUT ARGS...: the runner in the background, its table in OUT.
avvia() {
    uscita=$1
    shift
    "$partite" "$@" >"$uscita" 2>"$uscita.err" &
    corsa=$!
}
# finisce CODE WHAT: waits for the run, which must exit with CODE.
finisce() {
    esito=0
    wait "$corsa" || esito=$?
    corsa=
    [ "$esito" -eq "$1" ] || sbaglio "$2: exit $esito, not $1: $(cat "$uscita" "$uscita.err")"
}
# intero FILE WHAT: FILE is a whole file (its last line "end N games").
intero() { tail -n 1 "$1" | grep -q '^end [0-9]* games$' || sbaglio "$2: $1 is not whole: $(tail -n 1 "$1")"; }
# non_intero FILE WHAT: FILE, if there, does not claim to be whole.
non_intero() {
    [ ! -e "$1" ] || ! tail -n 1 "$1" | grep -q '^end ' || sbaglio "$2: $1 claims to be whole"
}

for coppie in "" --pairs; do
    run="--round-robin 1-3 --games 1200 --seed 9 --quiet $coppie"
    rm -f ./*.txt ./*.part
    # shellcheck disable=SC2086
    "$partite" $run --jobs 2 --record intero.txt >intero.tab || sbaglio "the whole run failed"
    # Cut short once, then resumed.
    # shellcheck disable=SC2086
    avvia taglio.tab $run --jobs 2 --record taglio.txt
    aspetta taglio.txt.part 300
    kill -TERM "$corsa"
    finisce 143 "SIGTERM"
    tail -n 1 taglio.txt | grep -q '^partial [0-9]* games, [0-9]* dropped$' || sbaglio "no partial line: $(tail -n 1 taglio.txt)"
    [ "$(partite_in taglio.txt)" -ge 300 ] || sbaglio "the partial file lost games: $(tail -n 1 taglio.txt)"
    { grep -q "cut short by SIGTERM" taglio.tab && grep -q "^Crosstable" taglio.tab; } || sbaglio "no table: $(cat taglio.tab)"
    [ ! -e taglio.txt.part ] || sbaglio "the partial run left its FILE.part"
    "$partite" --replay taglio.txt >rigioca.tab 2>rigioca.err || sbaglio "the partial file was not replayed"
    cat rigioca.tab rigioca.err | grep -q "taglio.txt.* cut short\|cut short.*taglio.txt" ||
        sbaglio "the replay did not say the file is partial: $(cat rigioca.tab rigioca.err)"
    "$partite" --resume taglio.txt --jobs 2 --quiet >ripreso.tab || sbaglio "the resume failed"
    cmp taglio.txt intero.txt || sbaglio "${coppie:-games}: the resumed file is not the whole run's"
    uguali intero.tab ripreso.tab "${coppie:-games} resumed"

    # Cut, resumed, cut again while the resume plays, resumed again.
    # shellcheck disable=SC2086
    avvia due.tab $run --jobs 2 --record due.txt
    aspetta due.txt.part 300
    kill -TERM "$corsa"
    finisce 143 "the first SIGTERM"
    prima=$(partite_in due.txt)
    avvia due.tab --resume due.txt --jobs 2 --quiet
    aspetta due.txt.part $((prima + 300))
    kill -TERM "$corsa"
    finisce 143 "the second SIGTERM"
    [ "$(partite_in due.txt)" -gt "$prima" ] || sbaglio "the second cut kept no more games than the first"
    "$partite" --resume due.txt --jobs 2 --quiet >due.tab || sbaglio "the second resume failed"
    cmp due.txt intero.txt || sbaglio "${coppie:-games}: cut twice, the resumed file is not the whole run's"
    uguali intero.tab due.tab "${coppie:-games} cut twice"

    # Two signals at once: a partial file or only FILE.part, never a file
    # that claims to be whole; resumed from whichever is there.
    # shellcheck disable=SC2086
    avvia doppio.tab $run --jobs 2 --record doppio.txt
    aspetta doppio.txt.part 300
    kill -TERM "$corsa"
    kill -TERM "$corsa" 2>/dev/null
    wait "$corsa"
    corsa=
    non_intero doppio.txt "two signals"
    da=doppio.txt
    [ -e doppio.txt ] || da=doppio.txt.part
    "$partite" --resume "$da" --jobs 2 --quiet >doppio.tab || sbaglio "the resume after two signals failed"
    cmp doppio.txt intero.txt || sbaglio "${coppie:-games}: after two signals, the resumed file is not the whole run's"

    # Killed outright: FILE.part, cut in the middle of a line, resumed.
    # shellcheck disable=SC2086
    avvia ucciso.tab $run --jobs 2 --record ucciso.txt
    aspetta ucciso.txt.part 300
    kill -KILL "$corsa"
    wait "$corsa" 2>/dev/null
    corsa=
    non_intero ucciso.txt "SIGKILL"
    truncate -s -20 ucciso.txt.part
    "$partite" --resume ucciso.txt.part --jobs 2 --quiet >ucciso.tab || sbaglio "the resume from FILE.part failed"
    cmp ucciso.txt intero.txt || sbaglio "${coppie:-games}: resumed from FILE.part, the file is not the whole run's"
    uguali intero.tab ucciso.tab "${coppie:-games} resumed from FILE.part"
    [ ! -e ucciso.txt.part ] || sbaglio "the resume left FILE.part behind"
    echo "${coppie:-without --pairs}: cut once, twice, by two signals and by SIGKILL, resumed to the whole run"
done

# A shard cut short and resumed; a partial shard refused by --merge. (The
# run is the last one above, whose whole file is intero.txt.)
for k in 1 2 3; do
    # shellcheck disable=SC2086
    "$partite" $run --jobs 2 --shard $k/3 --record scheda$k.txt >/dev/null || sbaglio "shard $k failed"
done
cp scheda2.txt scheda2_intera.txt
# shellcheck disable=SC2086
avvia scheda.tab $run --jobs 2 --shard 2/3 --record scheda2.txt
aspetta scheda2.txt.part 200
kill -TERM "$corsa"
finisce 143 "the shard's SIGTERM"
non_intero scheda2.txt "the shard cut short"
esito=0
"$partite" --merge scheda1.txt scheda2.txt scheda3.txt --quiet >unito.tab 2>unito.err || esito=$?
{ [ "$esito" -eq 2 ] && grep -q "scheda2.txt:.*shard 2/3 was cut short" unito.err; } ||
    sbaglio "the merge took a partial shard (exit $esito): $(cat unito.err)"
"$partite" --resume scheda2.txt --jobs 2 --quiet >/dev/null || sbaglio "the shard's resume failed"
cmp scheda2.txt scheda2_intera.txt || sbaglio "the resumed shard is not the whole shard"
"$partite" --merge scheda1.txt scheda2.txt scheda3.txt --quiet --record unito.txt >unito.tab || sbaglio "the merge failed"
cmp unito.txt intero.txt || sbaglio "the merge of the resumed shard is not the whole run's file"
echo "a shard cut short and resumed: the same shard file, and the merge the whole run's"

# No file, one process: SIGINT once the progress shows games finished.
avvia senza.tab --skill1 5 --skill2 5 --games 10000000 --jobs 1
while ! grep -q '/10000000 games' senza.tab.err; do
    kill -0 "$corsa" 2>/dev/null || sbaglio "the run without a file ended: $(cat senza.tab.err)"
    sleep 0.02
done
kill -INT "$corsa"
finisce 130 "SIGINT without a file"
{ grep -q "^Elo difference: " senza.tab && grep -q "cut short by SIGINT" senza.tab; } ||
    sbaglio "no table of the games played: $(cat senza.tab)"
resume_e=0
"$partite" --resume intero.txt >/dev/null 2>intero.err || resume_e=$?
{ [ "$resume_e" -eq 2 ] && grep -q "the run is whole" intero.err; } || sbaglio "a whole file was resumed: $(cat intero.err)"
echo "without a file: $(grep '^Score of' senza.tab)"
