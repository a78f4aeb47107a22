#include "engine/sources/SourceAdding.h"

#include <algorithm>
#include <filesystem>

#include "joblist/AlbumTracks.h"
#include "joblist/DiscItems.h"
#include "joblist/ItemFactory.h"
#include "joblist/ItemTypes.h"
#include "joblist/ListFile.h"
#include "platform/media/MediaProbe.h"

namespace tessival {

bool IsMediaFile(const std::string& path) {
    const ConvertItem item = MakeSingleFileItem(path);
    return !IsUnknownSourceType(item) || media::HasAudioStream(path);
}

std::vector<std::string> MediaFilesBelow(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, options, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        // Hidden entries are the desktop's and the tools' own (.thumbnails, .DS_Store, ._song.flac).
        if (it->path().filename().string().starts_with('.')) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string path = it->path().string();
        if (it->is_regular_file(error) && !IsListFile(path) && IsMediaFile(path)) found.push_back(path);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<ConvertItem> ExpandChosenSources(const std::vector<ConvertItem>& chosen,
                                             std::vector<DiscProblem>& problems) {
    return ExpandDiscImages(ExpandAlbumTracks(chosen, problems, media::ProbeMediaDuration), problems);
}

std::string ExtendedMediaFilter(const std::string& original, const std::string& addedEntryName) {
    // "name|patterns|name|patterns||..." : the first entry ends at the second bar.
    const auto firstBar = original.find('|');
    const auto secondBar = firstBar == std::string::npos ? firstBar : original.find('|', firstBar + 1);
    if (secondBar == std::string::npos || secondBar == firstBar + 1) return original;
    std::string patterns;
    for (std::string_view extension : AddedSourceExtensions()) {
        if (!patterns.empty()) patterns += ';';
        patterns += "*." + std::string(extension);
    }
    return original.substr(0, secondBar) + ";" + patterns + "|" + addedEntryName + "|" + patterns +
           original.substr(secondBar);
}

}  // namespace tessival
