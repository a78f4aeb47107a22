#pragma once

#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include "platform/media/HResult.h"
#include "platform/media/MediaType.h"
#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::media {

// Rate, layout and sample format conversion with libswresample, to interleaved output.
// Packed 24-bit PCM, which libswresample lacks, is handled as 32-bit on either side.
// Each thread keeps the last resampler it closed for the next Open of the same formats.
class SampleConverter {
public:
    struct Format {
        AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE;
        int channels = 0;
        int sampleRate = 0;
        bool packed24 = false;  // interleaved 3-byte samples (sampleFormat is then S32)
        // The bits of each sample that carry the signal when fewer than its width (24-bit content
        // in 32-bit samples); 0 for all of them. An output narrower than its input is dithered.
        int bits = 0;
        bool operator==(const Format&) const = default;
    };

    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    HRESULT Open(const Format& in, const Format& out);
    void Close();
    // Appends the converted frames of `frames` input frames to out. Planar input passes one
    // pointer per channel, interleaved input one pointer.
    HRESULT Convert(const std::uint8_t* const* in, int frames, std::vector<std::uint8_t>& out);
    // Appends what the resampler still holds.
    HRESULT Flush(std::vector<std::uint8_t>& out);
    // True when input and output are the same, so the data may pass as it is.
    bool IsIdentity() const { return identity_; }
    int OutputFrameBytes() const;

    // The sample format of integer PCM with that many bits (8 is unsigned).
    static Format PcmFormat(int bits, int channels, int sampleRate);
    // TPDF dither on every reduction of depth, for the whole process; on unless turned off.
    static void SetDither(bool on);
    static bool Dither();
    // The precision a format carries: its bits, else its width (24 for 32-bit float's mantissa).
    static int PrecisionOf(const Format& format);

private:
    HRESULT Run(const std::uint8_t* const* in, int frames, std::vector<std::uint8_t>& out);
    // Rounds 32-bit output to the bits it keeps, so an encoder that drops the rest loses nothing
    // more than rounding does (and the dither noise stays centred).
    void RoundToKeptBits(std::vector<std::uint8_t>& out, std::size_t from) const;
    HRESULT PushSilence(int frames, std::vector<std::uint8_t>& out);
    // What libswresample is asked for: 32 bits when this class rounds them to 16 itself.
    AVSampleFormat SwrOutputFormat() const;

    SwrContextPtr swr_;
    Format in_, out_;
    bool identity_ = false;
    bool dithered_ = false;
    bool roundedTo16_ = false;
    std::int64_t framesIn_ = 0;   // since Open, through the resampler
    std::int64_t framesOut_ = 0;
    std::vector<std::uint8_t> unpacked_;
};

// Whether the type is integer PCM that the converter reads (8, 16, 24 or 32 bit, consistent
// block align): the input of every compressor.
bool IsConvertiblePcm(const MediaType& type);

}  // namespace tessival::media
