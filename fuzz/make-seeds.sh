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

byte() {  # byte N...: the bytes of those numbers
    for n in "$@"; do printf "\\$(printf '%03o' "$n")"; done
}

tags="$here/corpus/TagFuzzer"
mkdir -p "$tags"
tagged() {  # tagged OUTPUT FFMPEG-OUTPUT-OPTIONS...
    tone "$@" -metadata title="Tone" -metadata artist="One" -metadata MOOD="calm"
}
tagged "$work/t.flac" 0.2 -c:a flac
tagged "$work/t.ogg" 0.2 -c:a libvorbis
tagged "$work/t.opus" 0.2 -ar 48000 -c:a libopus -f ogg
tagged "$work/t.mp3" 0.2 -c:a libmp3lame -b:a 32k -id3v2_version 4
tagged "$work/t.m4a" 0.2 -c:a aac -b:a 32k -movflags +faststart -f ipod
tagged "$work/t-moov-last.m4a" 0.2 -c:a aac -b:a 32k -f ipod
# An edit: MOOD=calm set, names starting REP dropped.
edit="$work/edit"
{ byte 1 4; printf MOOD; byte 4; printf calm; byte 1 3; printf REP; } > "$edit"
seed() {  # seed NAME MODE FILE
    { byte "$2"; cat "$edit" "$3"; } > "$tags/$1"
}
seed flac 0 "$work/t.flac"
seed ogg-vorbis 1 "$work/t.ogg"
seed ogg-opus 1 "$work/t.opus"
seed mp3 2 "$work/t.mp3"
seed m4a 3 "$work/t-moov-last.m4a"
{ byte 0 0 0 0 1 0 0 0 9 0 0 0; printf TITLE=One; } > "$work/list"
seed comment-list 4 "$work/list"
for file in t.flac t.ogg t.mp3 t.m4a t-moov-last.m4a; do seed "file-$file" 8 "$work/$file"; done
# The fill-in over a FLAC header holding the placeholder comment the muxer lays out.
{ byte 5 1 1; printf A; byte 3; printf abc; byte 1; head -c 200 "$work/t.flac"; } > "$tags/fill-flac"
moov_at=$(grep -obUaP 'moov' "$work/t.m4a" | head -n 1 | cut -d: -f1)
tail -c "+$((moov_at - 3))" "$work/t.m4a" > "$work/from-moov"
moov_size=$(head -c 4 "$work/from-moov" | od -An -tu1 | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
# Tags (a count, then a name byte, a length and a value each), then the bytes of a moov box.
{ byte 6 2 0 3; printf One; byte 1 3; printf Two; head -c "$moov_size" "$work/from-moov"; } > "$tags/moov"
# A version byte (even: 2.4, odd: 2.3), a flags byte, then tags with a cover.
{ byte 7 0 0 4 0 3; printf One; byte 1 2; printf Me; byte 10 5; printf 'Hi\000yo'; byte 20 4; printf '\377\330\377\340'; } > "$tags/id3v24"
{ byte 7 1 0 2 0 5; printf 'Caf\303\251'; byte 8 10; printf 2024-05-06; } > "$tags/id3v23"

muxers="$here/corpus/MuxerFuzzer"
mkdir -p "$muxers"
packets() {  # packets COUNT: whole packets in their order, at their own times
    i=0
    while [ "$i" -lt "$1" ]; do byte "$i" 0 0 0; i=$((i + 1)); done
}
# Profiles: 0-3 WAVE (8, 16, 24-bit, float), 4-5 MP3, 6-7 FLAC, 8-9 Ogg Vorbis, 10 Ogg Opus, 11-12 M4A.
for profile in 0 1 2 3 4 5 6 7 8 9 10 11 12; do
    { byte "$profile" 0; packets 40; } > "$muxers/profile-$profile"
    # Tags: a title, an artist and a field of a name of its own (value first, then the name).
    { byte "$profile" 2 3 0 4; printf Tone; byte 1 3; printf One; byte 30 4; printf calm; printf CUSTOMFIELD123; packets 12; } \
        > "$muxers/profile-$profile-tagged"
    { byte "$profile" 1; packets 5; } > "$muxers/profile-$profile-stopped"
done
