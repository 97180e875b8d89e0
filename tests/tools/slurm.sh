#!/bin/sh
# The README's cluster recipe on a real Slurm: a one-node cluster of its
# own (munged, slurmctld, slurmd) in a temporary folder, on free ports,
# runs a round robin as 4 shards of a job array and the merge after them
# (scripts/slurm-partite --wait). The merged game file must be the
# one-machine run's, byte for byte, and the table the same apart from the
# time lines; a run whose shards fail must end with its merge cancelled and
# a failing exit. The node must still be idle (a node that drains, or jobs
# that "complete" with no output, mean a cluster that only seems to work).
# Only the daemons started here are stopped, once the queue is empty.
# Where Slurm cannot start (no root, no Slurm, daemons that do not come up)
# the test is skipped with one line and exit 77, unless
# VORANDEL_SLURM_OBBLIGATORIO is set (CI), which makes that a failure.
#   slurm.sh <runner> <source folder>
partite=$1
radice=$2
PATH=$PATH:/usr/sbin:/sbin
export PATH
salta() {
    if [ -n "${VORANDEL_SLURM_OBBLIGATORIO:-}" ]; then
        echo "FAILED: Slurm must run here (VORANDEL_SLURM_OBBLIGATORIO), but $1"
        exit 1
    fi
    echo "SKIPPED: no one-node Slurm here: $1"
    exit 77
}
[ "$(id -u)" -eq 0 ] || salta "its daemons need root"
for c in munged mungekey slurmctld slurmd sbatch scontrol sinfo squeue scancel; do
    command -v "$c" >/dev/null || salta "$c is missing (scripts/dipendenze installs Slurm and munge)"
done
lavoro=$(mktemp -d)
chmod 700 "$lavoro"
pid_munge='' pid_ctld='' pid_d=''
ferma() {
    if [ -n "$pid_ctld" ]; then
        # shellcheck disable=SC2046
        scancel --quiet --full $(squeue -h -o %i 2>/dev/null) 2>/dev/null
        # The queue is looked at until it is empty, for up to 2 minutes.
        fino=$(($(date +%s) + 120))
        while [ -n "$(squeue -h -o %i 2>/dev/null)" ] && [ "$(date +%s)" -lt "$fino" ]; do
            sleep 0.1
        done
    fi
    for p in $pid_d $pid_ctld $pid_munge; do kill -TERM "$p" 2>/dev/null; done
    for p in $pid_d $pid_ctld $pid_munge; do
        giri=0
        while kill -0 "$p" 2>/dev/null && [ "$giri" -lt 100 ]; do
            sleep 0.1
            giri=$((giri + 1))
        done
        kill -KILL "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    rm -rf "$lavoro"
}
trap ferma EXIT
trap 'exit 1' INT TERM
sbaglio() {
    echo "$*"
    exit 1
}
# Two free TCP ports, neither in use now (the kernel's own tables: no
# tool needed).
in_uso() {
    awk 'FNR > 1 { split($2, a, ":"); print a[2] }' /proc/net/tcp /proc/net/tcp6 2>/dev/null |
        grep -qi "^$(printf '%04X' "$1")\$"
}
porte=""
# shellcheck disable=SC2013
for p in $(awk -v s="$$" 'BEGIN { srand(s); for (i = 0; i < 50; i++) print 20000 + int(rand() * 40000) }'); do
    in_uso "$p" && continue
    porte="$porte $p"
    [ "$(echo "$porte" | wc -w)" -eq 2 ] && break
