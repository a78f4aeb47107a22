#!/bin/sh
# The headless demo: makes a few short media files, puts them in a list and shows (and, when the
# build can convert, converts) it with tessival-cli.
set -e
BUILD_DIR="${1:-build}"
cd "$(dirname "$0")/.."
CLI="$BUILD_DIR/src/cli/tessival-cli"
DEMO="$BUILD_DIR/demo"
mkdir -p "$DEMO/out"
rm -f "$DEMO/demo.tsl"

ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=440:duration=3" -ac 2 "$DEMO/tone.wav"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=660:duration=3" -c:a libmp3lame -b:a 128k "$DEMO/song.mp3"
sox -n -r 22050 -c 1 "$DEMO/sweep.wav" synth 2 sine 200-2000

"$CLI" add "$DEMO/demo.tsl" --dest-type=WAV --dest-path="$PWD/$DEMO/out/" "$DEMO/tone.wav" "$DEMO/song.mp3" "$DEMO/sweep.wav"
echo "Demo list $DEMO/demo.tsl:"
printf 'Source name\tSource type\tDest name\tDest type\tDest path\tStatus\n'
"$CLI" show "$DEMO/demo.tsl"
if "$CLI" help | grep -q '^  convert '; then
    echo
    "$CLI" convert "$DEMO/demo.tsl" || true
fi
