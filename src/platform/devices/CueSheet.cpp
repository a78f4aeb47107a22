#include "platform/devices/CueSheet.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

namespace tessival {
namespace {

struct CueFile {
    bool bigEndian = false;
    std::int64_t size = 0;
};

struct CueTrack {
    DiscLayout::Track track;
    int file = 0;
    std::int64_t sectorBytes = DiscLayout::kSectorBytes;
    std::int64_t index0 = -1, index1 = -1;  // sectors into the file
    std::int64_t pregap = 0, postgap = 0;   // silence the sheet adds, in sectors

    std::int64_t Start() const { return index0 >= 0 ? index0 : index1; }
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The rest of a line after its keyword: a quoted text, or the words as they stand.
std::string Value(std::istringstream& words) {
    words >> std::ws;
    std::string value;
    if (words.peek() == '"') {
        words.get();
        std::getline(words, value, '"');
        return value;
    }
    std::getline(words, value);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
    return value;
}

// mm:ss:ff in sectors; -1 when malformed.
std::int64_t Msf(const std::string& text) {
    int m = 0, s = 0, f = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d%c", &m, &s, &f, &end) != 3 || m < 0 || s < 0 || s > 59 || f < 0 || f > 74)
        return -1;
    return (static_cast<std::int64_t>(m) * 60 + s) * 75 + f;
}

std::int64_t SectorBytesOfMode(const std::string& mode) {
    if (mode == "AUDIO" || mode == "MODE1/2352" || mode == "MODE2/2352" || mode == "CDI/2352") return 2352;
    if (mode == "MODE1/2048" || mode == "MODE2/2048") return 2048;
    if (mode == "MODE2/2336" || mode == "CDI/2336") return 2336;
    if (mode == "MODE2/2324") return 2324;
    if (mode == "CDG") return 2448;
    return 0;
}

class CueReader {
public:
    CueReader(const std::string& path, DiscLayout& layout, DiscProblem& problem)
        : folder_(std::filesystem::path(path).parent_path()), layout_(layout), problem_(problem) {}

    bool Line(const std::string& raw, const std::string& text);
    bool Finish();

private:
    bool File(std::istringstream& words);
    bool Track(std::istringstream& words);
    bool Index(std::istringstream& words);
    void Rem(std::istringstream& words);
    DiscLayout::Text& Text() { return tracks_.empty() ? layout_.discText : tracks_.back().track.text; }
    bool Bad() {
        problem_.kind = DiscProblem::Kind::BadImage;
        return false;
    }
    void LayOutFile(int file, std::int64_t& discSector);

