#!/bin/sh
# The README's Slurm job array on a single-node cluster of our own: munge and Slurm are configured
# in a temporary folder, started here and stopped by their pids. A 12-item list in 3 array tasks
# converts every item exactly once, into the same files as one process writes.
#   SlurmShards.sh TESSIVAL_CLI
set -eu
CLI_DIR=$(cd "$(dirname "$1")" && pwd)
PATH="$CLI_DIR:$PATH:/usr/sbin"
export PATH
WORK=$(mktemp -d)
stop_daemons() {
    for pid in "$WORK"/slurmd.pid "$WORK"/slurmctld.pid "$WORK"/munged.pid; do
        [ -s "$pid" ] && kill "$(cat "$pid")" 2>/dev/null || true
    done
    sleep 1
    rm -rf "$WORK"
}
trap stop_daemons EXIT
cd "$WORK"
mkdir -p sources one sharded state spool munge
chmod 700 munge

# munge: a key of our own and a socket in the temporary folder.
dd if=/dev/urandom of=munge/munge.key bs=1024 count=1 2>/dev/null
chmod 400 munge/munge.key
munged --force --key-file="$WORK/munge/munge.key" --socket="$WORK/munge/munge.socket" \
    --pid-file="$WORK/munged.pid" --log-file="$WORK/munged.log" --seed-file="$WORK/munge/munge.seed"

NODE=$(hostname -s)
CPUS=$(nproc)
PORT=$((20000 + $$ % 20000))
cat > slurm.conf <<CONF
ClusterName=tessival-test
SlurmctldHost=$NODE
SlurmUser=$(id -un)
SlurmdUser=$(id -un)
SlurmctldPort=$PORT
SlurmdPort=$((PORT + 1))
AuthType=auth/munge
AuthInfo=socket=$WORK/munge/munge.socket
CredType=cred/munge
StateSaveLocation=$WORK/state
SlurmdSpoolDir=$WORK/spool
SlurmctldPidFile=$WORK/slurmctld.pid
SlurmdPidFile=$WORK/slurmd.pid
SlurmctldLogFile=$WORK/slurmctld.log
SlurmdLogFile=$WORK/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
SchedulerType=sched/builtin
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
NodeName=$NODE CPUs=$CPUS State=UNKNOWN
PartitionName=test Nodes=$NODE Default=YES MaxTime=INFINITE State=UP
CONF
SLURM_CONF="$WORK/slurm.conf"
export SLURM_CONF
slurmctld -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF"
tries=0
until sinfo -h -o %T 2>/dev/null | grep -q idle; do
    tries=$((tries + 1))
    if [ "$tries" -gt 60 ]; then
        echo "FAIL: the node did not come up in a minute" >&2
        tail -5 slurmctld.log slurmd.log >&2 || true
        exit 1
    fi
    sleep 1
done

for i in 01 02 03 04 05 06 07 08 09 10 11 12; do
    ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=$((200 + ${i#0} * 50)):duration=1" -ac 2 \
        "sources/tone$i.wav"
done
for list in one sharded; do
    for i in 01 03 05 07 09 11; do
        tessival-cli add "$list.tsl" --dest-type=MP3 --dest-path="$WORK/$list" --quality=2,128,0,44100 \
            "$WORK/sources/tone$i.wav"
        j=$(printf '%02d' $((${i#0} + 1)))
        tessival-cli add "$list.tsl" --dest-type=WAV --dest-path="$WORK/$list" --quality=1,352,16,22050 \
            "$WORK/sources/tone$j.wav"
    done
done

tessival-cli convert one.tsl --progress=none > one.log
# The README's command, with the list's path here, waiting for the array to end.
sbatch --wait --array=1-3 -o "$WORK/task-%a.log" --export=ALL \
    --wrap "tessival-cli convert $WORK/sharded.tsl --jobs=0 --shard=\$SLURM_ARRAY_TASK_ID/3 --progress=none" >/dev/null
cat task-*.log > sharded.log

fail() { echo "FAIL: $*" >&2; cat sharded.log >&2; exit 1; }
[ "$(ls task-*.log | wc -l)" -eq 3 ] || fail "$(ls task-*.log | wc -l) array tasks ran, 3 expected"
started=$(grep -c ': Init\.\.\.$' sharded.log) || true
[ "$started" -eq 12 ] || fail "$started items started, 12 expected"
for n in 1 2 3 4 5 6 7 8 9 10 11 12; do
    [ "$(grep -c "^$n: Complete(" sharded.log)" -eq 1 ] || fail "item $n did not complete exactly once"
done
[ "$(ls sharded | wc -l)" -eq 12 ] || fail "$(ls sharded | wc -l) outputs, 12 expected"
for f in one/*; do
    cmp -s "$f" "sharded/$(basename "$f")" || fail "sharded/$(basename "$f") differs from one process's"
done
echo "12 items in a 3-task Slurm array, each converted once, outputs identical to one process"
