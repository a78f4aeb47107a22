#include "platform/devices/TocFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/io/FileExtension.h"

namespace tessival {
namespace {

constexpr std::int64_t kFrameBytes = 4;  // one stereo 16-bit sample frame

struct Token {
    enum class Kind { Word, Text, Open, Close, End } kind = Kind::End;
    std::string value;
};

// Splits a toc file into words, quoted texts (with their \" \\ and octal escapes) and braces;
// "//" starts a comment.
class TocTokens {
public:
    explicit TocTokens(std::string text) : text_(std::move(text)) {}

    Token Next() {
        SkipSpace();
        Token token;
        if (at_ >= text_.size()) return token;
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            token.kind = c == '{' ? Token::Kind::Open : Token::Kind::Close;
        } else if (c == '"') {
            ++at_;
            token.kind = Token::Kind::Text;
            token.value = QuotedText();
        } else {
            token.kind = Token::Kind::Word;
            while (at_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[at_])) &&
                   !std::strchr("{}\"", text_[at_]))
                token.value += text_[at_++];
        }
        return token;
    }
    Token Peek() {
        const std::size_t at = at_;
        Token token = Next();
        at_ = at;
        return token;
    }

private:
    void SkipSpace() {
        for (;;) {
            while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
            if (text_.compare(at_, 2, "//") != 0) return;
            at_ = text_.find('\n', at_);
            if (at_ == std::string::npos) at_ = text_.size();
        }
    }
    std::string QuotedText() {
        std::string value;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\' && at_ < text_.size()) {
                if (std::isdigit(static_cast<unsigned char>(text_[at_]))) {
                    int code = 0;
                    for (int i = 0; i < 3 && at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '7'; ++i)
                        code = code * 8 + (text_[at_++] - '0');
                    c = static_cast<char>(code);
                } else {
                    c = text_[at_++];
                }
            }
            value += c;
        }
        ++at_;
        return value;
    }

    std::string text_;
    std::size_t at_ = 0;
};

std::int64_t SectorBytesOfMode(const std::string& mode) {
    if (mode == "AUDIO" || mode == "MODE1_RAW" || mode == "MODE2_RAW") return 2352;
    if (mode == "MODE1" || mode == "MODE2_FORM1") return 2048;
    if (mode == "MODE2" || mode == "MODE2_FORM_MIX") return 2336;
    if (mode == "MODE2_FORM2") return 2324;
    return 0;
}

// "mm:ss:ff" in sectors times `unitsPerSector`, or a plain count of units; -1 when malformed.
std::int64_t Length(const std::string& text, std::int64_t unitsPerSector) {
    int m = 0, s = 0, f = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d%c", &m, &s, &f, &end) == 3 && m >= 0 && s >= 0 && s < 60 && f >= 0 &&
        f < 75)
        return ((static_cast<std::int64_t>(m) * 60 + s) * 75 + f) * unitsPerSector;
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (text.empty() || !std::all_of(text.begin(), text.end(), digit)) return -1;
    return std::stoll(text);
}

bool IsWaveName(const std::string& name) { return LowerExtension(name) == ".wav"; }

// Where a RIFF WAVE file's samples start, or -1.
std::int64_t WaveDataOffset(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char header[12];
    if (!file.read(header, 12) || std::memcmp(header, "RIFF", 4) || std::memcmp(header + 8, "WAVE", 4)) return -1;
    std::int64_t at = 12;
    char chunk[8];
    while (file.read(chunk, 8)) {
        const std::uint32_t size = static_cast<std::uint8_t>(chunk[4]) | static_cast<std::uint8_t>(chunk[5]) << 8 |
                                   static_cast<std::uint8_t>(chunk[6]) << 16 |
                                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(chunk[7])) << 24;
        at += 8;
        if (!std::memcmp(chunk, "data", 4)) return at;
        at += size + (size & 1);
        file.seekg(at);
    }
    return -1;
}

class TocReader {
public:
    TocReader(const std::string& path, DiscLayout& layout, DiscProblem& problem, std::string text)
        : folder_(std::filesystem::path(path).parent_path()), layout_(layout), problem_(problem),
          tokens_(std::move(text)) {}

    bool Read();

private:
    bool Bad() {
        if (!problem_) problem_.kind = DiscProblem::Kind::BadImage;
        return false;
    }
    bool Statement(const std::string& word);
    bool CdText(DiscLayout::Text& text);
    bool SkipBlock();
    bool AudioFile();
    bool DataFile();
    bool Gap(std::int64_t bytes, int file);
    int AddFile(const std::string& name);
    std::string Word() {
        const Token token = tokens_.Next();
        return token.kind == Token::Kind::Word || token.kind == Token::Kind::Text ? token.value : std::string();
    }
    bool NextIsWord(const char* word) {
        const Token token = tokens_.Peek();
        return token.kind == Token::Kind::Word && token.value == word;
    }
    void FinishTrack();

