#pragma once

#include "platform/io/TrackPath.h"
#include "platform/media/MediaTags.h"

namespace tessival {

// The tags of a track cut from a cue album: what the sheet beside its file says of the track
// (TITLE, PERFORMER, SONGWRITER, ISRC) and of the album (TITLE, PERFORMER, REM DATE, GENRE,
// COMMENT), its number out of the album's last, over the album file's own tags (`fileTags`): the
// sheet wins where both say something. A file that holds several tracks gives none of them its
// own title or number. A location that is no such track keeps `fileTags`.
media::MediaTags WithAlbumTrackTags(const SourceLocation& location, media::MediaTags fileTags);

}  // namespace tessival
