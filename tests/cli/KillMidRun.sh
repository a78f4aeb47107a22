#!/bin/sh
# Kills a conversion of many short items (SIGKILL) at random moments, round after round: every
# file that has an output's name then holds the whole output, and --skip-existing finishes the
# run. Odd rounds use one worker, even rounds two.
#   KillMidRun.sh TESSIVAL_CLI [ROUNDS] [ITEMS]
set -eu
CLI=$1
ROUNDS=${2:-5}
ITEMS=${3:-120}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
random_below() { echo $(($(od -An -N4 -tu4 /dev/urandom) % $1)); }

ffmpeg -nostdin -v error -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1" -ac 2 -c:a pcm_s16le s.wav
mkdir sources
for i in $(seq 1 "$ITEMS"); do cp s.wav "sources/s$i.wav"; done
"$CLI" add list.tsl --dest-type='WAV (PCM)' --dest-path="$WORK/out" --quality=2,1411,16,44100 sources/*.wav >/dev/null

# One whole output, decoded by ffmpeg to its last frame, is what every output must equal.
started=$(now_ms)
"$CLI" convert list.tsl --progress=none >/dev/null || fail "the first whole run failed"
run_ms=$(($(now_ms) - started))
bytes=$(ffmpeg -nostdin -v error -i out/s1.wav -f s16le - | wc -c)
[ "$bytes" -eq 176400 ] || fail "out/s1.wav decodes to $bytes bytes, 176400 expected"
whole=$(md5sum < out/s1.wav)

# Outputs with their real names (not temporaries, not kept leftovers) must all be whole.
named() { ls out 2>/dev/null | grep -x 's[0-9]*\.wav' || true; }
check_outputs() {
    for f in $(named); do
        [ "$(md5sum < "out/$f")" = "$whole" ] || fail "round $1: out/$f is not a whole output"
    done
}

round=1
while [ "$round" -le "$ROUNDS" ]; do
    jobs=$((2 - round % 2))
    rm -rf out
    "$CLI" convert list.tsl --jobs="$jobs" --progress=none >/dev/null 2>&1 &
    pid=$!
    sleep "$(random_below $((run_ms + 1)) | awk '{ printf "%.3f", $1 / 1000 }')"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    killed_with=$(named | wc -l)
    check_outputs "$round"
    "$CLI" convert list.tsl --jobs="$jobs" --skip-existing --progress=none >/dev/null ||
        fail "round $round: --skip-existing did not finish the run"
    check_outputs "$round"
    # Only the outputs that were being written when the kill came are kept as partial ones;
    # finished outputs that waited for their commit are not.
    recovered=$(ls out | grep -c '(recovered' || true)
    [ "$recovered" -le "$jobs" ] || fail "round $round: $recovered outputs kept as recovered, at most $jobs expected"
    total=$(named | wc -l)
    [ "$total" -eq "$ITEMS" ] || fail "round $round: $total outputs after --skip-existing, $ITEMS expected"
    echo "round $round (--jobs=$jobs): killed with $killed_with of $ITEMS outputs named, all whole; finished"
    round=$((round + 1))
done
