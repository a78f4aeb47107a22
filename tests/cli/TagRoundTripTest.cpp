#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

// Dumps a file's tags as mutagen (not our code) reads them, one sorted line a value: Vorbis
// comments as NAME=value, ID3 frames untranslated with their ids, MP4 atoms by name.
constexpr const char* kDumpTags = R"(
import base64, sys, mutagen
from mutagen.flac import Picture
from mutagen.id3 import ID3
from mutagen.mp4 import MP4FreeForm
path = sys.argv[1]
lines = []
def put(key, value):
    lines.append('%s=%s' % (key, str(value).replace('\n', '\\n')))
def picture(p):
    return '%d %s %s' % (p.type, p.mime, p.desc)
if path.endswith('.mp3'):
    tags = ID3(path, translate=False)
    lines.append('ID3v2.%d' % tags.version[1])
    for frame in tags.values():
        if frame.FrameID == 'APIC':
            put('APIC', picture(frame))
        elif frame.FrameID == 'UFID':
            put('UFID:' + frame.owner, frame.data.decode())
        elif frame.FrameID in ('COMM', 'USLT'):
            text = frame.text if isinstance(frame.text, str) else '|'.join(frame.text)
            put(frame.FrameID + ':' + frame.lang + ':' + frame.desc, text)
        else:
            key = frame.FrameID + (':' + frame.desc if frame.FrameID == 'TXXX' else '')
            put(key, '|'.join(str(t) for t in frame.text))
else:
    f = mutagen.File(path)
    if path.endswith('.m4a'):
        for key, values in f.tags.items():
            for v in values if isinstance(values, list) else [values]:
                if key == 'covr':
                    v = 'png' if v.imageformat == 14 else 'jpeg'
                elif isinstance(v, MP4FreeForm):
                    v = bytes(v).decode()
                elif isinstance(v, tuple):
                    v = '%d/%d' % v
                put(key, v)
    else:
        for key, value in f.tags:
            put(key, picture(Picture(base64.b64decode(value))) if key == 'METADATA_BLOCK_PICTURE' else value)
        for p in getattr(f, 'pictures', []):
            put('PICTURE', picture(p))
print('\n'.join(sorted(lines)))
)";

// The source's Vorbis comments, as they must come out of every Vorbis comment container.
const std::vector<std::string> kVorbisComments = {
    "ALBUM=Disc",
    "ALBUMARTIST=Band",
    "ARTIST=Ann",
    "ARTIST=Bob",
    "ARTISTSORT=Ann, The",
    "BPM=120",
    "COMMENT=Nice one",
    "COMPILATION=1",
    "COMPOSER=Cid",
    "CONDUCTOR=Eve",
    "DATE=2001-02-03",
    "DISCNUMBER=1",
    "DISCTOTAL=2",
    "GENRE=Rock",
    "ISRC=USABC0100001",
    "LABEL=Lbl",
    "LYRICS=la la\\nla",
    "MOOD=Happy",
    "MUSICBRAINZ_ALBUMID=22222222-2222-2222-2222-222222222222",
    "MUSICBRAINZ_TRACKID=11111111-1111-1111-1111-111111111111",
    "PERFORMER=Dee",
    "REPLAYGAIN_ALBUM_GAIN=-7.00 dB",
    "REPLAYGAIN_ALBUM_PEAK=0.999",
    "REPLAYGAIN_TRACK_GAIN=-6.50 dB",
    "REPLAYGAIN_TRACK_PEAK=0.988",
    "TITLE=Song",
    "TRACKNUMBER=3",
    "TRACKTOTAL=12",
};

std::vector<std::string> With(std::vector<std::string> lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    std::sort(lines.begin(), lines.end());
    return lines;
}

// ID3 frames both versions write alike.
const std::vector<std::string> kId3Frames = {
    "APIC=3 image/jpeg ",
    "APIC=4 image/png Back side",
    "COMM:eng:=Nice one",
    "TALB=Disc",
    "TBPM=120",
    "TCMP=1",
    "TCOM=Cid",
    "TCON=Rock",
    "TIT2=Song",
    "TPE2=Band",
    "TPE3=Eve",
    "TPOS=1/2",
    "TPUB=Lbl",
    "TRCK=3/12",
    "TSOP=Ann, The",
    "TSRC=USABC0100001",
    "TXXX:MusicBrainz Album Id=22222222-2222-2222-2222-222222222222",
    "TXXX:PERFORMER=Dee",
    "TXXX:REPLAYGAIN_ALBUM_GAIN=-7.00 dB",
    "TXXX:REPLAYGAIN_ALBUM_PEAK=0.999",
    "TXXX:REPLAYGAIN_TRACK_GAIN=-6.50 dB",
    "TXXX:REPLAYGAIN_TRACK_PEAK=0.988",
    "UFID:http://musicbrainz.org=11111111-1111-1111-1111-111111111111",
    "USLT:eng:=la la\\nla",
};

struct Destination {
    const char* destType;
    const char* extension;
    const char* quality;
    const char* convertOptions;
    std::vector<std::string> tags;
};

class TagRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(dir_.File("dump.py")) << kDumpTags;
        source_ = dir_.File("source.flac");
        for (const std::string& make : {"-f lavfi -i sine=d=1 -ac 2 " + ShellQuote(source_),
                                        "-f lavfi -i color=c=red:s=32x24 -frames:v 1 " + ShellQuote(dir_.File("front.jpg")),
                                        "-f lavfi -i color=c=blue:s=24x32 -frames:v 1 " + ShellQuote(dir_.File("back.png"))})
            ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y " + make).exitCode, 0);
        std::string metaflac = "metaflac --remove-all-tags";
        for (std::string comment : kVorbisComments) {
            if (const auto at = comment.find("\\n"); at != std::string::npos) comment.replace(at, 2, "\n");
            metaflac += " --set-tag=" + ShellQuote(comment);
        }
        metaflac += " --import-picture-from=" + ShellQuote("3||||" + dir_.File("front.jpg"));
        metaflac += " --import-picture-from=" + ShellQuote("4|image/png|Back side||" + dir_.File("back.png"));
        ASSERT_EQ(RunProcess(metaflac + " " + ShellQuote(source_)).exitCode, 0);
    }

    std::string Convert(const Destination& destination) {
        const std::string out = dir_.File(std::string("out-") + destination.extension + destination.convertOptions);
        std::filesystem::create_directories(out);
        const std::string list = out + "/list.tsl";
        if (RunProcess(CliPath() + " add " + ShellQuote(list) + " --dest-type=" + ShellQuote(destination.destType) +
                       " --dest-path=" + ShellQuote(out) + " --quality=" + ShellQuote(destination.quality) + " " +
                       ShellQuote(source_) + " >/dev/null 2>&1")
                .exitCode != 0)
            return "";
        const auto run =
            RunProcess(CliPath() + " convert " + destination.convertOptions + " " + ShellQuote(list) + " 2>&1");
        EXPECT_NE(run.output.find("1: Complete("), std::string::npos) << run.output;
        return out + "/source." + destination.extension;
    }

    std::vector<std::string> DumpTags(const std::string& path) {
        std::istringstream text(
            RunProcess("/usr/bin/python3 " + ShellQuote(dir_.File("dump.py")) + " " + ShellQuote(path)).output);
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    test::TempDir dir_;
    std::string source_;
};

TEST_F(TagRoundTrip, EveryFieldReachesEachTypeInItsOwnSpelling) {
    const std::vector<std::string> vorbis =
        With(kVorbisComments, {"METADATA_BLOCK_PICTURE=3 image/jpeg ", "METADATA_BLOCK_PICTURE=4 image/png Back side"});
    const Destination destinations[] = {
        {"FLAC", "flac", "2,5,Source,Source", "",
         With(kVorbisComments, {"PICTURE=3 image/jpeg ", "PICTURE=4 image/png Back side"})},
        {"Ogg Vorbis", "ogg", "2,128,0,44100", "", vorbis},
        {"Opus", "opus", "2,96,0,48000", "", vorbis},
        {"LAME MP3", "mp3", "2,192,0,44100", "",
         With(kId3Frames, {"ID3v2.4", "TDRC=2001-02-03", "TMOO=Happy", "TPE1=Ann|Bob"})},
        // 2.3 has no multi-value frames, no TDRC and no TMOO.
        {"LAME MP3", "mp3", "2,192,0,44100", "--id3=2.3",
         With(kId3Frames, {"ID3v2.3", "TDAT=0302", "TYER=2001", "TXXX:MOOD=Happy", "TPE1=Ann/Bob"})},
        {"M4A AAC", "m4a", "2,128,0,44100", "",
         With({}, {"----:com.apple.iTunes:CONDUCTOR=Eve",
                   "----:com.apple.iTunes:ISRC=USABC0100001",
                   "----:com.apple.iTunes:LABEL=Lbl",
                   "----:com.apple.iTunes:MOOD=Happy",
                   "----:com.apple.iTunes:MusicBrainz Album Id=22222222-2222-2222-2222-222222222222",
                   "----:com.apple.iTunes:MusicBrainz Track Id=11111111-1111-1111-1111-111111111111",
                   "----:com.apple.iTunes:PERFORMER=Dee",
                   "----:com.apple.iTunes:replaygain_album_gain=-7.00 dB",
                   "----:com.apple.iTunes:replaygain_album_peak=0.999",
                   "----:com.apple.iTunes:replaygain_track_gain=-6.50 dB",
                   "----:com.apple.iTunes:replaygain_track_peak=0.988",
                   "aART=Band",
                   "covr=jpeg",
                   "covr=png",
                   "cpil=True",
                   "disk=1/2",
                   "soar=Ann, The",
                   "tmpo=120",
                   "trkn=3/12",
                   "\xC2\xA9" "ART=Ann",
                   "\xC2\xA9" "ART=Bob",
                   "\xC2\xA9" "alb=Disc",
                   "\xC2\xA9" "cmt=Nice one",
                   "\xC2\xA9" "day=2001-02-03",
                   "\xC2\xA9" "gen=Rock",
                   "\xC2\xA9" "lyr=la la\\nla",
                   "\xC2\xA9" "nam=Song",
                   "\xC2\xA9" "wrt=Cid"})},
    };
    for (const Destination& destination : destinations) {
        SCOPED_TRACE(std::string(destination.destType) + " " + destination.convertOptions);
        const std::string out = Convert(destination);
        EXPECT_EQ(DumpTags(out), destination.tags);
        // FFmpeg's own reader finds the main fields and the lyrics too.
        const std::string probed =
            RunProcess("ffprobe -v error -show_entries format_tags:stream_tags -of default=nw=1 " + ShellQuote(out))
                .output;
        for (const char* expected : {"=Song\n", "=Disc\n", "=Cid\n", "=la la\nla\n", "=-6.50 dB\n"})
            EXPECT_NE(probed.find(expected), std::string::npos) << expected << " missing in\n" << probed;
    }
}

}  // namespace
}  // namespace tessival
