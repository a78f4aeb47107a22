#!/bin/sh
# The headless demo: makes a few short media files, puts them in a list, shows and converts it
# with tessival-cli.
set -e
BUILD_DIR="${1:-build}"
cd "$(dirname "$0")/.."
CLI="$BUILD_DIR/src/cli/tessival-cli"
DEMO="$BUILD_DIR/demo"
rm -rf "$DEMO/out" "$DEMO/demo.tsl"
mkdir -p "$DEMO/out"

ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=440:duration=3" -ac 2 "$DEMO/tone.wav"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=660:duration=3" -c:a libmp3lame -b:a 128k "$DEMO/song.mp3"
sox -n -r 22050 -c 1 "$DEMO/sweep.wav" synth 2 sine 200-2000

# One item per destination type, each with a quality as `tessival-cli qualities TYPE` lists it.
"$CLI" add "$DEMO/demo.tsl" --dest-type=MP3 --dest-path="$PWD/$DEMO/out" --quality=2,128,0,44100 "$DEMO/tone.wav"
"$CLI" add "$DEMO/demo.tsl" --dest-type=WAV --dest-path="$PWD/$DEMO/out" --quality=1,352,16,22050 "$DEMO/song.mp3"
"$CLI" add "$DEMO/demo.tsl" --dest-type="WAV (IMA ADPCM)" --dest-path="$PWD/$DEMO/out" --quality=1,88,4,22050 "$DEMO/sweep.wav"
echo "Demo list $DEMO/demo.tsl:"
printf 'Source name\tSource type\tDest name\tDest type\tDest path\tStatus\n'
"$CLI" show "$DEMO/demo.tsl"
echo
echo "Converting it:"
"$CLI" convert "$DEMO/demo.tsl" || true
echo
echo "Output WAVE files in $DEMO/out:"
for f in "$DEMO"/out/*; do
    printf '  %s: ' "$(basename "$f")"
    ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 "$f"
done
