#include "platform/media/MediaProbe.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/ffmpeg/MediaFileOpener.h"

namespace tessival::media {

bool HasAudioStream(const std::string& path) {
    const AvInputFormatPtr context = OpenMediaFile(path);
    if (!context) return false;
    const auto hasAudio = [&context] {
        return av_find_best_stream(context.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    };
    // Most headers tell their audio (rate and channels) at once; reading on to find streams the
    // header does not list costs a replaced output a few milliseconds.
    if (hasAudio()) return true;
    return avformat_find_stream_info(context.get(), nullptr) >= 0 && hasAudio();
}

bool IsRecognisedMedia(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    constexpr std::streamsize kHeadBytes = 64 * 1024;
    std::vector<unsigned char> head(kHeadBytes + AVPROBE_PADDING_SIZE, 0);
    std::ifstream file(path, std::ios::binary);
    file.read(reinterpret_cast<char*>(head.data()), kHeadBytes);
    // No file name: an extension would make any bytes look like their format.
    AVProbeData probe{"", head.data(), static_cast<int>(file.gcount()), nullptr};
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    // Below this score libavformat itself would read on before believing its guess.
    return format && score >= AVPROBE_SCORE_RETRY;
}

std::string UndecodableAudioCodec(const std::string& path) {
    const AvInputFormatPtr context = OpenMediaFile(path);
    if (!context) return {};
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters& codec = *context->streams[i]->codecpar;
        if (codec.codec_type != AVMEDIA_TYPE_AUDIO) continue;
        if (codec.codec_id != AV_CODEC_ID_NONE)
            return avcodec_find_decoder(codec.codec_id) ? "" : avcodec_get_name(codec.codec_id);
        char name[48];
        std::snprintf(name, sizeof name, "%s format 0x%04X", context->iformat->name, codec.codec_tag);
        return name;
    }
    return {};
}

std::optional<double> ProbeMediaDuration(const std::string& path) {
    const AvInputFormatPtr context = OpenMediaFile(path);
    if (!context) return std::nullopt;
    if (context->duration == AV_NOPTS_VALUE && avformat_find_stream_info(context.get(), nullptr) < 0)
        return std::nullopt;
    if (context->duration == AV_NOPTS_VALUE || context->duration <= 0) return std::nullopt;
    return static_cast<double>(context->duration) / AV_TIME_BASE;
}

}  // namespace tessival::media
