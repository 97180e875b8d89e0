#!/bin/sh
# A process of --jobs that dies ends the whole run: the runner stops the
# other processes, prints no table and exits with a code other than 0.
#   processo_fallito.sh <runner>
partite=$1
uscita=$(mktemp)
trap 'rm -f "$uscita"' EXIT
"$partite" --round-robin 9-10 --games 200000 --jobs 2 --quiet >"$uscita" 2>&1 &
capo=$!
# Waits for a process of the run, then kills it.
for prova in $(seq 1 100); do
    figlio=$(pgrep -P "$capo" | head -n 1)
    [ -n "$figlio" ] && break
    sleep 0.05
done
[ -n "$figlio" ] || { echo "no process of --jobs came up"; kill "$capo"; exit 1; }
kill -KILL "$figlio"
# The run should end at once; a run that goes on is stopped after 30 s.
for prova in $(seq 1 600); do
    kill -0 "$capo" 2>/dev/null || break
    sleep 0.05
done
if kill -0 "$capo" 2>/dev/null; then
    echo "the run went on after one of its processes was killed"
    kill "$capo"
    wait "$capo"
    exit 1
fi
esito=0
wait "$capo" || esito=$?
if [ "$esito" -eq 0 ]; then
    echo "the run went on to exit 0 after one of its processes was killed:"
    cat "$uscita"
    exit 1
fi
if grep -q "Crosstable\|Ratings" "$uscita"; then
    echo "a table was printed after one of the processes was killed:"
    cat "$uscita"
    exit 1
fi
grep -q "ended by signal 9" "$uscita" || { echo "no word of the killed process:"; cat "$uscita"; exit 1; }
if [ -n "$(pgrep -P "$capo")" ]; then echo "processes of the run were left behind"; exit 1; fi
echo "exit $esito, no table: $(tr '\n' ' ' <"$uscita")"
