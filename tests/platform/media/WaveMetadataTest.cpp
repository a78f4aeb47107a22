#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "platform/media/ffmpeg/WaveMetadata.h"

namespace tessival::media {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string Le(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string Chunk(const std::string& id, const std::string& body) {
    return id + Le(body.size(), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string Info(const Fields& entries) {
    std::string list = "INFO";
    for (const auto& [id, value] : entries) list += Chunk(id, value);
    return Chunk("LIST", list);
}

std::string Wave(const std::string& chunks, const char* riff = "RIFF") {
    return riff + Le(4 + chunks.size(), 4) + "WAVE" + chunks;
}

const std::string kFormat = Chunk("fmt ", Le(1, 2) + Le(2, 2) + Le(44100, 4) + Le(176400, 4) + Le(4, 2) + Le(16, 2));
const std::string kData = Chunk("data", std::string(64, '\x11'));

std::string Padded(const std::string& text, std::size_t length) {
    return text + std::string(length - text.size(), '\0');
}

// A broadcast extension of version 1 with a basic UMID and a coding history.
std::string Bext() {
    std::string umid;
    for (int i = 0; i < 4; ++i) umid += std::string(7, '\0') + static_cast<char>(0xA0 + i);
    const std::string body = Padded("Desc", 256) + Padded("Orig", 32) + Padded("", 32) + "2024-01-02" +
                             "10:11:12" + Le(441000, 8) + Le(1, 2) + Padded(umid, 64) + std::string(190, '\0') +
                             "A=PCM\r\n";
    return Chunk("bext", body);
}

Fields Entries(const AVDictionary* dictionary) {
    Fields fields;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX)))
        fields.emplace_back(entry->key, entry->value);
    return fields;
}

// What libavformat's own WAVE demuxer gives the file.
Fields DemuxerFields(const std::string& path) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), av_find_input_format("wav"), nullptr) < 0) return {{"", "no open"}};
    Fields fields = Entries(context->metadata);
    avformat_close_input(&context);
    return fields;
}

std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = std::filesystem::temp_directory_path() / ("tessival-wave-metadata-" + name + ".wav");
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

TEST(WaveMetadata, ChunksGiveTheFieldsTheDemuxerGivesInItsOrder) {
    const struct {
        const char* name;
        std::string bytes;
        Fields expected;
    } cases[] = {
        {"untagged", Wave(kFormat + kData), {}},
        {"info-first",
         Wave(kFormat + Info({{"INAM", "Song"}, {"IART", "Band"}, {"IENG", "Eng"}, {"ICMT", "abc"}}) + kData),
         {{"title", "Song"}, {"artist", "Band"}, {"IENG", "Eng"}, {"comment", "abc"}}},
        {"info-after-data", Wave(kFormat + kData + Info({{"INAM", "Tail"}})), {{"title", "Tail"}}},
        // A repeated name keeps the last value; one replaced moves to the end.
        {"repeats", Wave(kFormat + Info({{"INAM", "One"}, {"IPRT", "3"}, {"INAM", "Two"}, {"ITRK", "4"}}) + kData),
         {{"title", "Two"}, {"track", "4"}}},
        {"bext-and-info",
         Wave(kFormat + Bext() + kData + Info({{"ICMT", "Info comment"}})),
         {{"coding_history", "A=PCM\r\n"},
          {"encoded_by", "Orig"},
          {"date", "2024-01-02"},
          {"creation_time", "10:11:12"},
          {"time_reference", "441000"},
          {"umid", "0x00000000000000A000000000000000A100000000000000A200000000000000A3"},
          {"comment", "Info comment"}}},
        // Without a data length the demuxer looks no further.
        {"open-ended-data", Wave(kFormat + Chunk("data", "") + Info({{"INAM", "Unseen"}})), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write(c.name, c.bytes);
        const auto ours = ReadWaveMetadata(path);
        ASSERT_TRUE(ours);
        EXPECT_EQ(Entries(ours->get()), c.expected);
        EXPECT_EQ(DemuxerFields(path), c.expected);
        std::filesystem::remove(path);
    }
}

TEST(WaveMetadata, LeavesToLibavformatWhatItShouldJudge) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"id3-chunk", Wave(kFormat + kData + Chunk("id3 ", "ID3\x03"))},
        {"short-list", Wave(kFormat + Chunk("LIST", "IN") + kData)},
        {"entry-past-its-list", Wave(kFormat + Chunk("LIST", "INFOINAM" + Le(40, 4) + "Song") + kData)},
        {"list-past-the-file", Wave(kFormat + kData + "LIST" + Le(400, 4) + "INFO")},
        {"short-bext", Wave(kFormat + Chunk("bext", std::string(100, 'x')) + kData)},
        {"rf64", Wave(kFormat + kData, "RF64")},
        {"no-data", Wave(kFormat)},
        {"not-wave", "RIFF" + Le(4, 4) + "AVI "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write(c.name, c.bytes);
        EXPECT_FALSE(ReadWaveMetadata(path));
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace tessival::media