    std::filesystem::path folder_;
    DiscLayout& layout_;
    DiscProblem& problem_;
    std::vector<CueFile> files_;
    std::vector<CueTrack> tracks_;
};

bool CueReader::Line(const std::string& raw, const std::string& text) {
    std::istringstream words(text);
    std::string keyword;
    words >> keyword;
    keyword = Upper(keyword);
    if (keyword == "FILE") {
        // File names keep the sheet's own bytes: they name files on this disk as they are.
        std::istringstream rawWords(raw);
        rawWords >> keyword;
        return File(rawWords);
    }
    if (keyword == "TRACK") return Track(words);
    if (keyword == "INDEX") return Index(words);
    if (keyword == "REM") Rem(words);
    else if (keyword == "TITLE") Text().title = Value(words);
    else if (keyword == "PERFORMER") Text().performer = Value(words);
    else if (keyword == "SONGWRITER") Text().songwriter = Value(words);
    else if (keyword == "GENRE") Text().genre = Value(words);
    else if (keyword == "CATALOG") layout_.catalog = Value(words);
    else if (keyword == "ISRC" && !tracks_.empty()) tracks_.back().track.isrc = Value(words);
    else if ((keyword == "PREGAP" || keyword == "POSTGAP") && !tracks_.empty()) {
        const std::int64_t length = Msf(Value(words));
        if (length < 0) return Bad();
        (keyword == "PREGAP" ? tracks_.back().pregap : tracks_.back().postgap) = length;
    }
    return true;
}

bool CueReader::File(std::istringstream& words) {
    DiscLayout::File file;
    file.name = Value(words);
    std::string type = Upper(file.name.empty() ? std::string() : [&] {
        std::string word;
        words >> word;
        return word;
    }());
    // Value() took the whole rest of an unquoted line: the type is its last word.
    if (type.empty()) {
        const auto space = file.name.find_last_of(" \t");
        if (space == std::string::npos) return Bad();
        type = Upper(file.name.substr(space + 1));
        file.name.erase(file.name.find_last_not_of(" \t", space) + 1);
    }
    if (file.name.empty() || (type != "BINARY" && type != "MOTOROLA")) return Bad();
    file.path = std::filesystem::path(file.name).is_absolute() ? file.name : (folder_ / file.name).string();
    CueFile cue;
    cue.bigEndian = type == "MOTOROLA";
    layout_.files.push_back(std::move(file));
    files_.push_back(cue);
    return true;
}

bool CueReader::Track(std::istringstream& words) {
    std::string number, mode;
    words >> number >> mode;
    CueTrack track;
    char* end = nullptr;
    track.track.number = static_cast<int>(std::strtol(number.c_str(), &end, 10));
    track.sectorBytes = SectorBytesOfMode(Upper(mode));
    if (files_.empty() || *end || track.track.number < 1 || track.track.number > 99 || !track.sectorBytes) return Bad();
    if (!tracks_.empty() && track.track.number != tracks_.back().track.number + 1) return Bad();
    track.track.audio = Upper(mode) == "AUDIO";
    track.file = static_cast<int>(files_.size()) - 1;
    tracks_.push_back(track);
    return true;
}

bool CueReader::Index(std::istringstream& words) {
    std::string number, at;
    words >> number >> at;
    const std::int64_t sector = Msf(at);
    if (tracks_.empty() || sector < 0) return Bad();
    CueTrack& track = tracks_.back();
    if (track.file != static_cast<int>(files_.size()) - 1) return Bad();  // an index in a later file
    if (number == "00" || number == "0") track.index0 = sector;
    if (number == "01" || number == "1") track.index1 = sector;
    return true;
}

void CueReader::Rem(std::istringstream& words) {
    std::string what;
    words >> what;
    what = Upper(what);
    if (what == "DATE") layout_.date = Value(words);
    else if (what == "GENRE") {
        const std::string genre = Value(words);
        if (layout_.discText.genre.empty()) layout_.discText.genre = genre;
    } else if (what == "DISCID") layout_.discId = Value(words);
    else if (what == "COMMENT") layout_.comment = Value(words);
}

// Places the tracks of one file on the disc: a file's sectors follow the previous file's, each
// track's part of the file runs to the next track's first index, and the first track's part
// includes what the file holds before that track's first index.
void CueReader::LayOutFile(int file, std::int64_t& discSector) {
    std::vector<CueTrack*> inFile;
    for (CueTrack& track : tracks_)
        if (track.file == file) inFile.push_back(&track);
    std::int64_t fileBytes = 0;  // where the current track's part starts in the file
    std::int64_t fileSector = 0;
    for (std::size_t i = 0; i < inFile.size(); ++i) {
        CueTrack& track = *inFile[i];
        // The last track of a file runs to its end, a sector the file holds only in part included.
        const std::int64_t rest = (files_[file].size - fileBytes + track.sectorBytes - 1) / track.sectorBytes;
        const std::int64_t end =
            i + 1 < inFile.size() ? inFile[i + 1]->Start() : fileSector + std::max<std::int64_t>(0, rest);
        auto silence = [&](std::int64_t sectors) {
            if (sectors <= 0) return;
            layout_.segments.push_back({discSector * DiscLayout::kSectorBytes, sectors * DiscLayout::kSectorBytes,
                                        DiscLayout::Segment::kSilence, 0, false});
            discSector += sectors;
        };
        silence(track.pregap);
        track.track.firstSector = static_cast<std::int32_t>(discSector + track.index1 - fileSector);
        const std::int64_t sectors = std::max<std::int64_t>(0, end - fileSector);
        if (sectors > 0)
            layout_.segments.push_back({discSector * DiscLayout::kSectorBytes, sectors * DiscLayout::kSectorBytes,
                                        track.track.audio ? file : DiscLayout::Segment::kData, fileBytes,
                                        files_[file].bigEndian});
        discSector += sectors;
        fileBytes += sectors * track.sectorBytes;
        fileSector += sectors;
        silence(track.postgap);
    }
}

bool CueReader::Finish() {
    if (tracks_.empty()) return Bad();
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        const CueTrack& track = tracks_[i];
        if (track.index1 < 0 || (track.index0 > track.index1)) return Bad();
        if (i > 0 && tracks_[i - 1].file == track.file && track.Start() < tracks_[i - 1].index1) return Bad();
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        problem_ = CheckImageFile(layout_.files[i].path, layout_.files[i].name);
        if (problem_) return false;
        std::error_code error;
        files_[i].size = static_cast<std::int64_t>(std::filesystem::file_size(layout_.files[i].path, error));
    }
    std::int64_t discSector = 0;
    for (int file = 0; file < static_cast<int>(files_.size()); ++file) LayOutFile(file, discSector);
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        DiscLayout::Track track = tracks_[i].track;
        track.lastSector = static_cast<std::int32_t>(i + 1 < tracks_.size() ? tracks_[i + 1].track.firstSector
                                                                             : discSector) - 1;
        layout_.tracks.push_back(std::move(track));
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

bool ReadCueSheet(const std::string& path, DiscLayout& layout, DiscProblem& problem) {
    layout = DiscLayout{};
    std::string bytes;
    problem = ReadSheetFile(path, bytes);
    if (problem) return false;
    problem.source = path;
    const std::vector<std::string> raw = Lines(bytes);
    const std::vector<std::string> text = Lines(SheetTextToUtf8(bytes));
    if (raw.size() != text.size()) return false;
    CueReader reader(path, layout, problem);
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (!reader.Line(raw[i], text[i])) return false;
    if (!reader.Finish()) {
        problem.source = path;
        return false;
    }
    return true;
}

}  // namespace tessival
