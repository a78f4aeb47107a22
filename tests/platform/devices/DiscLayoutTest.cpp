#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/devices/CdDisc.h"
#include "platform/devices/CdTrackReader.h"
#include "platform/devices/DiscIds.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using Kind = DiscProblem::Kind;

// Sectors of distinct little-endian samples: no two sectors and no two seeds alike.
std::string Pcm(int sectors, unsigned seed) {
    std::string pcm(static_cast<std::size_t>(sectors) * 2352, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& byte : pcm) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return pcm;
}

std::string Swapped(std::string pcm) {
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) std::swap(pcm[i], pcm[i + 1]);
    return pcm;
}

void Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void PutBe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A Nero image written track at once: the audio tracks one after the other, without the gaps
// between them, an ETN2 table counting starts without the gaps, and the version 2 footer.
std::string TrackAtOnceNrg(const std::vector<std::string>& tracks) {
    std::string image, table;
    for (const std::string& pcm : tracks) {
        PutBe(table, image.size(), 8);
        PutBe(table, pcm.size(), 8);
        PutBe(table, 7, 4);  // audio, 2352 bytes a sector
        PutBe(table, image.size() / 2352, 4);
        PutBe(table, 0, 8);
        image += pcm;
    }
    const std::uint64_t chunks = image.size();
    image += "ETN2";
    PutBe(image, table.size(), 4);
    image += table + "SINF";
    PutBe(image, 4, 4);
    PutBe(image, tracks.size(), 4);
    image += "END!";
    PutBe(image, 0, 4);
    image += "NER5";
    PutBe(image, chunks, 8);
    return image;
}

std::string ReadTrack(CdDisc& disc, int number, CdTrackReader::Status& last, int readOffset = 0) {
    const DiscTrack* track = disc.FindAudioTrack(number);
    if (!track) return "no track";
    CdReadOptions options;
    options.readOffset = readOffset;
    auto reader = CdTrackReader::Open(disc, *track, options);
    if (!reader) return "no reader";
    std::vector<std::uint8_t> bytes;
    do last = reader->Read(7, bytes);
    while (last == CdTrackReader::Status::Ok);
    return std::string(bytes.begin(), bytes.end());
}

struct Span {
    int number, first, last;
    bool operator==(const Span&) const = default;
};

std::vector<Span> Spans(const CdDisc& disc) {
    std::vector<Span> spans;
    for (const DiscTrack& track : disc.Tracks()) spans.push_back({track.number, track.firstSector, track.lastSector});
    return spans;
}

