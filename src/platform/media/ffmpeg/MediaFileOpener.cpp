#include "platform/media/ffmpeg/MediaFileOpener.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
}

#include "platform/io/UniqueFd.h"

namespace tessival::media {
namespace {

// The demuxer of a container its first bytes name beyond doubt; null otherwise.
const AVInputFormat* EvidentContainer(const std::string& path) {
    char head[12] = {};
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.Valid() || ::read(file.Get(), head, sizeof head) != sizeof head) return nullptr;
    // Looked up once: finding a demuxer by name walks them all.
    static const AVInputFormat* const wave = av_find_input_format("wav");
    static const AVInputFormat* const flac = av_find_input_format("flac");
    static const AVInputFormat* const ogg = av_find_input_format("ogg");
    if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) return wave;
    if (std::memcmp(head, "fLaC", 4) == 0) return flac;
    if (std::memcmp(head, "OggS", 4) == 0) return ogg;
    return nullptr;
}

}  // namespace

AvInputFormatPtr OpenMediaFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    AVFormatContext* opened = nullptr;
    if (const AVInputFormat* evident = EvidentContainer(path))
        if (avformat_open_input(&opened, path.c_str(), evident, nullptr) >= 0) return AvInputFormatPtr(opened);
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return nullptr;
    return AvInputFormatPtr(opened);
}

}  // namespace tessival::media
