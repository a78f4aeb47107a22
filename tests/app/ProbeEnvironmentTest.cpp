#include <gtest/gtest.h>

#include <set>

#include "app/ProbeEnvironment.h"
#include "engine/EngineFakes.h"
#include "platform/media/filters/encoders/FileEncoders.h"
#include "platform/shell/ScriptedShell.h"

namespace tessival {
namespace {

using namespace media;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

const std::string kInstallCodecs = "On Debian they come with these packages:\n    sudo apt install libavcodec59";

// The system's own filters, in their order, without the named ones; `extra` entries come first so
// that they win a search by name.
std::shared_ptr<FilterRegistry> SystemWithout(const std::set<std::string>& removed,
                                              std::vector<FilterEntry> extra = {}) {
    auto registry = std::make_shared<FilterRegistry>();
    for (FilterEntry& entry : extra) registry->Register(std::move(entry));
    for (const Guid& category : {CLSID_LegacyAmFilterCategory, CLSID_AudioCompressorCategory, CLSID_FileEncoderCategory})
        for (const FilterEntry& entry : SystemRegistry()->Entries(category))
            if (!removed.count(entry.friendlyName.value_or(""))) registry->Register(entry);
    return registry;
}

FilterEntry SystemEntryNamed(const std::string& name, const Guid& category) {
    for (const FilterEntry& entry : SystemRegistry()->Entries(category))
        if (entry.friendlyName == name) return entry;
    return {};
}

std::vector<std::pair<std::string, std::string>> Found(const ProbeEnvironment& probe) {
    std::vector<std::pair<std::string, std::string>> found;
    for (const ProbedComponent& component : probe.Components()) found.emplace_back(component.label, component.filterName);
    return found;
}

TEST(ProbeEnvironment, FindsEveryComponentAmongTheSystemsFiltersAndStaysQuiet) {
    ScriptedShell shell;
    ProbeEnvironment probe(shell);
    probe.Run();
    EXPECT_EQ(Found(probe), (std::vector<std::pair<std::string, std::string>>{
                                {"PCM Encoder", "PCM"},
                                {"WAV Dest", "WAV Dest"},
                                {"MP3 Encoder", "MPEG Layer-3"},
                                {"MP3 Decoder", "MPEG Layer-3 Decoder"},
                                {"WMA Encoder", "Windows Media Audio V2"},
                                {"WMA Decoder", "Windows Media Audio Decoder"},
                                {"DVD AC3 Decoder", "AC3Filter"},
                                {"LAME MP3 Encoder", "LAME MP3 Encoder"},
                                {"FLAC Encoder", "FLAC Encoder"},
                                {"Ogg Vorbis Encoder", "Vorbis Encoder"},
                                {"Opus Encoder", "Opus Encoder"},
                                {"M4A AAC Encoder", "AAC Encoder"},
                                {"FLAC Decoder", "Audio Decoder"},
                                {"ALAC Decoder", "Audio Decoder"},
                                {"AAC Decoder", "Audio Decoder"},
                                {"Vorbis Decoder", "Audio Decoder"},
                                {"Opus Decoder", "Audio Decoder"},
                                {"WavPack Decoder", "Audio Decoder"},
                                {"APE Decoder", "Audio Decoder"},
                                {"TTA Decoder", "Audio Decoder"},
                                {"AMR Decoder", "Audio Decoder"},
                                {"E-AC-3 Decoder", "Audio Decoder"},
                                {"DTS Decoder", "Audio Decoder"},
                                {"AIFF PCM Decoder", "Audio Decoder"},
                            }));
    EXPECT_TRUE(probe.NothingMissing());
    EXPECT_TRUE(probe.Offers().empty());
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_TRUE(shell.opened.empty());
}

TEST(ProbeEnvironment, MissingFileEncodersAndDecodersAreNamedWithTheirPackages) {
    ScriptedShell shell;
    shell.messageAnswers = {kIdCancel};
    ProbeEnvironment probe(shell, SystemWithout({"Opus Encoder", "Vorbis Encoder", "Audio Decoder"}));
    probe.Run();
    ASSERT_EQ(shell.messages.size(), 1u);
    const std::string& text = shell.messages[0].text;
    EXPECT_NE(text.find("computer.\n\nOgg Vorbis Encoder\nOpus Encoder\nFLAC Decoder\nALAC Decoder\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("\nAIFF PCM Decoder\n\nYou need"), std::string::npos) << text;
    EXPECT_NE(text.find("sudo apt install libavcodec59 libvorbisenc2 libopus0"), std::string::npos) << text;
}

TEST(ProbeEnvironment, MissingEncodersAreNamedInMessage142AndOkOpensTheMoreTypesPage) {
    ScriptedShell shell;
    ProbeEnvironment probe(shell, SystemWithout({"MPEG Layer-3", "Windows Media Audio V2"}));
    probe.Run();
    EXPECT_FALSE(probe.NothingMissing());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "No following decoder detected on your computer.\n\nMP3 Encoder\nWMA Encoder\n\nYou need install more "
              "codec to exert full power of Tessival.\nWould you like download codec package now?\n\n"
              "On Debian they come with these packages:\n    sudo apt install libavcodec59 libmp3lame0");
    EXPECT_EQ(shell.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://www.kestrane.com/tessival/encoders/"});
    ASSERT_EQ(probe.Offers().size(), 1u);
    EXPECT_EQ(probe.Offers()[0].messageId, 142);
}

TEST(ProbeEnvironment, MissingLinesKeepTheOrderMp3WmaAc3AndCancelOpensNothing) {
    ScriptedShell shell;
    shell.messageAnswers = {kIdCancel};
    ProbeEnvironment probe(shell, SystemWithout({"AC3Filter", "MPEG Layer-3 Decoder", "Windows Media Audio Decoder",
                                                 "Windows Media Audio V2"}));
    probe.Run();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "No following decoder detected on your computer.\n\nMP3 Decoder\nWMA Encoder\nWMA Decoder\nDVD AC3 "
              "Decoder\n\nYou need install more codec to exert full power of Tessival.\nWould you like download codec "
              "package now?\n\n" +
                  kInstallCodecs);
    EXPECT_TRUE(shell.opened.empty());

    // Only the AC-3 decoder gone: exactly its line.
    ScriptedShell alone;
    ProbeEnvironment(alone, SystemWithout({"AC3Filter"})).Run();
    ASSERT_EQ(alone.messages.size(), 1u);
    EXPECT_NE(alone.messages[0].text.find("computer.\n\nDVD AC3 Decoder\n\nYou need"), std::string::npos);
}

TEST(ProbeEnvironment, FiltersThatExistButCannotServeCountAsMissing) {
    // A "PCM" compressor that offers no output format, and an "MPEG Layer-3 Decoder" that is the
    // AC-3 decoder under another name and so refuses MP3.
    FilterEntry refusingDecoder = SystemEntryNamed("AC3Filter", CLSID_LegacyAmFilterCategory);
    refusingDecoder.friendlyName = "MPEG Layer-3 Decoder";
    ScriptedShell shell;
    shell.messageAnswers = {kIdCancel, kIdCancel};
    ProbeEnvironment probe(shell, SystemWithout({"PCM", "MPEG Layer-3 Decoder"},
                                                {test::Entry(CLSID_AudioCompressorCategory, "PCM", test::PlainFilter()),
                                                 refusingDecoder}));
    probe.Probe();
    EXPECT_EQ(probe.Components()[0].filterName, "");
    EXPECT_EQ(probe.Components()[3].label, "MP3 Decoder");
    EXPECT_EQ(probe.Components()[3].filterName, "");
    EXPECT_EQ(probe.Components()[6].filterName, "AC3Filter");  // the real one still serves AC-3
    const auto offers = probe.Offers();
    ASSERT_EQ(offers.size(), 2u);
    EXPECT_EQ(offers[0].messageId, 128);
    EXPECT_EQ(offers[1].messageId, 142);
    EXPECT_NE(offers[1].text.find("computer.\n\nMP3 Decoder\n\nYou need"), std::string::npos);
}

TEST(ProbeEnvironment, MissingPcmEncoderOrWavDestShowMessage128BeforeMessage142) {
    ScriptedShell shell;
    shell.messageAnswers = {kIdOk, kIdCancel};
    ProbeEnvironment probe(shell, SystemWithout({"PCM", "MPEG Layer-3"}));
    probe.Run();
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0].text,
              "You need install DirectX 8.0 or higher.\nWould you like download DirectX 8.0 now?\n\n"
              "Missing on this computer: PCM Encoder\n" +
                  kInstallCodecs);
    EXPECT_EQ(shell.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_NE(shell.messages[1].text.find("computer.\n\nMP3 Encoder\n\nYou need"), std::string::npos);
    // OK on the first, Cancel on the second: only the codec library's package page opened.
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://packages.debian.org/libavcodec59"});

    // Without WAV Dest, Tessival itself is incomplete: its own page is the offer.
    ScriptedShell noWavDest;
    ProbeEnvironment broken(noWavDest, SystemWithout({"WAV Dest"}));
    broken.Run();
    ASSERT_EQ(noWavDest.messages.size(), 1u);
    EXPECT_NE(noWavDest.messages[0].text.find("Missing on this computer: WAV Dest\n"
                                              "On Debian they come with these packages:\n    sudo apt install tessival"),
              std::string::npos);
    EXPECT_EQ(noWavDest.opened, std::vector<std::string>{"https://www.kestrane.com/tessival/"});
}

}  // namespace
}  // namespace tessival