    std::filesystem::path folder_;
    DiscLayout& layout_;
    DiscProblem& problem_;
    TocTokens tokens_;
    std::vector<std::int64_t> fileSizes_;
    std::int64_t position_ = 0;  // disc bytes laid out so far
    std::int64_t trackBegin_ = 0;
    std::int64_t sectorBytes_ = DiscLayout::kSectorBytes;
    std::int64_t index1_ = -1;
};

int TocReader::AddFile(const std::string& name) {
    for (std::size_t i = 0; i < layout_.files.size(); ++i)
        if (layout_.files[i].name == name) return static_cast<int>(i);
    DiscLayout::File file;
    file.name = name;
    file.path = std::filesystem::path(name).is_absolute() ? name : (folder_ / name).string();
    problem_ = CheckImageFile(file.path, name);
    if (problem_) return -1;
    std::error_code error;
    fileSizes_.push_back(static_cast<std::int64_t>(std::filesystem::file_size(file.path, error)));
    layout_.files.push_back(std::move(file));
    return static_cast<int>(layout_.files.size()) - 1;
}

bool TocReader::Gap(std::int64_t bytes, int file) {
    if (bytes < 0) return Bad();
    if (bytes > 0) layout_.segments.push_back({position_, bytes, file, 0, false});
    position_ += bytes;
    return true;
}

bool TocReader::AudioFile() {
    const std::string name = Word();
    if (name.empty() || layout_.tracks.empty()) return Bad();
    const int file = AddFile(name);
    if (file < 0) return false;
    // Raw audio is big-endian unless SWAP says otherwise; WAVE files are little-endian.
    const bool wave = IsWaveName(name);
    bool swap = false;
    if (NextIsWord("SWAP")) {
        tokens_.Next();
        swap = true;
    }
    std::int64_t offset = wave ? WaveDataOffset(layout_.files[file].path) : 0;
    if (offset < 0) return Bad();
    if (tokens_.Peek().value.rfind('#', 0) == 0) offset += Length(Word().substr(1), 1);
    const std::int64_t start = Length(Word(), 588) * kFrameBytes;
    if (start < 0) return Bad();
    const Token next = tokens_.Peek();
    std::int64_t length = -1;
    if (next.kind == Token::Kind::Word && (std::isdigit(static_cast<unsigned char>(next.value[0])))) {
        length = Length(Word(), 588) * kFrameBytes;
        if (length < 0) return Bad();
    } else {
        length = std::max<std::int64_t>(0, fileSizes_[file] - offset - start) / kFrameBytes * kFrameBytes;
    }
    if (length > 0)
        layout_.segments.push_back(
            {position_, length, layout_.tracks.back().audio ? file : DiscLayout::Segment::kData, offset + start,
             wave ? swap : !swap});
    position_ += length;
    return true;
}

bool TocReader::DataFile() {
    const std::string name = Word();
    if (name.empty() || layout_.tracks.empty()) return Bad();
    const int file = AddFile(name);
    if (file < 0) return false;
    std::int64_t offset = 0;
    if (tokens_.Peek().value.rfind('#', 0) == 0) offset = Length(Word().substr(1), 1);
    const Token next = tokens_.Peek();
    std::int64_t bytes = std::max<std::int64_t>(0, fileSizes_[file] - offset);
    if (next.kind == Token::Kind::Word && std::isdigit(static_cast<unsigned char>(next.value[0])))
        bytes = Length(Word(), sectorBytes_);
    if (bytes < 0) return Bad();
    return Gap((bytes + sectorBytes_ - 1) / sectorBytes_ * DiscLayout::kSectorBytes, DiscLayout::Segment::kData);
}

bool TocReader::SkipBlock() {
    if (tokens_.Next().kind != Token::Kind::Open) return Bad();
    for (int depth = 1; depth > 0;) {
        const Token token = tokens_.Next();
        if (token.kind == Token::Kind::End) return Bad();
        depth += token.kind == Token::Kind::Open ? 1 : token.kind == Token::Kind::Close ? -1 : 0;
    }
    return true;
}

