#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/devices/DiscProblem.h"

namespace tessival {

// What a disc image file says about itself before libcdio opens it: cue sheets over raw sector
// files, cdrdao toc files and Nero images.
class DiscImage {
public:
    struct DataFile {
        std::string name;  // as written in the sheet
        std::string path;  // resolved beside the sheet
    };

    explicit DiscImage(std::string path);

    // A disc image: a .cue sheet whose files are all raw sectors (BINARY or MOTOROLA), a .toc
    // file or a .nrg image. A cue sheet over WAVE, FLAC or MP3 files is an album, not a disc.
    static bool IsDiscImage(const std::string& path);

    // ImageMissing, DataFileMissing or None: what can be told without opening the image.
    DiscProblem CheckFiles() const;

    const std::vector<DataFile>& DataFiles() const { return dataFiles_; }

private:
    void ReadSheet();

    std::string path_;
    std::string extension_;
    std::vector<DataFile> dataFiles_;
    std::vector<std::string> fileTypes_;  // upper-cased, one per data file (cue sheets)
};

}  // namespace tessival
