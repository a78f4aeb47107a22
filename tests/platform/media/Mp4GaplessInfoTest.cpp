#include "platform/media/filters/sinks/Mp4GaplessInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessival::media {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Be32(std::uint32_t value) {
    return {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

Bytes Box(const std::string& type, std::initializer_list<Bytes> parts) {
    Bytes payload;
    for (const Bytes& part : parts) payload.insert(payload.end(), part.begin(), part.end());
    Bytes box = Be32(static_cast<std::uint32_t>(8 + payload.size()));
    box.insert(box.end(), type.begin(), type.end());
    box.insert(box.end(), payload.begin(), payload.end());
    return box;
}

Bytes Zeros(std::size_t count) { return Bytes(count, 0); }

// Version 0 headers with a duration of 2048 where the muxer wrote it.
Bytes Mvhd() { return Box("mvhd", {Zeros(12), Be32(44100), Be32(2048), Zeros(80)}); }
Bytes Tkhd() { return Box("tkhd", {Zeros(20), Be32(2048), Zeros(60)}); }
Bytes Elst() { return Box("elst", {Zeros(4), Be32(1), Be32(2048), Be32(1024), Be32(0x10000)}); }
Bytes Trak() { return Box("trak", {Tkhd(), Box("edts", {Elst()})}); }

std::uint32_t At(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

std::size_t Find(const Bytes& b, const std::string& text) {
    const auto it = std::search(b.begin(), b.end(), text.begin(), text.end());
    return it == b.end() ? std::string::npos : static_cast<std::size_t>(it - b.begin());
}

TEST(Mp4GaplessInfo, TheMovieBoxSaysTheLengthInSamples) {
    const Bytes udta = Box("udta", {Box("meta", {Zeros(4), Box("ilst", {})})});
    const struct {
        const char* name;
        Bytes moov;
        std::int64_t length;
        bool isMovie;
        std::uint32_t said;  // in each header and the edit
    } shapes[] = {{"headers and an edit", Box("moov", {Mvhd(), Trak()}), 9, true, 9},
                  {"user data after the track", Box("moov", {Mvhd(), Trak(), udta}), 9, true, 9},
                  {"a length that ends before zero", Box("moov", {Mvhd(), Trak()}), -16384, true, 0},
                  {"no movie box", Box("free", {Zeros(8)}), 9, false, 0}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.name);
        Bytes moov = shape.moov;
        ASSERT_EQ(Mp4GaplessInfo(2039, 1024, shape.length).SetLength(moov), shape.isMovie);
        if (!shape.isMovie) continue;
        EXPECT_EQ(moov.size(), shape.moov.size());
        EXPECT_EQ(At(moov, Find(moov, "mvhd") + 20), shape.said);
        EXPECT_EQ(At(moov, Find(moov, "tkhd") + 24), shape.said);
        EXPECT_EQ(At(moov, Find(moov, "elst") + 12), shape.said);  // the presented length
        EXPECT_EQ(At(moov, Find(moov, "elst") + 16), 1024u);       // where it starts is the muxer's
    }
}

TEST(Mp4GaplessInfo, AHeaderBoxTooShortForItsVersionIsLeftAsItIs) {
    const Bytes shortHeader = Box("moov", {Box("mvhd", {})});
    Bytes moov = shortHeader;
    EXPECT_TRUE(Mp4GaplessInfo(2039, 1024, 9).SetLength(moov));
    EXPECT_EQ(moov, shortHeader);
}

TEST(Mp4GaplessInfo, TheCommentIsInITunesForm) {
    EXPECT_EQ(Mp4GaplessInfo(2039, 1024, 9).SmpbText(),
              " 00000000 000007F7 00000400 0000000000000009 00000000 00000000 00000000 00000000 00000000 00000000 "
              "00000000 00000000");
}

}  // namespace
}  // namespace tessival::media
