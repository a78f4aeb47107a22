#include "engine/sources/SourceNaming.h"

#include <strings.h>

#include "engine/conversion/Preflight.h"
#include "engine/sources/AlbumTrackTags.h"
#include "engine/sources/FlacComments.h"
#include "joblist/DestNaming.h"
#include "joblist/DestinationClashes.h"
#include "joblist/ItemChecks.h"
#include "joblist/SourceKind.h"
#include "joblist/TextField.h"
#include "platform/io/TrackPath.h"
#include "platform/media/MediaTags.h"
#include "platform/media/filters/sources/CdTrackSource.h"

namespace tessival {
namespace {

media::MediaTags TagsOf(const ConvertItem& item) {
    const std::string path = ReadField(item.sourcePath);
    switch (SourceKindOf(item)) {
        case SourceKind::File: {
            const SourceLocation location = LocateSource(path);
            auto flac = ReadFlacComments(location.file);
            return WithAlbumTrackTags(location, flac ? std::move(*flac) : media::ReadMediaTags(location.file));
        }
        case SourceKind::CdTrack: return media::CdTrackSource::ReadTags(path);
        case SourceKind::Capture: break;
    }
    return {};
}

// The source's name without its extension.
std::string BaseName(const ConvertItem& item) {
    std::string name = ReadField(item.sourceName);
    const std::string extension = ReadField(item.sourceExt);
    if (!extension.empty() && name.size() > extension.size() &&
        name[name.size() - extension.size() - 1] == '.' &&
        strcasecmp(name.c_str() + name.size() - extension.size(), extension.c_str()) == 0)
        name.resize(name.size() - extension.size() - 1);
    return name;
}

std::string RelativeFolder(const std::string& path, const std::string& foundUnder) {
    if (foundUnder.empty()) return {};
    const std::string folder = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
    const std::string prefix = foundUnder == "/" ? "/" : foundUnder + "/";
    return folder.starts_with(prefix) ? folder.substr(prefix.size()) : std::string();
}

}  // namespace

NameFields NameFieldsOf(const ConvertItem& item, const std::string& foundUnder) {
    const media::MediaTags tags = TagsOf(item);
    NameFields fields;
    fields.artist = tags.Get("artist");
    fields.albumArtist = tags.Get("album_artist");
    fields.album = tags.Get("album");
    fields.title = tags.Get("title");
    fields.track = tags.Get("track");
    fields.disc = tags.Get("disc");
    fields.date = tags.Get("date");
    fields.genre = tags.Get("genre");
    fields.source = BaseName(item);
    fields.dir = RelativeFolder(LocateSource(ReadField(item.sourcePath)).file, foundUnder);
    return fields;
}

bool NameDestination(ConvertItem& item, const NamePattern& pattern, NameCharset charset, const std::string& root,
                     const std::string& foundUnder) {
    const NamedPath path = pattern.Expand(NameFieldsOf(item, foundUnder), charset);
    // Without a dest type the name has no extension yet; choosing a type gives it one.
    const bool typed = FieldLength(item.destType) > 0 && !IsDestTypeUnspecified(item);
    const std::string dotExtension = typed ? "." + DestTypeExtension(FieldView(item.destType)) : std::string();
    return WriteNamedDestination(item, root.empty() ? ReadField(item.destPath) : root, path, dotExtension);
}

bool NameNewItems(ItemList& items, std::size_t first, const std::vector<std::string>& foundUnder,
                  const NamingChoice& naming, std::string& problem) {
    for (std::size_t i = first; i < items.Count(); ++i) {
        ConvertItem& item = *items.At(static_cast<std::ptrdiff_t>(i));
        const std::string& folder = i - first < foundUnder.size() ? foundUnder[i - first] : std::string();
        if (!NameDestination(item, naming.pattern, naming.charset, naming.root, folder)) {
            problem = "the named destination of " + ReadField(item.sourcePath) + " is longer than " +
                      std::to_string(sizeof(item.destPath) - 1) + " bytes";
            return false;
        }
    }
    if (naming.numberClashes) {
        NumberClashingItems(items, first);
        return true;
    }
    const std::vector<int> clashes = FindDestinationClashes(items);
    for (std::size_t i = first; i < clashes.size(); ++i) {
        if (clashes[i] < 0) continue;
        const ConvertItem& item = *items.At(static_cast<std::ptrdiff_t>(i));
        problem = ReadField(item.sourcePath) + " would write the same file as row " + std::to_string(clashes[i] + 1) +
                  ": " + DestinationFileName(item);
        return false;
    }
    return true;
}

}  // namespace tessival
