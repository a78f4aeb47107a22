#include "joblist/NamePattern.h"

#include <algorithm>
#include <array>

namespace tessival {
namespace {

struct FieldName {
    std::string_view name;
    int field;
};

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "3/12" is track 3 of 12.
std::string NumberPart(const std::string& value) {
    return std::string(Trimmed(std::string_view(value).substr(0, value.find('/'))));
}

// The first run of four digits ("2001-05-03", "May 2001"), else the text as it is.
std::string YearOf(const std::string& date) {
    for (std::size_t i = 0; i + 4 <= date.size(); ++i) {
        if (IsDigits(std::string_view(date).substr(i, 4))) return date.substr(i, 4);
    }
    return date;
}

std::string Padded(std::string value, int width) {
    if (IsDigits(value) && static_cast<int>(value.size()) < width)
        value.insert(0, static_cast<std::size_t>(width) - value.size(), '0');
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

std::optional<NamePattern> NamePattern::Parse(std::string_view text, std::string& problem) {
    NamePattern pattern;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('{', at);
        if (open != at) {
            pattern.pieces_.push_back({std::string(text.substr(at, open - at)), {}});
            if (open == std::string_view::npos) break;
        }
        const std::size_t close = text.find('}', open);
        if (close == std::string_view::npos) {
            problem = "the name pattern has a \"{\" that is never closed";
            return std::nullopt;
        }
        Piece piece;
        if (!ParsePlaceholder(text.substr(open + 1, close - open - 1), piece, problem)) return std::nullopt;
        pattern.pieces_.push_back(std::move(piece));
        at = close + 1;
    }
    return pattern;
}

bool NamePattern::ParsePlaceholder(std::string_view text, Piece& piece, std::string& problem) {
    static constexpr std::array<FieldName, 10> kFields = {{{"artist", int(Field::Artist)},
                                                           {"albumartist", int(Field::AlbumArtist)},
                                                           {"album", int(Field::Album)},
                                                           {"title", int(Field::Title)},
                                                           {"track", int(Field::Track)},
                                                           {"disc", int(Field::Disc)},
                                                           {"date", int(Field::Date)},
                                                           {"genre", int(Field::Genre)},
                                                           {"source", int(Field::Source)},
                                                           {"dir", int(Field::Dir)}}};
    for (std::string_view choice : Split(text, '|')) {
        const std::size_t colon = choice.find(':');
        const std::string_view name = Trimmed(choice.substr(0, colon));
        const std::string_view format = colon == std::string_view::npos ? "" : choice.substr(colon + 1);
        int width = 0;
        if (!format.empty()) {
            if (format.size() > 2 || format[0] != '0' || !IsDigits(format)) {
                problem = "the name pattern's {" + std::string(text) + "} has a format other than :0N (as {track:02})";
                return false;
            }
            width = format[1] - '0';
        }
        const auto known = std::find_if(kFields.begin(), kFields.end(), [&](const FieldName& f) { return f.name == name; });
        if (known == kFields.end()) {
            problem = "the name pattern has no field \"" + std::string(name) +
                      "\" (fields: artist, albumartist, album, title, track, disc, date, genre, source, dir)";
            return false;
        }
        piece.choices.push_back({static_cast<Field>(known->field), width});
    }
    return true;
}

std::string NamePattern::Value(const Choice& choice, const NameFields& fields, NameCharset charset) {
    const auto clean = [charset](const std::string& value) { return CleanNameValue(value, charset); };
    // A value that cleans away to nothing ("..") falls back as a missing one does.
    const auto either = [&clean](const std::string& value, const std::string& fallback) {
        std::string cleaned = clean(value);
        return cleaned.empty() ? clean(fallback) : cleaned;
    };
    switch (choice.field) {
        case Field::Artist: return clean(fields.artist);
        case Field::AlbumArtist: return either(fields.albumArtist, fields.artist);
        case Field::Album: return clean(fields.album);
        case Field::Title: return either(fields.title, fields.source);
        case Field::Track: return Padded(clean(NumberPart(fields.track)), choice.width);
        case Field::Disc: return Padded(clean(NumberPart(fields.disc)), choice.width);
        case Field::Date: return Padded(clean(YearOf(fields.date)), choice.width);
        case Field::Genre: return clean(fields.genre);
        case Field::Source: return clean(fields.source);
        case Field::Dir: {
            // The only field whose "/" are folders: they are the source's own.
            std::string dir;
            for (std::string_view folder : Split(fields.dir, '/')) dir += (dir.empty() ? "" : "/") + clean(std::string(folder));
            return dir;
        }
    }
    return {};
}

NamedPath NamePattern::Expand(const NameFields& fields, NameCharset charset) const {
    std::string text;
    for (const Piece& piece : pieces_) {
        if (piece.choices.empty()) text += piece.literal;
        for (const Choice& choice : piece.choices) {
            if (std::string value = Value(choice, fields, charset); !value.empty()) {
                text += value;
                break;
            }
        }
    }
    NamedPath path;
    const std::vector<std::string_view> parts = Split(text, '/');
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (std::string folder = TrimNameComponent(parts[i]); !folder.empty()) path.folders.push_back(std::move(folder));
    }
    path.name = TrimNameComponent(parts.back());
    if (path.name.empty()) path.name = CleanNameValue(fields.source, charset);
    return path;
}

}  // namespace tessival
