#include <gtest/gtest.h>

#include <algorithm>
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
            if key.endswith(':iTunSMPB'):
                continue  # the file's own gapless figures, not a tag of the source
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

// An MP3 (ID3v2.4 and 2.3) and an M4A source written by mutagen, as other taggers write them.
constexpr const char* kTagSources = R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, COMM, USLT, UFID, TXXX, TPE3, TBPM, TRCK, TPOS, TCMP
from mutagen.mp4 import MP4, MP4FreeForm
mp3, version, m4a = sys.argv[1], int(sys.argv[2]), sys.argv[3]
utf = 3 if version == 4 else 1
t = ID3()
t.add(TIT2(encoding=utf, text=['Song']))
t.add(TPE1(encoding=utf, text=['Ann', 'Bob']))
t.add(COMM(encoding=utf, lang='eng', desc='', text=['Nice one']))
t.add(COMM(encoding=utf, lang='eng', desc='Mood note', text=['Calm']))
t.add(USLT(encoding=utf, lang='eng', desc='', text='la la\nla'))
t.add(UFID(owner='http://musicbrainz.org', data=b'11111111-1111-1111-1111-111111111111'))
t.add(TXXX(encoding=utf, desc='REPLAYGAIN_TRACK_GAIN', text=['-6.50 dB']))
t.add(TPE3(encoding=utf, text=['Eve']))
t.add(TBPM(encoding=0, text=['120']))
t.add(TRCK(encoding=0, text=['3/12']))
t.add(TPOS(encoding=0, text=['1/2']))
t.add(TCMP(encoding=0, text=['1']))
t.save(mp3, v2_version=version)
f = MP4(m4a)
f['\xa9nam'] = ['Song']
f['\xa9ART'] = ['Ann', 'Bob']
f['\xa9cmt'] = ['Nice one']
f['\xa9lyr'] = ['la la\nla']
f['----:com.apple.iTunes:MusicBrainz Track Id'] = [MP4FreeForm(b'11111111-1111-1111-1111-111111111111')]
f['----:com.apple.iTunes:replaygain_track_gain'] = [MP4FreeForm(b'-6.50 dB')]
f['----:com.apple.iTunes:CONDUCTOR'] = [MP4FreeForm(b'Eve')]
f['tmpo'] = [120]
f['trkn'] = [(3, 12)]
f['disk'] = [(1, 2)]
f['cpil'] = True
f.save()
)";

TEST_F(TagRoundTrip, Mp3AndM4aSourcesOfOtherTaggersKeepEveryFieldInFlac) {
    std::ofstream(dir_.File("sources.py")) << kTagSources;
    const std::vector<std::string> common = {
        "ARTIST=Ann", "ARTIST=Bob", "BPM=120", "COMMENT=Nice one", "COMPILATION=1", "CONDUCTOR=Eve", "DISCNUMBER=1",
        "DISCTOTAL=2", "LYRICS=la la\\nla", "MUSICBRAINZ_TRACKID=11111111-1111-1111-1111-111111111111",
        "REPLAYGAIN_TRACK_GAIN=-6.50 dB", "TITLE=Song", "TRACKNUMBER=3", "TRACKTOTAL=12"};
    const struct {
        const char* name;
        int id3Version;
        std::vector<std::string> comments;
    } sources[] = {
        {"v24.mp3", 4, With(common, {"Mood note=Calm"})},
        // 2.3 has no separator of its own: the two artists are one text there.
        {"v23.mp3", 3, With({}, {"ARTIST=Ann/Bob", "BPM=120", "COMMENT=Nice one", "COMPILATION=1", "CONDUCTOR=Eve",
                                 "DISCNUMBER=1", "DISCTOTAL=2", "LYRICS=la la\\nla",
                                 "MUSICBRAINZ_TRACKID=11111111-1111-1111-1111-111111111111", "Mood note=Calm",
                                 "REPLAYGAIN_TRACK_GAIN=-6.50 dB", "TITLE=Song", "TRACKNUMBER=3", "TRACKTOTAL=12"})},
        {"tagged.m4a", 0, With(common, {})},
    };
    const std::string m4a = dir_.File("tagged.m4a");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=d=1 -c:a aac " + ShellQuote(m4a)).exitCode, 0);
    for (const auto& source : sources) {
        if (source.id3Version == 0) continue;
        const std::string path = dir_.File(source.name);
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=d=1 -c:a libmp3lame " + ShellQuote(path))
                      .exitCode,
                  0);
        ASSERT_EQ(RunProcess("/usr/bin/python3 " + ShellQuote(dir_.File("sources.py")) + " " + ShellQuote(path) + " " +
                             std::to_string(source.id3Version) + " " + ShellQuote(m4a))
                      .exitCode,
                  0);
    }
    for (const auto& source : sources) {
        SCOPED_TRACE(source.name);
        const std::string out = dir_.File(std::string("flac-") + source.name);
        std::filesystem::create_directories(out);
        ASSERT_EQ(RunProcess(CliPath() + " add " + ShellQuote(out + "/list.tsl") + " --dest-type=FLAC --dest-path=" +
                             ShellQuote(out) + " " + ShellQuote(dir_.File(source.name)) + " >/dev/null 2>&1")
                      .exitCode,
                  0);
        ASSERT_EQ(RunProcess(CliPath() + " convert " + ShellQuote(out + "/list.tsl") + " >/dev/null 2>&1").exitCode, 0);
        const std::string flac = out + "/" + std::filesystem::path(source.name).stem().string() + ".flac";
        std::istringstream exported(RunProcess("metaflac --export-tags-to=- " + ShellQuote(flac)).output);
        std::vector<std::string> comments;
        for (std::string line; std::getline(exported, line);) {
            // metaflac shows a line break inside a value as the end of the line.
            if (!comments.empty() && line.find('=') == std::string::npos) comments.back() += "\\n" + line;
            else comments.push_back(line);
        }
        std::sort(comments.begin(), comments.end());
        EXPECT_EQ(comments, source.comments);
    }
}

}  // namespace
}  // namespace tessival
