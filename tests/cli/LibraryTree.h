#pragma once

#include <filesystem>
#include <string>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival::test {

// A tagged stereo FLAC file of one second, a tone of its own frequency.
inline bool MakeTaggedFlac(const std::string& path, int frequency, const std::string& artist, const std::string& album,
                           const std::string& title, const std::string& track) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=" + std::to_string(frequency) +
                      ":duration=1' -ac 2 -metadata artist=" + ShellQuote(artist) + " -metadata album=" +
                      ShellQuote(album) + " -metadata title=" + ShellQuote(title) + " -metadata track=" +
                      ShellQuote(track) + " " + ShellQuote(path))
               .exitCode == 0;
}

// Music/Artist N/Album N/0T - Intro.flac for two artists of one album each, two tracks each: the
// file names repeat across the albums.
inline bool MakeTwoAlbums(const TempDir& dir) {
    for (int a = 1; a <= 2; ++a) {
        for (int t = 1; t <= 2; ++t) {
            const std::string n = std::to_string(a);
            if (!MakeTaggedFlac(dir.File("Music/Artist " + n + "/Album " + n + "/0" + std::to_string(t) + " - Intro.flac"),
                                200 * a + 100 * t, "Artist " + n, "Album " + n, t == 1 ? "Intro" : "Second/Part",
                                std::to_string(t) + "/2"))
                return false;
        }
    }
    return true;
}

}  // namespace tessival::test
