#!/bin/sh
# A round robin of skills 1 to 4, with and without --pairs: the run that
# records its games, the run that does not, the replay of its game file and
# the merge of three shards played as GNU parallel's local jobs all print
# the same table and ratings (apart from the time lines), and the game
# files are the same bytes whatever --jobs, with the computer's moves on the
# runner's thread or on threads of their own (--threads), and however the
# run was cut. A game replayed alone gives the same record as the same
# game played alone.
#   registra_rigioca.sh <runner>
partite=$1
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro" || exit 1
command -v parallel >/dev/null || { echo "GNU parallel is missing (scripts/dipendenze installs it)"; exit 1; }
senza_tempi() { grep -v '^time \|^games per second ' "$1"; }
# uguali A B WHAT: the tables A and B are the same apart from the time lines.
uguali() {
    if ! senza_tempi "$1" >a.tab || ! senza_tempi "$2" >b.tab || ! cmp -s a.tab b.tab; then
        echo "$3: the tables differ:"
        diff a.tab b.tab
        exit 1
    fi
}
for coppie in "" --pairs; do
    run="--round-robin 1-4 --games 12 --seed 7 --quiet $coppie"
    # shellcheck disable=SC2086
    {
        "$partite" $run --jobs 2 >solo.txt &&
            "$partite" $run --jobs 1 --record tutto.txt >registrato.txt &&
            "$partite" $run --jobs 2 --record tutto2.txt >/dev/null &&
            "$partite" $run --jobs 2 --threads --record fili.txt >fili.tab &&
            "$partite" --replay tutto.txt --record rigiocato.txt >rigioca.txt
    } || { echo "a run with ${coppie:-no pairs} failed"; exit 1; }
    grep -q '^   1 skill ' solo.txt || { echo "no ratings:"; cat solo.txt; exit 1; }
    uguali solo.txt registrato.txt "${coppie:-games} recorded"
    uguali solo.txt rigioca.txt "${coppie:-games} replayed"
    cmp tutto.txt tutto2.txt || { echo "--jobs 1 and --jobs 2 recorded different files"; exit 1; }
    # The workers on threads of their own, as in the game: the same games.
    uguali solo.txt fili.tab "${coppie:-games} with --threads"
    cmp tutto.txt fili.txt || { echo "--threads recorded another file"; exit 1; }
    cmp tutto.txt rigiocato.txt || { echo "the replay recorded another file"; exit 1; }
    [ "$(grep -c '^game ' tutto.txt)" -eq 72 ] || { echo "the file does not hold the 72 games"; exit 1; }
    # The shards as local jobs of GNU parallel, then the merge.
    rm -f parte*.txt
    # shellcheck disable=SC2086
    parallel --will-cite -j 3 "$partite" $run --jobs 1 --shard {}/3 --record parte{}.txt ::: 1 2 3 >/dev/null ||
        { echo "GNU parallel's shards failed"; exit 1; }
    "$partite" --merge parte3.txt parte1.txt parte2.txt --record unito.txt >unito.tab || { echo "the merge failed"; exit 1; }
    uguali solo.txt unito.tab "${coppie:-games} merged from 3 shards"
    cmp tutto.txt unito.txt || { echo "the merged file differs from the one-machine file"; exit 1; }
    # Game 5 of match 2-4 alone: replayed from the file, and played.
    "$partite" --replay tutto.txt --game 5 --match 2-4 --record una.txt >/dev/null || { echo "no game alone"; exit 1; }
    [ "$(grep '^game ' una.txt)" = "$(grep '^game 5 match 2-4 ' tutto.txt)" ] ||
        { echo "the game replayed alone is recorded otherwise"; cat una.txt; exit 1; }
    "$partite" --skill1 2 --skill2 4 --seed 7 ${coppie:---swap-sides} --first 5 --games 1 --quiet --record sola.txt \
        >/dev/null || { echo "no game played alone"; exit 1; }
    cmp una.txt sola.txt || { echo "the game played alone is recorded otherwise"; exit 1; }
    echo "${coppie:-without --pairs}: one table, one file (72 games) from every road"
done
# The test records the games it took, and its replay takes the same
# decision at the same game, pentanomial or trinomial.
for coppie in --swap-sides --pairs; do
    "$partite" --skill1 10 --skill2 1 "$coppie" --games 3000 --seed 5 --sprt 0 30 --jobs 2 --quiet --record sprt.txt \
        >sprt.tab && "$partite" --replay sprt.txt >sprt_rigioca.tab || { echo "the test's run or replay failed"; exit 1; }
    uguali sprt.tab sprt_rigioca.tab "the test with $coppie"
    prese=$(sed -n 's/^SPRT: accepted .* after \([0-9]*\) games .*/\1/p' sprt.tab)
    [ -n "$prese" ] && [ "$(grep -c '^game ' sprt.txt)" -eq "$prese" ] ||
        { echo "the file does not hold the $prese games the test took"; cat sprt.tab; exit 1; }
    echo "the test with $coppie: $prese games taken, recorded and replayed"