done
# shellcheck disable=SC2086
set -- $porte
[ $# -eq 2 ] || salta "no free ports"
porta_ctld=$1 porta_d=$2
cpu=$(nproc)
mkdir -p "$lavoro/stato" "$lavoro/spool" "$lavoro/run" "$lavoro/lavoro"
: >"$lavoro/plugstack.conf"
cat >"$lavoro/slurm.conf" <<EOF
ClusterName=vorandel
SlurmctldHost=localhost(127.0.0.1)
SlurmctldPort=$porta_ctld
SlurmdPort=$porta_d
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$lavoro/run/munge.socket.2
StateSaveLocation=$lavoro/stato
SlurmdSpoolDir=$lavoro/spool
SlurmctldPidFile=$lavoro/run/slurmctld.pid
SlurmdPidFile=$lavoro/run/slurmd.pid
SlurmctldLogFile=$lavoro/slurmctld.log
SlurmdLogFile=$lavoro/slurmd.log
PlugStackConfig=$lavoro/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SchedulerType=sched/backfill
SchedulerParameters=batch_sched_delay=0,bf_interval=1
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
MailProg=/bin/true
ReturnToService=2
NodeName=localhost NodeAddr=127.0.0.1 CPUs=$cpu State=UNKNOWN
PartitionName=prove Nodes=localhost Default=YES MaxTime=INFINITE State=UP
EOF
SLURM_CONF=$lavoro/slurm.conf
export SLURM_CONF
mungekey -c -k "$lavoro/munge.key" 2>"$lavoro/mungekey.err" || salta "mungekey failed: $(cat "$lavoro/mungekey.err")"
munged -F --force --socket="$lavoro/run/munge.socket.2" --key-file="$lavoro/munge.key" \
    --pid-file="$lavoro/run/munged.pid" --log-file="$lavoro/munged.log" --seed-file="$lavoro/munge.seed" \
    >/dev/null 2>&1 &
pid_munge=$!
slurmctld -D -f "$SLURM_CONF" >/dev/null 2>&1 &
pid_ctld=$!
slurmd -D -N localhost -f "$SLURM_CONF" >/dev/null 2>&1 &
pid_d=$!
# The node comes up idle within a second or two: it is looked at until it
# is, for up to 2 minutes, while our own daemons must still run.
fino=$(($(date +%s) + 120))
while [ "$(sinfo -h -n localhost -o %T 2>/dev/null)" != idle ]; do
    for p in $pid_munge $pid_ctld $pid_d; do
        kill -0 "$p" 2>/dev/null || salta "a daemon did not stay up: $(tail -n 3 "$lavoro"/*.log 2>/dev/null | tr '\n' ' ')"
    done
    [ "$(date +%s)" -lt "$fino" ] || salta "the node did not become idle in 2 minutes: $(sinfo -h -n localhost -o %T 2>&1)"
    sleep 0.1
done

# The run on one machine, and the same run through the cluster.
cd "$lavoro/lavoro" || exit 1
run="--round-robin 1-3 --games 40 --seed 21"
# shellcheck disable=SC2086
"$partite" $run --quiet --jobs 2 --record solo.txt >solo.tab || sbaglio "the one-machine run failed"
# shellcheck disable=SC2086
PARTITE=$partite "$radice/scripts/slurm-partite" 4 "$lavoro/lavoro/grappolo" --wait $run >grappolo.tab 2>grappolo.err ||
    sbaglio "slurm-partite failed: $(cat grappolo.err grappolo.tab)"
for k in 1 2 3 4; do
    [ -s "grappolo/shard$k.txt" ] || sbaglio "shard $k wrote nothing: $(cat "grappolo/shard-$k.out" 2>&1)"
done
cmp grappolo/merged.txt solo.txt || sbaglio "merged.txt is not the one-machine run's file"
grep -v '^time \|^games per second ' solo.tab >a.tab
grep -v '^time \|^games per second ' grappolo/table.txt >b.tab
cmp -s a.tab b.tab || { diff a.tab b.tab; sbaglio "table.txt is not the one-machine run's table"; }
tail -n +2 grappolo.tab | grep -q "^Crosstable" || sbaglio "--wait did not print the table: $(cat grappolo.tab)"

# Shards that fail: the merge is cancelled, not left pending, and --wait
# says so and fails.
printf '#!/bin/sh\nexit 3\n' >rotto
chmod +x rotto
esito=0
# shellcheck disable=SC2086
PARTITE=$lavoro/lavoro/rotto "$radice/scripts/slurm-partite" 2 "$lavoro/lavoro/rotto.d" --wait $run >rotto.tab 2>rotto.err ||
    esito=$?
{ [ "$esito" -ne 0 ] && grep -q "CANCELLED\|FAILED" rotto.err; } ||
    sbaglio "a run whose shards failed: exit $esito, $(cat rotto.err)"
stato=$(sinfo -h -n localhost -o %T)
[ "$stato" = idle ] || sbaglio "the node is $stato after the jobs, not idle"
echo "4 shards on a one-node Slurm: merged.txt and table.txt are the one-machine run's; failed shards: $(cat rotto.err)"