// CD_TEXT { LANGUAGE_MAP { ... } LANGUAGE n { FIELD "text" ... } ... }: the first language's texts.
bool TocReader::CdText(DiscLayout::Text& text) {
    if (tokens_.Next().kind != Token::Kind::Open) return Bad();
    bool first = true;
    for (Token token = tokens_.Next(); token.kind != Token::Kind::Close; token = tokens_.Next()) {
        if (token.kind == Token::Kind::End) return Bad();
        if (token.value == "LANGUAGE_MAP") {
            if (!SkipBlock()) return false;
            continue;
        }
        if (token.value != "LANGUAGE") return Bad();
        tokens_.Next();  // its number
        if (!first) {
            if (!SkipBlock()) return false;
            continue;
        }
        first = false;
        if (tokens_.Next().kind != Token::Kind::Open) return Bad();
        for (Token field = tokens_.Next(); field.kind != Token::Kind::Close; field = tokens_.Next()) {
            if (field.kind != Token::Kind::Word) return Bad();
            if (tokens_.Peek().kind == Token::Kind::Open) {  // binary data such as GENRE
                if (!SkipBlock()) return false;
                continue;
            }
            const std::string value = SheetTextToUtf8(Word());
            if (field.value == "TITLE") text.title = value;
            else if (field.value == "PERFORMER") text.performer = value;
            else if (field.value == "SONGWRITER") text.songwriter = value;
        }
    }
    return true;
}

void TocReader::FinishTrack() {
    if (layout_.tracks.empty()) return;
    layout_.tracks.back().firstSector =
        static_cast<std::int32_t>((index1_ >= 0 ? index1_ : trackBegin_) / DiscLayout::kSectorBytes);
}

bool TocReader::Statement(const std::string& word) {
    if (word == "CD_DA" || word == "CD_ROM" || word == "CD_ROM_XA" || word == "CD_I" || word == "COPY" ||
        word == "PRE_EMPHASIS" || word == "TWO_CHANNEL_AUDIO" || word == "FOUR_CHANNEL_AUDIO")
        return true;
    if (word == "NO") return !Word().empty();
    if (word == "CATALOG") return !(layout_.catalog = Word()).empty();
    if (word == "ISRC") return !layout_.tracks.empty() && !(layout_.tracks.back().isrc = Word()).empty();
    if (word == "CD_TEXT") return CdText(layout_.tracks.empty() ? layout_.discText : layout_.tracks.back().text);
    if (word == "TRACK") {
        FinishTrack();
        const std::string mode = Word();
        sectorBytes_ = SectorBytesOfMode(mode);
        if (!sectorBytes_ || layout_.tracks.size() >= 99) return Bad();
        if (NextIsWord("RW") || NextIsWord("RW_RAW")) tokens_.Next();
        DiscLayout::Track track;
        track.number = static_cast<int>(layout_.tracks.size()) + 1;
        track.audio = mode == "AUDIO";
        layout_.tracks.push_back(track);
        trackBegin_ = position_;
        index1_ = -1;
        return true;
    }
    if (layout_.tracks.empty()) return Bad();
    if (word == "SILENCE") return Gap(Length(Word(), 588) * kFrameBytes, DiscLayout::Segment::kSilence);
    if (word == "ZERO") {
        std::string length = Word();
        while (!length.empty() && !std::isdigit(static_cast<unsigned char>(length[0]))) length = Word();
        return Gap(Length(length, 588) * kFrameBytes, DiscLayout::Segment::kSilence);
    }
    if (word == "FILE" || word == "AUDIOFILE") return AudioFile();
    if (word == "DATAFILE") return DataFile();
    if (word == "PREGAP") {
        const std::int64_t bytes = Length(Word(), 588) * kFrameBytes;
        if (!Gap(bytes, DiscLayout::Segment::kSilence)) return false;
        index1_ = trackBegin_ + bytes;
        return true;
    }
    if (word == "START") {
        const Token next = tokens_.Peek();
        index1_ = position_;
        if (next.kind == Token::Kind::Word && std::isdigit(static_cast<unsigned char>(next.value[0])))
            index1_ = trackBegin_ + Length(Word(), 588) * kFrameBytes;
        return index1_ >= trackBegin_ || Bad();
    }
    if (word == "INDEX") return !Word().empty();
    return Bad();
}

bool TocReader::Read() {
    for (Token token = tokens_.Next(); token.kind != Token::Kind::End; token = tokens_.Next())
        if (token.kind != Token::Kind::Word || !Statement(token.value)) return Bad();
    FinishTrack();
    if (layout_.tracks.empty()) return Bad();
    const std::int32_t end = layout_.EndSector();
    for (std::size_t i = 0; i < layout_.tracks.size(); ++i)
        layout_.tracks[i].lastSector = (i + 1 < layout_.tracks.size() ? layout_.tracks[i + 1].firstSector : end) - 1;
    return true;
}

}  // namespace

bool ReadTocFile(const std::string& path, DiscLayout& layout, DiscProblem& problem) {
    layout = DiscLayout{};
    std::string bytes;
    problem = ReadSheetFile(path, bytes);
    if (problem) return false;
    TocReader reader(path, layout, problem, std::move(bytes));
    const bool ok = reader.Read();
    problem.source = path;
    return ok;
}

}  // namespace tessival