done
grep -q "pentanomial LLR of the" sprt.tab || { echo "the paired test does not say it is pentanomial"; exit 1; }
# The pairs' counts of the table are those of the games in the file, pair
# by pair, however the pairs fell among the processes.
"$partite" --skill1 4 --skill2 2 --pairs --games 300 --seed 3 --jobs 2 --quiet --record coppie.txt >coppie.tab ||
    { echo "the paired match failed"; exit 1; }
attese=$(awk '/^game / {
        punti = ($13 == "1-0" ? ($8 == 4 ? 2 : 0) : $13 == "0-1" ? ($9 == 4 ? 2 : 0) : 1)
        if ($2 % 2 == 1) prima = punti; else n[prima + punti]++
    }
    END { printf "%d - %d - %d - %d - %d  %d", n[0], n[1], n[2], n[3], n[4], n[0] + n[1] + n[2] + n[3] + n[4] }' coppie.txt)
grep -qF "Pairs by the first skill's points, 0 - 1/2 - 1 - 3/2 - 2: $attese" coppie.tab ||
    { echo "the table's pairs are not the file's ($attese):"; cat coppie.tab; exit 1; }
echo "the pairs of 300 games: $attese, as in the file"
# --record to what is not a regular file writes straight to it: a pipe
# stays a pipe, and standard output ("-") carries the file, the table going
# to standard error. A symbolic link stays a link: its target is written,
# through a .part beside the target, none beside the link.
run="--skill1 3 --skill2 2 --games 30 --seed 8 --swap-sides --quiet"
# shellcheck disable=SC2086
"$partite" $run --record vero.txt >vero.tab || { echo "the plain recording failed"; exit 1; }
mkfifo tubo
cat tubo >dal_tubo.txt &
lettore=$!
# shellcheck disable=SC2086
esito=0
"$partite" $run --jobs 2 --record tubo >tubo.tab || esito=$?
# A runner that never opened the pipe leaves its reader waiting.
if [ "$esito" -ne 0 ] || [ ! -p tubo ]; then
    kill "$lettore" 2>/dev/null
    echo "the recording into a pipe failed (exit $esito), or replaced the pipe"
    exit 1
fi
wait "$lettore"
cmp vero.txt dal_tubo.txt || { echo "the pipe got another file"; exit 1; }
uguali vero.tab tubo.tab "a pipe"
# shellcheck disable=SC2086
"$partite" $run --record - >da_stdout.txt 2>stdout.tab || { echo "the recording to standard output failed"; exit 1; }
cmp vero.txt da_stdout.txt || { echo "standard output got another file"; exit 1; }
uguali vero.tab stdout.tab "the table beside a file on standard output"
"$partite" --replay vero.txt --record - --quiet 2>/dev/null | "$partite" --replay - --quiet >ripreso.tab ||
    { echo "a replay to standard output, replayed from standard input, failed"; exit 1; }
uguali vero.tab ripreso.tab "a replay through a pipe"
# A process substitution of bash: a link to a pipe.
if command -v bash >/dev/null; then
    # shellcheck disable=SC2086
    bash -c '"$0" "$@" --record >(cat >sostituzione.txt); wait $!' "$partite" $run >/dev/null ||
        { echo "the recording into a process substitution failed"; exit 1; }
    cmp vero.txt sostituzione.txt || { echo "the process substitution got another file"; exit 1; }
fi
mkdir cartella
for legame in assoluto relativo; do
    rm -f collegamento.txt cartella/bersaglio.txt
    if [ $legame = assoluto ]; then ln -s "$lavoro/cartella/bersaglio.txt" collegamento.txt; else ln -s cartella/bersaglio.txt collegamento.txt; fi
    # shellcheck disable=SC2086
    "$partite" $run --jobs 2 --record collegamento.txt >/dev/null || { echo "the recording through a link failed"; exit 1; }
    [ -L collegamento.txt ] && cmp vero.txt cartella/bersaglio.txt && [ ! -e collegamento.txt.part ] &&
        [ ! -e cartella/bersaglio.txt.part ] || { echo "the $legame link was replaced, or its target not written"; ls -l . cartella; exit 1; }
done
echo "a pipe, standard output and a symbolic link's target written as users expect"
# One skill on both sides: the corners cannot tell which side is the first
# skill's, so the recorded run must take it from the run's order of corners,
# as the run that records nothing and the replay do.
run="--skill1 3 --skill2 3 --swap-sides --games 200 --seed 5 --quiet"
# shellcheck disable=SC2086
{
    "$partite" $run --jobs 2 >stessa.tab &&
        "$partite" $run --jobs 2 --record stessa.txt >stessa_reg.tab &&
        "$partite" --replay stessa.txt --quiet >stessa_rig.tab
} || { echo "a run of skill 3 against itself failed"; exit 1; }
uguali stessa.tab stessa_reg.tab "one skill on both sides, recorded"
uguali stessa.tab stessa_rig.tab "one skill on both sides, replayed"
echo "one skill on both sides: one table, recorded or not"
