#include "platform/devices/CueLayout.h"

#include <algorithm>
#include <filesystem>

#include "platform/devices/CueSheet.h"

namespace tessival {
namespace {

std::int64_t SectorBytesOfMode(const std::string& mode) {
    if (mode == "AUDIO" || mode == "MODE1/2352" || mode == "MODE2/2352" || mode == "CDI/2352") return 2352;
    if (mode == "MODE1/2048" || mode == "MODE2/2048") return 2048;
    if (mode == "MODE2/2336" || mode == "CDI/2336") return 2336;
    if (mode == "MODE2/2324") return 2324;
    if (mode == "CDG") return 2448;
    return 0;
}

std::int64_t StartOf(const CueSheet::Track& track) { return track.index0 >= 0 ? track.index0 : track.index1; }

class CueLayoutBuilder {
public:
    CueLayoutBuilder(const CueSheet& sheet, DiscLayout& layout) : sheet_(sheet), layout_(layout) {}

    // False when the sheet's tracks do not make a disc.
    bool Check() const;
    void Build(const std::vector<std::int64_t>& fileSizes);

private:
    void LayOutFile(int file, std::int64_t fileSize, std::vector<std::int32_t>& firstSectors);
    void AddSilence(std::int64_t sectors);

    const CueSheet& sheet_;
    DiscLayout& layout_;
    std::int64_t discSector_ = 0;
};

bool CueLayoutBuilder::Check() const {
    if (sheet_.firstBadLine || sheet_.tracks.empty() || !sheet_.OverRawSectors()) return false;
    for (std::size_t i = 0; i < sheet_.tracks.size(); ++i) {
        const CueSheet::Track& track = sheet_.tracks[i];
        if (track.index1 < 0 || track.index0 > track.index1) return false;
        if (i > 0 && sheet_.tracks[i - 1].file == track.file && StartOf(track) < sheet_.tracks[i - 1].index1)
            return false;
    }
    return true;
}

void CueLayoutBuilder::AddSilence(std::int64_t sectors) {
    if (sectors <= 0) return;
    layout_.segments.push_back({discSector_ * DiscLayout::kSectorBytes, sectors * DiscLayout::kSectorBytes,
                                DiscLayout::Segment::kSilence, 0, false});
    discSector_ += sectors;
}

// Places the tracks of one file on the disc: a file's sectors follow the previous file's, each
// track's part of the file runs to the next track's first index, and the first track's part
// includes what the file holds before that track's first index.
void CueLayoutBuilder::LayOutFile(int file, std::int64_t fileSize, std::vector<std::int32_t>& firstSectors) {
    std::vector<std::size_t> inFile;
    for (std::size_t i = 0; i < sheet_.tracks.size(); ++i)
        if (sheet_.tracks[i].file == file) inFile.push_back(i);
    const bool bigEndian = sheet_.files[static_cast<std::size_t>(file)].type == "MOTOROLA";
    std::int64_t fileBytes = 0;  // where the current track's part starts in the file
    std::int64_t fileSector = 0;
    for (std::size_t k = 0; k < inFile.size(); ++k) {
        const CueSheet::Track& track = sheet_.tracks[inFile[k]];
        const std::int64_t sectorBytes = SectorBytesOfMode(track.mode);
        // The last track of a file runs to its end, a sector the file holds only in part included.
        const std::int64_t rest = (fileSize - fileBytes + sectorBytes - 1) / sectorBytes;
        const std::int64_t end = k + 1 < inFile.size() ? StartOf(sheet_.tracks[inFile[k + 1]])
                                                       : fileSector + std::max<std::int64_t>(0, rest);
        AddSilence(track.pregap);
        firstSectors[inFile[k]] = static_cast<std::int32_t>(discSector_ + track.index1 - fileSector);
        const std::int64_t sectors = std::max<std::int64_t>(0, end - fileSector);
        if (sectors > 0)
            layout_.segments.push_back({discSector_ * DiscLayout::kSectorBytes, sectors * DiscLayout::kSectorBytes,
                                        track.Audio() ? file : DiscLayout::Segment::kData, fileBytes, bigEndian});
        discSector_ += sectors;
        fileBytes += sectors * sectorBytes;
        fileSector += sectors;
        AddSilence(track.postgap);
    }
}

void CueLayoutBuilder::Build(const std::vector<std::int64_t>& fileSizes) {
    std::vector<std::int32_t> firstSectors(sheet_.tracks.size(), 0);
    for (int file = 0; file < static_cast<int>(sheet_.files.size()); ++file)
        LayOutFile(file, fileSizes[static_cast<std::size_t>(file)], firstSectors);
    layout_.discText = sheet_.discText;
    layout_.catalog = sheet_.catalog;
    layout_.date = sheet_.date;
    layout_.discId = sheet_.discId;
    layout_.comment = sheet_.comment;
    for (std::size_t i = 0; i < sheet_.tracks.size(); ++i) {
        const CueSheet::Track& from = sheet_.tracks[i];
        DiscLayout::Track track;
        track.number = from.number;
        track.audio = from.Audio();
        track.firstSector = firstSectors[i];
        track.lastSector =
            static_cast<std::int32_t>(i + 1 < sheet_.tracks.size() ? firstSectors[i + 1] : discSector_) - 1;
        track.isrc = from.isrc;
        track.text = from.text;
        layout_.tracks.push_back(std::move(track));
    }
}

}  // namespace

bool ReadCueSheet(const std::string& path, DiscLayout& layout, DiscProblem& problem) {
    layout = DiscLayout{};
    std::string bytes;
    problem = ReadSheetFile(path, bytes);
    if (problem) return false;
    problem.source = path;
    const CueSheet sheet = ParseCueSheet(bytes);
    CueLayoutBuilder builder(sheet, layout);
    if (!builder.Check()) {
        problem.kind = DiscProblem::Kind::BadImage;
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::vector<std::int64_t> sizes;
    for (const CueSheet::File& file : sheet.files) {
        DiscLayout::File resolved;
        resolved.name = file.name;
        resolved.path = std::filesystem::path(file.name).is_absolute() ? file.name : (folder / file.name).string();
        problem = CheckImageFile(resolved.path, resolved.name);
        if (problem) {
            problem.source = path;
            return false;
        }
        std::error_code error;
        sizes.push_back(static_cast<std::int64_t>(std::filesystem::file_size(resolved.path, error)));
        layout.files.push_back(std::move(resolved));
    }
    builder.Build(sizes);
    return true;
}

}  // namespace tessival
