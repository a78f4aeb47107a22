#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessival {

// A disc as the freedb/CDDB database knows it (gnudb.org keeps it today): album, artist, year,
// genre and the title of each track in the disc's order, "Artist / Title" split on a
// compilation.
struct CddbEntry {
    struct Track {
        std::string title;
        std::string artist;  // empty: the album's
    };
    std::string album;
    std::string albumArtist;
    std::string date;
    std::string genre;
    std::vector<Track> tracks;

    // What a query names the disc by: its freedb id, each track's start in CD frames from the
    // disc's start (the 2 s lead-in included) and the disc's length in whole seconds.
    struct Query {
        std::uint32_t discId = 0;
        std::vector<std::int32_t> offsets;
        std::int32_t seconds = 0;
    };

    // From an xmcd entry (DTITLE, DYEAR, DGENRE, TTITLEn; a field over several lines is joined),
    // with or without the "210 ..." status line and the closing "."; nullopt without a DTITLE.
    static std::optional<CddbEntry> Parse(const std::string& xmcd);
    // The category and id of the first exact match in the answer to "cddb query" (200, or the
    // list after 210); nullopt for no match (202) and for inexact ones (211), which may name
    // another disc.
    static std::optional<std::pair<std::string, std::string>> ExactMatch(const std::string& answer);

    // Asks the CDDB service over HTTP at `baseUrl` (…/~cddb/cddb.cgi, protocol 6: UTF-8) for the
    // disc: a query, then a read of its first exact match. Once a process per disc; any thread.
    static std::optional<CddbEntry> LookUp(const std::string& baseUrl, const Query& query);
};

}  // namespace tessival
