#!/bin/sh
# The progress on standard error: on a terminal (script(1) gives the run
# one) a line rewritten in place from the first game on, with the score so
# far and the time left; anywhere else plain lines, the last one where the
# run ended; nothing with --quiet.
#   avanzamento.sh <runner>
partite=$1
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro" || exit 1
sbagli=0
no() { echo "FAILED: $1"; sbagli=$((sbagli + 1)); }
riga='[0-9]* - [0-9]* - [0-9]* \[[01]\.[0-9]*\]'
for processi in 1 2; do
    "$partite" --skill1 2 --skill2 1 --games 120 --max-plies 30 --jobs $processi >tabella.txt 2>errori.txt ||
        no "the run with --jobs $processi failed"
    if grep -q "$(printf '\r')" errori.txt; then no "--jobs $processi: a carriage return where standard error is a file"; fi
    tail -n 1 errori.txt | grep -q "^120/120 games, score $riga, in [0-9hms]*\$" ||
        no "--jobs $processi: no last line with the score: $(cat errori.txt)"
    "$partite" --skill1 2 --skill2 1 --games 120 --max-plies 30 --jobs $processi --quiet >/dev/null 2>errori.txt
    [ ! -s errori.txt ] || no "--jobs $processi --quiet wrote: $(cat errori.txt)"
done
# A round robin shows its decisive games and draws; a replay counts the
# games replayed.
"$partite" --round-robin 1-3 --games 10 --max-plies 30 --record rr.txt >/dev/null 2>errori.txt
tail -n 1 errori.txt | grep -q '^30/30 games, [0-9]* decisive, [0-9]* drawn, in ' || no "round robin: $(cat errori.txt)"
"$partite" --replay rr.txt >/dev/null 2>errori.txt
tail -n 1 errori.txt | grep -q '^30/30 games replayed, [0-9]* decisive, [0-9]* drawn, in ' || no "replay: $(cat errori.txt)"
# On a terminal.
if command -v script >/dev/null; then
    script -qec "\"$partite\" --skill1 2 --skill2 1 --games 120 --max-plies 30 --jobs 1 >/dev/null" /dev/null >tty.txt ||
        no "the run on a terminal failed"
    tr '\r' '\n' <tty.txt >righe.txt
    grep -q "^1/120 games, score $riga, [0-9hms]* left" righe.txt || no "terminal: no first line with the time left"
    grep -q "^120/120 games, score $riga, in [0-9hms]* *\$" righe.txt || no "terminal: no last line"
    [ "$(head -c 1 tty.txt | od -An -c | tr -d ' ')" = '\r' ] || no "terminal: the line is not rewritten in place"
else
    no "script(1) is missing (util-linux)"
fi
[ "$sbagli" -eq 0 ] || exit 1
echo "progress as expected on a file, a terminal and with --quiet"
