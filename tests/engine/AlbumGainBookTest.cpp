// Which outputs of an album get album tags, by how its items ended; read back with metaflac.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "engine/loudness/AlbumGainBook.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::RunProcess;
using test::ShellQuote;

enum class End { Converted, Failed, Kept, NeverReached };  // Kept: skipped as up to date

struct AlbumCase {
    const char* name;
    std::vector<End> ends;  // per track, in the order they end
    bool albumTags;         // whether the converted tracks get album tags
    bool stoppedWhilePlanning = false;
};

std::shared_ptr<const media::LoudnessMeter> Heard(double amplitude) {
    auto meter = std::make_shared<media::LoudnessMeter>();
    std::vector<float> samples(2 * 44100 * 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * 440 * static_cast<double>(i / 2) / 44100));
    meter->MeasureFloat(2, 44100, samples);
    return meter;
}

TEST(AlbumGainBook, AlbumTagsOnlyWhenEveryTrackOfTheAlbumConvertedOrWasUpToDate) {
    const AlbumCase cases[] = {
        {"every track converted", {End::Converted, End::Converted, End::Converted}, true},
        {"the last track failed", {End::Converted, End::Converted, End::Failed}, false},
        {"a track failed before the last converted", {End::Failed, End::Converted, End::Converted}, false},
        {"a track never reached (stopped)", {End::Converted, End::Converted, End::NeverReached}, false},
        {"stopped while the album was planned", {End::Converted, End::Converted}, false, true},
        {"a track up to date, the others converted", {End::Kept, End::Converted, End::Converted}, true},
        {"the last track up to date", {End::Converted, End::Kept}, true},
        {"every track up to date", {End::Kept, End::Kept}, false},
    };
    for (const AlbumCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        std::filesystem::create_directory(dir.File("out"));
        ItemList items;
        std::vector<std::string> outputs;
        for (std::size_t i = 0; i < c.ends.size(); ++i) {
            const std::string name = "t" + std::to_string(i) + ".flac";
            ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=d=1 -metadata album=A " +
                                 ShellQuote(dir.File(name)))
                          .exitCode,
                      0);
            std::filesystem::copy(dir.File(name), dir.File("out/" + name));
            ConvertItem item = MakeSingleFileItem(dir.File(name));
            WriteField(item.destPath, dir.File("out"));
            WriteField(item.destName, name);
            items.Append(item);
            outputs.push_back(dir.File("out/" + name));
        }
        AlbumGainBook book;
        const std::atomic<bool> stopped{c.stoppedWhilePlanning};
        book.Plan(items, stopped);
        for (std::size_t i = 0; i < c.ends.size(); ++i) {
            if (c.ends[i] == End::Converted) {
                EXPECT_EQ(book.ItemConverted(outputs[i], Heard(0.1 * static_cast<double>(i + 1)), stopped), 0);
            } else if (c.ends[i] == End::Failed) {
                book.ItemFailed(outputs[i]);
            } else if (c.ends[i] == End::Kept) {
                book.ItemKept(outputs[i], stopped);
            }
        }
        book.FinishAll();
        for (std::size_t i = 0; i < c.ends.size(); ++i) {
            if (c.ends[i] != End::Converted && c.ends[i] != End::Kept) continue;
            const std::string tags = RunProcess("metaflac --export-tags-to=- " + ShellQuote(outputs[i])).output;
            // A kept output is tagged only along with its album.
            const bool trackTags = c.ends[i] == End::Converted || c.albumTags;
            EXPECT_EQ(tags.find("REPLAYGAIN_TRACK_GAIN=") != std::string::npos, trackTags) << outputs[i] << "\n" << tags;
            EXPECT_EQ(tags.find("REPLAYGAIN_ALBUM_GAIN=") != std::string::npos, c.albumTags) << outputs[i] << "\n" << tags;
        }
        EXPECT_TRUE(book.TakeFailures().empty());
    }
}

}  // namespace
}  // namespace tessival
