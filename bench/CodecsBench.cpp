// Conversion speed against the ffmpeg tool, whole processes: a ten-minute MP3 to "MPEG Layer-3"
// 128 kbps stereo, a two-minute MP3 to "LAME MP3" 192 kbps (decode and encode on two cores), a ten-minute WMA to PCM 22050 Hz 16-bit stereo, and a two-minute DVD VOB (MPEG-2
// video, AC-3 5.1) to PCM 44100 Hz stereo and to MP3 128 kbps stereo.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

namespace {

// A one-item list, dir/name.tsl, converting source with the given type and quality into dir/out.
std::string ListFor(const std::string& cli, const std::string& dir, const std::string& name, const std::string& source,
                    const std::string& destType, const std::string& quality) {
    const std::string list = dir + "/" + name + ".tsl";
    const bool ok = RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type=" + Quote(destType) + " --dest-path=" +
                             Quote(dir + "/out") + " --quality=" + quality + " " + Quote(source) + " >/dev/null");
    return ok ? list : std::string();
}

}  // namespace

int main() {
    const std::string cli = CliPath();
    const std::string dir = (std::filesystem::temp_directory_path() / "tessival-codecs-bench").string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir + "/out");
    const std::string mp3 = dir + "/long.mp3", wma = dir + "/long.wma";
    const std::string tone = "-f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=600' "
                             "-f lavfi -i 'anoisesrc=color=pink:sample_rate=44100:duration=600:amplitude=0.1' "
                             "-filter_complex '[0][1]amerge=inputs=2' -ac 2 ";
    if (!RunShell("ffmpeg -nostdin -v error -y " + tone + "-c:a libmp3lame -b:a 192k " + mp3) ||
        !RunShell("ffmpeg -nostdin -v error -y " + tone + "-c:a wmav2 -b:a 128k " + wma)) {
        std::fprintf(stderr, "could not make the ten-minute sources\n");
        return 1;
    }
    const std::string shortMp3 = dir + "/two-minutes.mp3";
    if (!RunShell("ffmpeg -nostdin -v error -y -i " + mp3 + " -t 120 -c copy " + shortMp3)) {
        std::fprintf(stderr, "could not make the two-minute MP3\n");
        return 1;
    }
    const std::string vob = dir + "/movie.vob";
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x480:rate=25:duration=120 -f lavfi -i "
                  "'sine=frequency=500:duration=120' -filter_complex '[1]pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0[a]' "
                  "-map 0 -map '[a]' -c:v mpeg2video -c:a ac3 -f vob " + vob)) {
        std::fprintf(stderr, "could not make the VOB\n");
        return 1;
    }
    const std::string vobPcmList = ListFor(cli, dir, "vob-pcm", vob, "WAV (PCM)", "2,1411,16,44100");
    const std::string vobMp3List = ListFor(cli, dir, "vob-mp3", vob, "MP3", "2,128,0,44100");
    const std::string mp3List = ListFor(cli, dir, "mp3", mp3, "MP3", "2,128,0,44100");
    const std::string lameList = ListFor(cli, dir, "lame", shortMp3, "LAME MP3", "2,192,0,44100");
    const std::string wmaList = ListFor(cli, dir, "wma", wma, "WAV (PCM)", "2,705,16,22050");
    if (mp3List.empty() || lameList.empty() || wmaList.empty() || vobPcmList.empty() || vobMp3List.empty()) {
        std::fprintf(stderr, "could not make the lists\n");
        return 1;
    }
    bool ok = ComparePairs("MP3 -> MPEG Layer-3 128 kbps stereo; A tessival-cli, B ffmpeg",
                           Quote(cli) + " convert " + Quote(mp3List) + " >/dev/null",
                           "ffmpeg -nostdin -v error -y -i " + mp3 + " -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav " +
                               dir + "/out/ff-mp3.wav");
    ok = ComparePairs("two-minute MP3 -> LAME MP3 192 kbps stereo; A tessival-cli, B ffmpeg",
                      Quote(cli) + " convert " + Quote(lameList) + " >/dev/null",
                      "ffmpeg -nostdin -v error -y -i " + shortMp3 + " -c:a libmp3lame -b:a 192k -ar 44100 -ac 2 " + dir +
                          "/out/ff-lame.mp3") &&
         ok;
    ok = ComparePairs("WMA -> PCM 22050 Hz 16-bit stereo; A tessival-cli, B ffmpeg",
                      Quote(cli) + " convert " + Quote(wmaList) + " >/dev/null",
                      "ffmpeg -nostdin -v error -y -i " + wma + " -ar 22050 -ac 2 -c:a pcm_s16le " + dir +
                          "/out/ff-wma.wav") &&
         ok;
    ok = ComparePairs("VOB (AC-3 5.1) -> PCM 44100 Hz 16-bit stereo; A tessival-cli, B ffmpeg",
                      Quote(cli) + " convert " + Quote(vobPcmList) + " >/dev/null",
                      "ffmpeg -nostdin -v error -y -i " + vob + " -vn -ar 44100 -ac 2 -c:a pcm_s16le " + dir +
                          "/out/ff-vob.wav") &&
         ok;
    ok = ComparePairs("VOB (AC-3 5.1) -> MP3 128 kbps stereo; A tessival-cli, B ffmpeg",
                      Quote(cli) + " convert " + Quote(vobMp3List) + " >/dev/null",
                      "ffmpeg -nostdin -v error -y -i " + vob + " -vn -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav " +
                          dir + "/out/ff-vob-mp3.wav") &&
         ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
