#include "platform/devices/CueSheet.h"

#include <algorithm>
#include <charconv>

namespace tessival {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Far beyond any album's length, and small enough that frames never overflow.
constexpr std::int64_t kMostMinutes = 1000000;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimmedLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view Trimmed(std::string_view text) {
    text = TrimmedLeft(text);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// Splits off the first word of `rest`.
std::string_view TakeWord(std::string_view& rest) {
    rest = TrimmedLeft(rest);
    const auto end = std::min(rest.find_first_of(" \t"), rest.size());
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

// What follows a keyword: a quoted text, or the rest of the line as it stands.
std::string Value(std::string_view rest) {
    rest = Trimmed(rest);
    if (rest.starts_with('"')) {
        rest.remove_prefix(1);
        return std::string(rest.substr(0, rest.find('"')));
    }
    return std::string(rest);
}

bool ParseNumber(std::string_view text, std::int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// "mm:ss:ff" in frames; -1 when malformed.
std::int64_t ParseTime(std::string_view text) {
    const auto first = text.find(':'), second = text.rfind(':');
    std::int64_t minutes = 0, seconds = 0, frames = 0;
    if (first == std::string_view::npos || first == second || !ParseNumber(text.substr(0, first), minutes) ||
        !ParseNumber(text.substr(first + 1, second - first - 1), seconds) ||
        !ParseNumber(text.substr(second + 1), frames) || minutes > kMostMinutes || seconds >= 60 || frames >= 75)
        return -1;
    return (minutes * 60 + seconds) * 75 + frames;
}

bool KnownMode(const std::string& mode) {
    for (const char* known : {"AUDIO", "MODE1/2352", "MODE2/2352", "CDI/2352", "MODE1/2048", "MODE2/2048",
                              "MODE2/2336", "CDI/2336", "MODE2/2324", "CDG"})
        if (mode == known) return true;
    return false;
}

class CueParser {
public:
    void Line(std::string_view raw, std::string_view text, int number);
    CueSheet Take() { return std::move(sheet_); }

private:
    void File(std::string_view rawRest);
    void Track(std::string_view rest);
    void Index(std::string_view rest);
    void Gap(std::int64_t CueSheet::Track::*gap, std::string_view rest);
    void Rem(std::string_view rest);
    void Bad() {
        if (!sheet_.firstBadLine) sheet_.firstBadLine = line_;
    }
    CueSheet::Track* Current() { return inTrack_ && !sheet_.tracks.empty() ? &sheet_.tracks.back() : nullptr; }
    // Text before the first track is the disc's; text of a track the sheet got wrong goes nowhere.
    DiscLayout::Text* Text() {
        if (Current()) return &Current()->text;
        return sheet_.tracks.empty() && !lost_ ? &sheet_.discText : nullptr;
    }
    void SetText(std::string DiscLayout::Text::*field, std::string_view rest) {
        if (DiscLayout::Text* text = Text()) text->*field = Value(rest);
    }
    int CurrentFile() const { return static_cast<int>(sheet_.files.size()) - 1; }

    CueSheet sheet_;
    bool inTrack_ = false;
    bool lost_ = false;
    int line_ = 0;
};

void CueParser::Line(std::string_view raw, std::string_view text, int number) {
    line_ = number;
    std::string_view rest = text;
    const std::string keyword = Upper(TakeWord(rest));
    if (keyword == "FILE") {
        std::string_view rawRest = raw;
        TakeWord(rawRest);
        File(rawRest);
    } else if (keyword == "TRACK") {
        Track(rest);
    } else if (keyword == "INDEX") {
        Index(rest);
    } else if (keyword == "REM") {
        Rem(rest);
    } else if (keyword == "TITLE") {
        SetText(&DiscLayout::Text::title, rest);
    } else if (keyword == "PERFORMER") {
        SetText(&DiscLayout::Text::performer, rest);
    } else if (keyword == "SONGWRITER") {
        SetText(&DiscLayout::Text::songwriter, rest);
    } else if (keyword == "GENRE") {
        SetText(&DiscLayout::Text::genre, rest);
    } else if (keyword == "CATALOG") {
        sheet_.catalog = Value(rest);
    } else if (keyword == "ISRC") {
        if (Current()) Current()->isrc = Value(rest);
    } else if (keyword == "PREGAP") {
        Gap(&CueSheet::Track::pregap, rest);
    } else if (keyword == "POSTGAP") {
        Gap(&CueSheet::Track::postgap, rest);
    }
}

void CueParser::File(std::string_view rest) {
    rest = Trimmed(rest);
    CueSheet::File file;
    if (rest.starts_with('"')) {
        const auto close = rest.find('"', 1);
        file.name = std::string(rest.substr(1, close == std::string_view::npos ? rest.npos : close - 1));
        rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
        file.type = Upper(TakeWord(rest));
    } else {
        // An unquoted name may hold spaces: the type is the line's last word.
        const auto space = rest.find_last_of(" \t");
        if (space != std::string_view::npos) {
            file.type = Upper(rest.substr(space + 1));
            file.name = std::string(Trimmed(rest.substr(0, space)));
        }
    }
    if (file.name.empty() || file.type.empty()) Bad();
    sheet_.files.push_back(std::move(file));
}

void CueParser::Track(std::string_view rest) {
    inTrack_ = true;
    lost_ = false;
    std::int64_t number = 0;
    const std::string_view numberWord = TakeWord(rest);
    const std::string mode = Upper(TakeWord(rest));
    if (!ParseNumber(numberWord, number) || number > 99 || mode.empty()) {
        Bad();
        // Lines of a track that is not one belong to nothing, not to the track before it.
        inTrack_ = false;
        lost_ = true;
        return;
    }
    const bool inOrder = sheet_.tracks.empty() ? number >= 1 : number == sheet_.tracks.back().number + 1;
    if (sheet_.files.empty() || !KnownMode(mode) || !inOrder) Bad();
    CueSheet::Track track;
    track.number = static_cast<int>(number);
    track.mode = mode;
    track.file = CurrentFile();
    sheet_.tracks.push_back(std::move(track));
}

void CueParser::Index(std::string_view rest) {
    CueSheet::Track* track = Current();
    std::int64_t number = 0;
    const bool numbered = ParseNumber(TakeWord(rest), number);
    const std::int64_t frames = ParseTime(Trimmed(rest));
    if (!track || !numbered || frames < 0) Bad();
    if (!track || !numbered) return;
    if (CurrentFile() != track->file) Bad();  // an index in a later file
    if (number == 0) {
        track->index0 = frames;
        track->index0File = CurrentFile();
    } else if (number == 1) {
        track->index1 = frames;
        track->index1File = CurrentFile();
        track->index1Line = line_;
    }
}

void CueParser::Gap(std::int64_t CueSheet::Track::*gap, std::string_view rest) {
    CueSheet::Track* track = Current();
    if (!track) return;
    const std::int64_t frames = ParseTime(Trimmed(rest));
    if (frames < 0) Bad();
    else track->*gap = frames;
}

void CueParser::Rem(std::string_view rest) {
    const std::string what = Upper(TakeWord(rest));
    if (what == "DATE") sheet_.date = Value(rest);
    else if (what == "GENRE" && sheet_.discText.genre.empty()) sheet_.discText.genre = Value(rest);
    else if (what == "DISCID") sheet_.discId = Value(rest);
    else if (what == "COMMENT") sheet_.comment = Value(rest);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    }
    return lines;
}

}  // namespace

bool CueSheet::OverRawSectors() const {
    return !files.empty() && std::all_of(files.begin(), files.end(), [](const File& file) {
        return file.type == "BINARY" || file.type == "MOTOROLA";
    });
}

CueSheet ParseCueSheet(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    const std::string utf8 = SheetTextToUtf8(std::string(bytes));
    const std::vector<std::string_view> raw = Lines(bytes);
    const std::vector<std::string_view> text = Lines(utf8);
    CueParser parser;
    // Windows-1252 never turns a byte into a line break, so the two keep line for line.
    for (std::size_t i = 0; i < raw.size() && i < text.size(); ++i)
        parser.Line(raw[i], text[i], static_cast<int>(i) + 1);
    return parser.Take();
}

}  // namespace tessival
