#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tessival::test {

// A mixed-mode disc image written as .bin + .cue: a data track first (track 1) and audio tracks
// 2, 3, ... of the given lengths in sectors, or (DataTrack::Last, as on an enhanced CD) audio
// tracks 1, 2, ... and the data track after them. Each audio track holds its own known 16-bit
// stereo samples (little-endian, as a BINARY cue sheet stores them).
class DiscImageFile {
public:
    static constexpr int kSectorBytes = 2352;
    static constexpr int kDataSectors = 150;
    enum class DataTrack { First, Last };

    DiscImageFile(const std::string& folder, std::vector<int> audioSectors, const std::string& name = "disc",
                  DataTrack data = DataTrack::First)
        : cue_(folder + "/" + name + ".cue"), bin_(folder + "/" + name + ".bin"), audioSectors_(std::move(audioSectors)),
          firstAudio_(data == DataTrack::First ? 2 : 1) {
        std::ofstream bin(bin_, std::ios::binary);
        std::string sheet = "FILE \"" + name + ".bin\" BINARY\n";
        int start = 0;
        if (data == DataTrack::First) start = WriteDataTrack(bin, sheet, 1, start);
        for (std::size_t i = 0; i < audioSectors_.size(); ++i) {
            const int number = static_cast<int>(i) + firstAudio_;
            sheet += TrackLines(number, "AUDIO", start);
            const std::string pcm = TrackPcm(number);
            bin.write(pcm.data(), static_cast<std::streamsize>(pcm.size()));
            start += audioSectors_[i];
        }
        if (data == DataTrack::Last) WriteDataTrack(bin, sheet, static_cast<int>(audioSectors_.size()) + 1, start);
        std::ofstream(cue_) << sheet;
    }

    const std::string& Cue() const { return cue_; }
    const std::string& Bin() const { return bin_; }
    std::vector<int> AudioTrackNumbers() const {
        std::vector<int> numbers;
        for (std::size_t i = 0; i < audioSectors_.size(); ++i) numbers.push_back(static_cast<int>(i) + firstAudio_);
        return numbers;
    }

    // The samples the image holds for an audio track, as bytes: a tone of its own per track and
    // channel with a little noise, so that no two sectors are alike.
    std::string TrackPcm(int number) const {
        const int sectors = audioSectors_.at(static_cast<std::size_t>(number - firstAudio_));
        std::string pcm(static_cast<std::size_t>(sectors) * kSectorBytes, '\0');
        std::uint32_t state = 0x9E3779B9u * static_cast<std::uint32_t>(number);
        for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) {
            state = state * 1664525u + 1013904223u;
            const double frequency = 110.0 * number + (i / 2 % 2 ? 55.0 : 0.0);
            const double t = static_cast<double>(i / 4) / 44100.0;
            const int sample = static_cast<int>(9000.0 * std::sin(6.283185307179586 * frequency * t)) +
                               static_cast<int>(state >> 26) - 32;
            pcm[i] = static_cast<char>(sample & 0xFF);
            pcm[i + 1] = static_cast<char>((sample >> 8) & 0xFF);
        }
        return pcm;
    }

    // Cuts the .bin in the middle of a sector, `sectorsShort` sectors before the last audio track's
    // end (and so before a data track after it).
    void CutInsideLastTrack(int sectorsShort) const {
        std::uintmax_t end = 0;
        for (int sectors : audioSectors_) end += static_cast<std::uintmax_t>(sectors) * kSectorBytes;
        if (firstAudio_ == 2) end += static_cast<std::uintmax_t>(kDataSectors) * kSectorBytes;
        std::filesystem::resize_file(bin_, end - static_cast<std::uintmax_t>(sectorsShort) * kSectorBytes - 1000);
    }

private:
    static std::string TrackLines(int number, const char* mode, int start) {
        char lines[96];
        std::snprintf(lines, sizeof lines, "  TRACK %02d %s\n    INDEX 01 %02d:%02d:%02d\n", number, mode,
                      start / 4500, start / 75 % 60, start % 75);
        return lines;
    }
    static int WriteDataTrack(std::ofstream& bin, std::string& sheet, int number, int start) {
        sheet += TrackLines(number, "MODE1/2352", start);
        const std::string data(static_cast<std::size_t>(kDataSectors) * kSectorBytes, '\0');
        bin.write(data.data(), static_cast<std::streamsize>(data.size()));
        return start + kDataSectors;
    }

    std::string cue_;
    std::string bin_;
    std::vector<int> audioSectors_;
    int firstAudio_;
};

}  // namespace tessival::test
