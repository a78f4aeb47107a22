#!/bin/sh
# The README's GNU parallel example, run on this machine's own slots (-S :): a 12-item list in 3
# shards converts every item exactly once, into the same files as one process writes.
#   ParallelShards.sh TESSIVAL_CLI
set -eu
CLI_DIR=$(cd "$(dirname "$1")" && pwd)
PATH="$CLI_DIR:$PATH"
export PATH
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
mkdir sources one sharded

for i in 01 02 03 04 05 06 07 08 09 10 11 12; do
    ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=$((200 + ${i#0} * 50)):duration=1" -ac 2 \
        "$WORK/sources/tone$i.wav"
done
# Odd items to MP3, even ones to WAVE, in both lists.
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
parallel --will-cite -j3 -S : \
    tessival-cli convert "$WORK/sharded.tsl" --jobs=0 --shard={}/3 --progress=none ::: 1 2 3 > sharded.log

fail() { echo "FAIL: $*" >&2; cat sharded.log >&2; exit 1; }
# Each item started and completed once, in one shard or another.
started=$(grep -c ': Init\.\.\.$' sharded.log) || true
[ "$started" -eq 12 ] || fail "$started items started, 12 expected"
for n in 1 2 3 4 5 6 7 8 9 10 11 12; do
    [ "$(grep -c "^$n: Complete(" sharded.log)" -eq 1 ] || fail "item $n did not complete exactly once"
done
[ "$(ls sharded | wc -l)" -eq 12 ] || fail "$(ls sharded | wc -l) outputs, 12 expected"
for f in one/*; do
    cmp -s "$f" "sharded/$(basename "$f")" || fail "sharded/$(basename "$f") differs from one process's"
done
echo "12 items in 3 shards, each converted once, outputs identical to one process"
