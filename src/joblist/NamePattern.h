#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "joblist/NameCleaning.h"

namespace tessival {

// What a naming pattern's fields stand for, for one source: its tags as they were read, its base
// name and its folder relative to the folder it was found under.
struct NameFields {
    std::string artist;
    std::string albumArtist;
    std::string album;
    std::string title;
    std::string track;  // "3" or "3/12"
    std::string disc;
    std::string date;  // "2001" or "2001-05-03"
    std::string genre;
    std::string source;  // base name without its extension
    std::string dir;     // "Artist/Album", empty for a file named itself
};

// A destination below the destination root: its folders, outermost first, and the file name
// without its extension.
struct NamedPath {
    std::vector<std::string> folders;
    std::string name;
};

// A pattern such as "{albumartist}/{album}/{track:02} - {title}". Fields: artist, albumartist
// (else artist), album, title (else the source's name), track, disc, date (its year), genre,
// source, dir. "{track:02}" pads a number with zeros to two digits, "{a|b}" takes the first field
// that is not empty, "/" makes folders. Tag values never make folders (see CleanNameValue);
// folders that come out empty are left out, and an empty name is the source's.
class NamePattern {
public:
    // The pattern, or none with the reason in problem (an unknown field, a "{" never closed, a
    // format other than ":0N").
    static std::optional<NamePattern> Parse(std::string_view text, std::string& problem);

    NamedPath Expand(const NameFields& fields, NameCharset charset) const;

private:
    enum class Field { Artist, AlbumArtist, Album, Title, Track, Disc, Date, Genre, Source, Dir };
    struct Choice {
        Field field;
        int width;  // zero padding of a number, 0 for none
    };
    struct Piece {
        std::string literal;          // text as it stands, when choices is empty
        std::vector<Choice> choices;  // a placeholder's fields, first that is not empty wins
    };

    static bool ParsePlaceholder(std::string_view text, Piece& piece, std::string& problem);
    static std::string Value(const Choice& choice, const NameFields& fields, NameCharset charset);

    std::vector<Piece> pieces_;
};

}  // namespace tessival
