// A music library of 10,000 one-second tagged FLAC files in 200 album folders, whole tessival-cli
// processes: `add` of the whole tree with a naming pattern from the tags (A) against the same add
// without one (B), then `convert --skip-existing` over that list with every output already there.
// Wall time and peak resident memory of each run; the targets are 3 s and 150 MiB for A and 1 s for
// the run that has nothing to do.
#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "ProcessPair.h"
#include "engine/conversion/Preflight.h"

using namespace tessival::bench;

namespace {

constexpr int kAlbums = 200;
constexpr int kTracks = 50;
constexpr int kRuns = 5;

void PutLe32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A Vorbis comment block, flagged as the last metadata block.
std::string CommentBlock(const std::vector<std::string>& comments) {
    std::string body;
    PutLe32(body, 4);
    body += "test";
    PutLe32(body, static_cast<std::uint32_t>(comments.size()));
    for (const std::string& comment : comments) {
        PutLe32(body, static_cast<std::uint32_t>(comment.size()));
        body += comment;
    }
    std::string block(1, static_cast<char>(0x80 | 4));
    for (int shift = 16; shift >= 0; shift -= 8) block += static_cast<char>((body.size() >> shift) & 0xFF);
    return block + body;
}

// A one-second FLAC file made once by ffmpeg, split into its stream info block (flagged as not the
// last) and its audio frames, so that each track is that audio under tags of its own.
bool SplitTemplate(const std::string& path, std::string& streamInfo, std::string& frames) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 42 || bytes.compare(0, 4, "fLaC") != 0) return false;
    std::size_t at = 4;
    for (bool last = false; !last && at + 4 <= bytes.size();) {
        const auto header = static_cast<unsigned char>(bytes[at]);
        last = header & 0x80;
        const std::size_t length = (static_cast<unsigned char>(bytes[at + 1]) << 16) |
                                   (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                                   static_cast<unsigned char>(bytes[at + 3]);
        if ((header & 0x7F) == 0) streamInfo = static_cast<char>(0) + bytes.substr(at + 1, 3 + length);
        at += 4 + length;
    }
    frames = bytes.substr(at);
    return !streamInfo.empty() && !frames.empty();
}

bool MakeLibrary(const std::filesystem::path& dir, const std::string& music) {
    const std::string tone = (dir / "tone.flac").string();
    std::string streamInfo, frames;
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=1' -ac 2 " +
                  Quote(tone)) ||
        !SplitTemplate(tone, streamInfo, frames))
        return false;
    for (int album = 0; album < kAlbums; ++album) {
        const std::string artist = "Artist " + std::to_string(album / 4);
        const std::string title = "Album " + std::to_string(album);
        const auto folder = std::filesystem::path(music) / artist / title;
        std::filesystem::create_directories(folder);
        for (int track = 1; track <= kTracks; ++track) {
            const std::string name = "Track " + std::to_string(track);
            std::ofstream out(folder / (std::to_string(track) + " - " + name + ".flac"), std::ios::binary);
            out << "fLaC" << streamInfo
                << CommentBlock({"ARTIST=" + artist, "ALBUM=" + title, "TITLE=" + name,
                                 "TRACKNUMBER=" + std::to_string(track), "DATE=2001", "GENRE=Test"})
                << frames;
            if (!out) return false;
        }
    }
    return true;
}

// Every destination the list names, made as an empty file dated after its source. The list is read
// record by record: the children's peak memory starts from this process's.
bool MakeEveryOutput(const std::string& list) {
    std::FILE* file = std::fopen(list.c_str(), "rb");
    tessival::ConvertItem item{};
    int made = 0;
    while (file && std::fread(&item, sizeof item, 1, file) == 1) {
        const std::string output = tessival::DestinationFileName(item);
        std::filesystem::create_directories(std::filesystem::path(output).parent_path());
        std::ofstream(output, std::ios::binary).flush();
        ++made;
    }
    if (file) std::fclose(file);
    return made == kAlbums * kTracks;
}

bool Measure(const char* label, const std::vector<std::string>& argv, const std::string& removeFirst) {
    std::vector<double> seconds, peaks;
    for (int run = 0; run < kRuns; ++run) {
        if (!removeFirst.empty()) std::filesystem::remove(removeFirst);
        const Measured m = RunMeasured(argv);
        if (m.seconds < 0) {
            std::fprintf(stderr, "%s failed\n", label);
            return false;
        }
        seconds.push_back(m.seconds);
        peaks.push_back(m.peakMiB);
    }
    std::printf("%s\n", label);
    PrintSeries("wall time  ", seconds, "s");
    PrintSeries("peak memory", peaks, "MiB");
    return true;
}

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-library-bench");
    const std::string music = (dir / "Music").string(), out = (dir / "out").string();
    const std::string named = (dir / "named.tsl").string(), plain = (dir / "plain.tsl").string();
    if (!MakeLibrary(dir, music)) {
        std::fprintf(stderr, "cannot make the library\n");
        return 1;
    }
    const std::string pattern = "--name={albumartist}/{album}/{track:02} - {title}";
    std::printf("%d tagged one-second FLAC files in %d album folders\n", kAlbums * kTracks, kAlbums);
    const bool ok =
        Measure("A: add with --name from the tags", {cli, "add", named, "--dest-type=FLAC", "--dest-path=" + out, pattern, music},
                named) &&
        Measure("B: add without --name", {cli, "add", plain, "--dest-type=FLAC", "--dest-path=" + out, music}, plain) &&
        MakeEveryOutput(named) &&
        Measure("convert --skip-existing with every output up to date",
                {cli, "convert", named, "--skip-existing", "--progress=none"}, "");
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
