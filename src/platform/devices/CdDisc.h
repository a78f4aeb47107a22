#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/devices/DiscLayout.h"
#include "platform/devices/DiscProblem.h"

typedef struct _CdIo CdIo_t;

namespace tessival {

// One track of a disc's table of contents; sectors are logical sector numbers, 588 stereo
// frames of 16-bit samples each for audio.
struct DiscTrack {
    int number = 0;
    bool audio = false;
    std::int32_t firstSector = 0;
    std::int32_t lastSector = 0;  // inclusive

    std::int32_t SectorCount() const { return lastSector - firstSector + 1; }
};

// What a disc's CD-Text says about one of its tracks and about the whole disc; empty where it says
// nothing (or has no CD-Text).
struct DiscTrackText {
    std::string title;
    std::string performer;
    std::string albumTitle;
    std::string albumPerformer;
    std::string genre;
    std::string date;  // a cue sheet's REM DATE
};

// A disc: the disc in a drive (device node) or a Nero image, opened through libcdio, or a cue sheet
// or toc image, read from its own layout. Holds its table of contents; the handle lives as long as
// the object.
class CdDisc {
public:
    static constexpr int kFramesPerSector = 588;
    static constexpr int kBytesPerSector = 2352;
    static constexpr int kSectorsPerSecond = 75;

    // Null with the reason filled in when the source holds no readable disc.
    static std::unique_ptr<CdDisc> Open(const std::string& source, DiscProblem& problem);
    ~CdDisc();
    CdDisc(const CdDisc&) = delete;
    CdDisc& operator=(const CdDisc&) = delete;

    const std::string& Source() const { return source_; }
    // Every track, data tracks included, in disc order.
    const std::vector<DiscTrack>& Tracks() const { return tracks_; }
    std::vector<DiscTrack> AudioTracks() const;
    // The audio track of that number, or null.
    const DiscTrack* FindAudioTrack(int number) const;
    // The CD-Text of the track of that number (a cue sheet's TITLE, PERFORMER and GENRE lines for an image).
    DiscTrackText TrackText(int number) const;
    // The first sector past what the medium holds. Tracks of a cut-short image reach past it.
    std::int32_t ReadableEnd() const { return readableEnd_; }
    // The lead-out: the first sector past the last track.
    std::int32_t LeadOut() const { return leadOut_; }
    // A drive's or Nero image's handle; null for a cue sheet or toc image.
    CdIo_t* Handle() const { return handle_; }
    // What a cue sheet or toc image says of the disc; null for drives and Nero images.
    const DiscLayout* Layout() const { return layout_.get(); }
    // What keeps the track of that number from being read before reading starts: no sectors, or
    // none that the image holds.
    DiscProblem TrackProblem(const DiscTrack& track) const;

private:
    CdDisc(std::string source, CdIo_t* handle);
    bool ReadToc();
    void TakeLayout(std::unique_ptr<DiscLayout> layout);

    std::string source_;
    CdIo_t* handle_ = nullptr;
    std::unique_ptr<DiscLayout> layout_;
    std::int32_t leadOut_ = 0;
    std::vector<DiscTrack> tracks_;
    std::int32_t readableEnd_ = 0;
};

// libcdio warns on stderr about every odd image or absent drive; failures reach callers as
// results instead. Called before the first use of libcdio.
void SilenceLibcdio();

}  // namespace tessival
