#!/bin/sh
# Makes the fuzz targets' seed corpora with ffmpeg (and the command-line companion for lists).
# usage: fuzz/make-seeds.sh CLI   (the built tessival-cli)
set -eu
cli="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

tone() {  # tone OUTPUT SECONDS FFMPEG-OUTPUT-OPTIONS...
    out="$1"; seconds="$2"; shift 2
    ffmpeg -nostdin -v error -y -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=$seconds" "$@" "$out"
}
video() {  # video OUTPUT FFMPEG-OUTPUT-OPTIONS...
    out="$1"; shift
    ffmpeg -nostdin -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.3" \
        -f lavfi -i "testsrc=size=32x32:rate=25:duration=0.3" "$@" "$out"
}

wave="$here/corpus/WaveParserFuzzer"
mkdir -p "$wave"
tone "$wave/pcm16-stereo.wav" 0.05 -ac 2 -c:a pcm_s16le
tone "$wave/pcm8-mono.wav" 0.05 -c:a pcm_u8
tone "$wave/pcm24-6ch-extensible.wav" 0.02 -ac 6 -c:a pcm_s24le
tone "$wave/ima-adpcm.wav" 0.1 -c:a adpcm_ima_wav
tone "$wave/mp3-in-wave.wav" 0.2 -c:a libmp3lame -b:a 32k -f wav
tone "$wave/rf64.wav" 0.05 -c:a pcm_s16le -rf64 always

conversion="$here/corpus/ConversionFuzzer"
mkdir -p "$conversion"
tone "$work/0.wav" 0.3 -c:a pcm_s16le
tone "$work/1.mp3" 0.5 -c:a libmp3lame -b:a 32k
tone "$work/2.wma" 0.5 -c:a wmav2 -b:a 32k
video "$work/3.avi" -c:v mjpeg -c:a libmp3lame -b:a 32k
video "$work/4.mpg" -c:v mpeg1video -c:a mp2 -b:a 64k -f mpeg
video "$work/5.vob" -c:v mpeg2video -c:a ac3 -b:a 64k -ar 48000 -f vob
# Selector byte: the source's extension, then PCM into a new file or MP3 over an older one.
for seed in "$work"/*; do
    name="$(basename "$seed")"
    index="${name%%.*}"
    printf "\\$(printf '%03o' "$index")" | cat - "$seed" > "$conversion/$name-pcm"
    printf "\\$(printf '%03o' $((index + 24)))" | cat - "$seed" > "$conversion/$name-mp3-over-older"
done

sheets="$here/corpus/SheetFuzzer"
mkdir -p "$sheets"
# Selector byte 0: a cue sheet; 1: a toc file.
printf '\000FILE "album.flac" WAVE\n  TRACK 01 AUDIO\n    TITLE "One"\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 02:59:70\n    INDEX 01 03:00:12\n' > "$sheets/album.cue"
printf '\000FILE "disc.bin" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 10:00:00\n' > "$sheets/disc-image.cue"
printf '\001CD_DA\nTRACK AUDIO\nDATAFILE "disc.bin" 00:10:00\nTRACK AUDIO\nDATAFILE "disc.bin" #1764000 00:05:00\n' > "$sheets/disc.toc"

lists="$here/corpus/ListFileFuzzer"
mkdir -p "$lists"
rm -f "$lists/two-items.tsl"
"$cli" add "$lists/two-items.tsl" --dest-type="WAV (PCM)" --quality=1,352,16,22050 --dest-path=/tmp "$work/0.wav" "$work/1.mp3"
head -c 1500 "$lists/two-items.tsl" > "$lists/one-item-and-a-cut-one.tsl"
