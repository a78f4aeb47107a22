#include <gtest/gtest.h>

#include "joblist/ItemEdits.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

TEST(ItemEdits, ApplyingAnItemCopiesItsDestinationAndItsNamesExtension) {
    const struct {
        std::string source;
        std::string target;
        std::string after;
    } cases[] = {
        {"Track01.mp3", "Intro", "Intro.mp3"},
        {"Track01.mp3", "Song.wma", "Song.mp3"},
        {"Track01.tar.mp3", "Song.x.wma", "Song.tar.mp3"},  // from the first dot on
        {"Track01", "Song.wma", "Song.wma"},                // no extension to copy
        {".hidden", "Song.wma", "Song.wma"},                // a leading dot starts no extension
        {"Track01.mp3", ".hidden", ".hidden.mp3"},
        {"Track01.mp3", std::string(79, 'n'), std::string(75, 'n') + ".mp3"},
    };
    for (const auto& c : cases) {
        ConvertItem source{};
        WriteField(source.destName, c.source);
        WriteField(source.destType, "WAV (PCM)");
        WriteField(source.destPath, "/out/");
        source.quality.nChannels = 2;
        ConvertItem target{};
        WriteField(target.destName, c.target);
        WriteField(target.destType, "UNSPECIFIED");
        WriteField(target.status, "Ready");
        ApplySettingsOf(source, target);
        EXPECT_EQ(ReadField(target.destName), c.after) << c.source << " onto " << c.target;
        EXPECT_EQ(ReadField(target.destType), "WAV (PCM)");
        EXPECT_EQ(ReadField(target.destPath), "/out/");
        EXPECT_EQ(static_cast<int>(target.quality.nChannels), 2);  // a copy: the record is packed
        EXPECT_EQ(ReadField(target.status), "Ready");
    }
}

}  // namespace
}  // namespace tessival