// Each sheet is read into the tracks and sectors it describes, and every audio track reads back
// exactly the samples the sheet puts there, in the byte order its files have.
TEST(DiscLayouts, SheetsPlaceTheirFilesTracksAndGapsAndReadBackBitExact) {
    test::TempDir dir;
    const std::string a = Pcm(30, 1), b = Pcm(20, 2), c = Pcm(25, 3);
    Write(dir.File("c.raw"), c);
    ASSERT_EQ(std::system(("sox -t raw -r 44100 -e signed -b 16 -c 2 -L " + dir.File("c.raw") + " " + dir.File("c.wav"))
                              .c_str()),
              0);
    struct Case {
        const char* name;
        std::string sheetPath;
        std::string sheet;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<Span> spans;
        std::vector<std::string> audio;  // what each track reads, in track order
    };
    const std::vector<Case> cases = {
        {"a FILE name unlike the sheet's, in a subfolder",
         "g.cue",
         "FILE \"bins/pg.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n TRACK 02 AUDIO\n  INDEX 00 00:00:20\n"
         "  INDEX 01 00:00:25\n",
         {{"bins/pg.bin", a + b}, {"g.bin", Pcm(50, 9)}},
         {{1, 0, 24}, {2, 25, 49}},
         {a.substr(0, 25 * 2352), a.substr(25 * 2352) + b}},
        {"MOTOROLA files are big-endian",
         "m.cue",
         "FILE m.bin MOTOROLA\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n",
         {{"m.bin", Swapped(a)}},
         {{1, 0, 29}},
         {a}},
        {"one FILE a track, the pregap at the start of the next file, a PREGAP and a POSTGAP of silence",
         "per-track.cue",
         "FILE \"01.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\nFILE \"02.bin\" BINARY\n  TRACK 02 AUDIO\n"
         "    INDEX 00 00:00:00\n    INDEX 01 00:00:05\n    POSTGAP 00:00:02\nFILE \"03.bin\" MOTOROLA\n"
         "  TRACK 03 AUDIO\n    PREGAP 00:00:03\n    INDEX 01 00:00:00\n",
         {{"01.bin", a}, {"02.bin", b}, {"03.bin", Swapped(c)}},
         {{1, 0, 34}, {2, 35, 54}, {3, 55, 79}},
         {a + b.substr(0, 5 * 2352), b.substr(5 * 2352) + std::string(5 * 2352, '\0'), c}},
        {"a toc: raw audio big-endian, SWAP little-endian, a .wav file, SILENCE, START and PREGAP",
         "disc.toc",
         "CD_DA\n// a comment\nTRACK AUDIO\nFILE \"raw.bin\" 0 00:00:30\nTRACK AUDIO\nSILENCE 00:00:02\n"
         "START 00:00:02\nAUDIOFILE \"le.bin\" SWAP #2352 0 00:00:19\nTRACK AUDIO\nPREGAP 00:00:01\n"
         "FILE \"c.wav\" 0\n",
         {{"raw.bin", Swapped(a)}, {"le.bin", std::string(2352, 'x') + b}},
         {{1, 0, 31}, {2, 32, 51}, {3, 52, 76}},
         {a + std::string(2 * 2352, '\0'), b.substr(0, 19 * 2352) + std::string(2352, '\0'), c}},
        {"a track-at-once Nero image: the 2 s gap before each later track reads as silence at the end of the one "
         "before",
         "tao.nrg",
         TrackAtOnceNrg({a, b, c}),
         {},
         {{1, 0, 179}, {2, 180, 349}, {3, 350, 374}},
         {a + std::string(150 * 2352, '\0'), b + std::string(150 * 2352, '\0'), c}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        for (const auto& [name, bytes] : test.files) Write(dir.File(name), bytes);
        Write(dir.File(test.sheetPath), test.sheet);
        DiscProblem problem;
        const auto disc = CdDisc::Open(dir.File(test.sheetPath), problem);
        ASSERT_NE(disc, nullptr) << static_cast<int>(problem.kind) << " " << problem.detail;
        EXPECT_EQ(Spans(*disc), test.spans);
        for (std::size_t i = 0; i < test.audio.size(); ++i) {
            CdTrackReader::Status last;
            const std::string pcm = ReadTrack(*disc, static_cast<int>(i) + 1, last);
            EXPECT_EQ(last, CdTrackReader::Status::End) << "track " << i + 1;
            EXPECT_TRUE(pcm == test.audio[i]) << "track " << i + 1 << ": " << pcm.size() << " bytes";
        }
    }
}

TEST(DiscLayouts, CdTextAndRemarksComeInUtf8WhateverTheSheetsEncoding) {
    test::TempDir dir;
    Write(dir.File("a.bin"), Pcm(10, 1));
    const std::string body = "REM GENRE \"Volksmusik\"\nREM DATE 1987\nREM DISCID 860B640B\nREM COMMENT \"ripped\"\n"
                             "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    TITLE \"M\xC3\xBC"
                             "de\"\n    PERFORMER Chor\n    INDEX 01 00:00:00\n";
    const std::string discLines = "PERFORMER \"Die Sch\xC3\xB6nen\"\nTITLE \"Gr\xC3\xBC\xC3\x9F\x65\"\n";
    Write(dir.File("utf8.cue"), discLines + body);
    Write(dir.File("bom.cue"), "\xEF\xBB\xBF" + discLines + body);
    std::string latin = "PERFORMER \"Die Sch\xF6nen\"\nTITLE \"Gr\xFC\xDF\x65\"\n" + body;
    latin.replace(latin.find("M\xC3\xBC"), 3, "M\xFC");
    Write(dir.File("latin.cue"), latin);
    for (const char* name : {"utf8.cue", "bom.cue", "latin.cue"}) {
        SCOPED_TRACE(name);
        DiscProblem problem;
        const auto disc = CdDisc::Open(dir.File(name), problem);
        ASSERT_NE(disc, nullptr);
        const DiscTrackText text = disc->TrackText(1);
        EXPECT_EQ(text.title, "M\xC3\xBC" "de");
        EXPECT_EQ(text.performer, "Chor");
        EXPECT_EQ(text.albumTitle, "Gr\xC3\xBC\xC3\x9F\x65");
        EXPECT_EQ(text.albumPerformer, "Die Sch\xC3\xB6nen");
        EXPECT_EQ(text.genre, "Volksmusik");
        EXPECT_EQ(text.date, "1987");
        EXPECT_EQ(disc->Layout()->discId, "860B640B");
        EXPECT_EQ(disc->Layout()->comment, "ripped");
    }
}

TEST(DiscLayouts, EmptyTracksTracksPastTheEndAndUnreadableFilesSayWhy) {
    test::TempDir dir;
    Write(dir.File("a.bin"), Pcm(40, 1));
    // Track 2 ends where it starts; track 4 starts past the 40 sectors the file holds.
    Write(dir.File("odd.cue"),
          "FILE a.bin BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n TRACK 02 AUDIO\n  INDEX 01 00:00:10\n"
          " TRACK 03 AUDIO\n  INDEX 01 00:00:10\n TRACK 04 AUDIO\n  INDEX 01 00:00:50\n");
    DiscProblem problem;
    const auto disc = CdDisc::Open(dir.File("odd.cue"), problem);
    ASSERT_NE(disc, nullptr);
    const std::vector<Kind> expected = {Kind::None, Kind::EmptyTrack, Kind::None, Kind::TrackPastEnd};
    for (int number = 1; number <= 4; ++number) {
        const DiscProblem found = disc->TrackProblem(*disc->FindAudioTrack(number));
        EXPECT_EQ(found.kind, expected[static_cast<std::size_t>(number - 1)]) << "track " << number;
        EXPECT_EQ(found.track, number);
    }
    CdTrackReader::Status last;
    EXPECT_EQ(ReadTrack(*disc, 3, last).size(), 30u * 2352);  // to the end of the file's data
    EXPECT_EQ(last, CdTrackReader::Status::Unreadable);

    Write(dir.File("toc-missing.toc"), "CD_DA\nTRACK AUDIO\nFILE \"gone.bin\" 0\n");
    EXPECT_EQ(CdDisc::Open(dir.File("toc-missing.toc"), problem), nullptr);
    EXPECT_EQ(problem.kind, Kind::DataFileMissing);
    EXPECT_EQ(problem.detail, "gone.bin");
    Write(dir.File("toc-bad.toc"), "CD_DA\nTRACK AUDIO\nFILE \"a.bin\" 0 12:xx:00\n");
    EXPECT_EQ(CdDisc::Open(dir.File("toc-bad.toc"), problem), nullptr);
    EXPECT_EQ(problem.kind, Kind::BadImage);
    EXPECT_EQ(problem.source, dir.File("toc-bad.toc"));
}

TEST(DiscIdsOf, TheMusicBrainzDocumentationsExampleDisc) {
    // Six audio tracks, the lead-out at LBA 95312.
    DiscToc toc;
    const std::int32_t starts[] = {0, 15213, 32164, 46442, 63264, 80339};
    for (int i = 0; i < 6; ++i) toc.tracks.push_back({i + 1, true, starts[i], (i < 5 ? starts[i + 1] : 95312) - 1});
    toc.leadOut = 95312;
    const DiscIds ids = DiscIds::Of(toc);
    EXPECT_EQ(ids.musicBrainz, "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
    EXPECT_EQ(ids.AccurateRipId(), "006-000513be-001b2231-3404f606");

    // A data track after the audio: the audio session ends 11400 sectors before it.
    toc.tracks.push_back({7, false, 95312 + 11400, 120000});
    toc.leadOut = 120001;
    EXPECT_EQ(DiscIds::Of(toc).musicBrainz, "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
}

TEST(DiscLayouts, TheReadOffsetShiftsTheSamplesAndReadsSilenceBeyondTheDisc) {
    test::TempDir dir;
    const std::string a = Pcm(10, 1), b = Pcm(10, 2);
    Write(dir.File("a.bin"), a + b);
    Write(dir.File("o.cue"), "FILE a.bin BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n TRACK 02 AUDIO\n"
                             "  INDEX 01 00:00:10\n");
    DiscProblem problem;
    const auto disc = CdDisc::Open(dir.File("o.cue"), problem);
    ASSERT_NE(disc, nullptr);
    CdTrackReader::Status last;
    // +30 samples: the track starts 120 bytes later and takes 120 bytes of silence past the lead-out.
    EXPECT_TRUE(ReadTrack(*disc, 2, last, 30) == b.substr(120) + std::string(120, '\0'));
    EXPECT_TRUE(ReadTrack(*disc, 2, last, -30) == a.substr(a.size() - 120) + b.substr(0, b.size() - 120));
    EXPECT_TRUE(ReadTrack(*disc, 1, last, -30) == std::string(120, '\0') + a.substr(0, a.size() - 120));
    EXPECT_EQ(last, CdTrackReader::Status::End);
}

}  // namespace
}  // namespace tessival

namespace tessival {
namespace {

TEST(CdTrackReading, AStopRequestEndsAReadBetweenSectorsWithoutCallingTheDiscBad) {
    test::TempDir dir;
    Write(dir.File("a.bin"), Pcm(50, 1));
    Write(dir.File("s.cue"), "FILE a.bin BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
    DiscProblem problem;
    const auto disc = CdDisc::Open(dir.File("s.cue"), problem);
    ASSERT_NE(disc, nullptr);
    int asked = 0;
    CdReadOptions options;
    options.stopRequested = [&asked] { return ++asked > 12; };
    auto reader = CdTrackReader::Open(*disc, *disc->FindAudioTrack(1), options);
    ASSERT_NE(reader, nullptr);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(reader->Read(40, bytes), CdTrackReader::Status::Ok);
    EXPECT_EQ(reader->SectorsRead(), 12);
    EXPECT_EQ(bytes.size(), 12u * 2352);
    EXPECT_EQ(reader->BadSector(), -1);
}

}  // namespace
}  // namespace tessival
