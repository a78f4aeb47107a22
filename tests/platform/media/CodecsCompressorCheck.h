#pragma once

// One capability of a compressor taken through a whole conversion: the WAVE file must carry
// exactly the listed format (fmt chunk, and ffprobe's reading of it) and decode back through
// the media layer to as much audio as ffmpeg decodes from it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "platform/media/WaveGraph.h"
#include "support/TempDir.h"

namespace tessival::media::test {

inline std::vector<MediaType> CapabilitiesOf(const std::string& compressor) {
    for (const FilterEntry& entry : SystemRegistry()->Entries(CLSID_AudioCompressorCategory)) {
        if (entry.friendlyName != compressor) continue;
        auto config = QueryInterface<IAMStreamConfig>(PinOf(entry.factory(), PINDIR_OUTPUT));
        int count = 0, size = 0;
        if (!config || FAILED(config->GetNumberOfCapabilities(count, size))) return {};
        std::vector<MediaType> all(count);
        for (int i = 0; i < count; ++i) config->GetStreamCaps(i, all[i], nullptr);
        return all;
    }
    return {};
}

inline std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

// The sizes of the audio packets ffprobe reads from the file.
inline std::vector<long> PacketSizes(const std::string& path) {
    const auto result = RunProcess("ffprobe -v error -select_streams a:0 -show_entries packet=size -of csv=p=0 " +
                                   ShellQuote(path));
    std::vector<long> sizes;
    std::size_t at = 0;
    while (at < result.output.size()) {
        const std::size_t end = result.output.find('\n', at);
        const std::string line = result.output.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!line.empty()) sizes.push_back(std::stol(line));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return sizes;
}

inline std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

// Converts source (a WAVE file) with the capability and checks the result; the trace names it.
inline void CheckCapability(const std::string& compressor, const MediaType& capability, const std::string& source,
                            double seconds, const tessival::test::TempDir& dir) {
    const WAVEFORMATEX& wave = *capability.WaveFormat();
    SCOPED_TRACE(compressor + " " + std::to_string(wave.nSamplesPerSec) + " Hz " + std::to_string(wave.nChannels) +
                 " ch " + std::to_string(wave.nAvgBytesPerSec) + " B/s");
    const std::string out = dir.File("enc.wav"), back = dir.File("back.wav");
    {
        WaveGraph graph(source, out, compressor);
        ASSERT_EQ(graph.Convert(&wave), S_OK);
    }
    const std::string file = ReadFileBytes(out);
    const ChunkAt fmt = FindChunk(file, "fmt ");
    ASSERT_NE(fmt.body, std::string::npos);
    ASSERT_EQ(fmt.size, capability.format.size());
    EXPECT_EQ(std::memcmp(file.data() + fmt.body, capability.format.data(), fmt.size), 0) << "fmt differs from listing";
    EXPECT_TRUE(SizesAreConsistent(file));

    const auto probe = Probe(out);
    ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
    EXPECT_EQ(probe.at("codec_tag"), Hex4(wave.wFormatTag));
    EXPECT_EQ(probe.at("channels"), std::to_string(wave.nChannels));
    EXPECT_EQ(probe.at("sample_rate"), std::to_string(wave.nSamplesPerSec));
    // This ffprobe does not print block_align; the packets it reads show the one it uses.
    for (long size : PacketSizes(out)) ASSERT_EQ(size % wave.nBlockAlign, 0) << "packet of " << size << " bytes";

    {
        WaveGraph graph(out, back, "PCM");
        ASSERT_EQ(graph.Convert(nullptr), S_OK);
    }
    const int rate = static_cast<int>(wave.nSamplesPerSec), channels = wave.nChannels;
    const auto reference = DecodeFloat(out, rate, channels);
    const auto ours = DecodeFloat(back, rate, channels);
    const double sourceFrames = seconds * rate;
    ASSERT_GT(ours.size(), 0u);
    // Our decoding matches ffmpeg's of the same file, and neither lost the source's length.
    EXPECT_LE(std::labs(static_cast<long>(ours.size()) - static_cast<long>(reference.size())), 4096L * channels);
    EXPECT_GE(static_cast<double>(ours.size() / channels), sourceFrames - 1);
    EXPECT_LT(RelativeError(reference, ours), 0.05);
}

}  // namespace tessival::media::test
