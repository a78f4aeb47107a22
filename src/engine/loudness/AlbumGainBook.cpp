#include "engine/loudness/AlbumGainBook.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/conversion/Preflight.h"
#include "engine/loudness/GainTagWriter.h"
#include "joblist/TextField.h"
#include "platform/media/MediaTags.h"
#include "platform/media/filters/analysis/FileLoudness.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

AlbumGainBook& AlbumGainBook::Shared() {
    static AlbumGainBook book;
    return book;
}

void AlbumGainBook::Plan(const ItemList& items, const std::atomic<bool>& stopped) {
    std::map<std::string, std::string> albumOf;
    std::map<std::string, std::unique_ptr<Album>> albums;
    // The tags are read unlocked: the book is not consulted before the plan is in.
    for (std::size_t i = 0; i < items.Count() && !stopped; ++i) {
        const ConvertItem& item = *items.At(static_cast<std::ptrdiff_t>(i));
        const std::string album = media::ReadMediaTags(ReadField(item.sourcePath)).Get("album");
        const std::string key = ReadField(item.destPath) + '\n' + album;
        albumOf[DestinationFileName(item)] = key;
        auto& entry = albums[key];
        if (!entry) entry = std::make_unique<Album>();
        ++entry->pending;
    }
    std::lock_guard lock(mutex_);
    if (stopped) {
        albumOf_.clear();
        albums_.clear();
        return;
    }
    albumOf_ = std::move(albumOf);
    albums_ = std::move(albums);
}

AlbumGainBook::Album* AlbumGainBook::AlbumOf(const std::string& output) {
    const auto of = albumOf_.find(output);
    if (of == albumOf_.end()) return nullptr;
    const auto album = albums_.find(of->second);
    return album == albums_.end() ? nullptr : album->second.get();
}

std::unique_ptr<AlbumGainBook::Album> AlbumGainBook::EndItem(const std::string& output) {
    const auto of = albumOf_.find(output);
    if (of == albumOf_.end()) return nullptr;
    const auto album = albums_.find(of->second);
    albumOf_.erase(of);
    if (album == albums_.end() || --album->second->pending > 0) return nullptr;
    std::unique_ptr<Album> ended = std::move(album->second);
    albums_.erase(album);
    // An album that lacks a track would get gains its player never hears whole: its outputs keep
    // their track tags only.
    return ended->whole ? std::move(ended) : nullptr;
}

int AlbumGainBook::ItemConverted(const std::string& output, std::shared_ptr<const media::LoudnessMeter> heard,
                                 const std::atomic<bool>& stop) {
    // The album's last item writes the album's tags, its own track's among them: one rewrite.
    // Any other has its track's tags in before the album lists it, so that the album's rewrite,
    // from whichever thread ends the album, never races this one.
    int error = 0;
    if (!EndsAlbum(output)) error = WriteGainTags(output, heard->Reading(), nullptr);
    std::unique_ptr<Album> ended;
    {
        std::lock_guard lock(mutex_);
        if (Album* album = AlbumOf(output)) {
            if (error == 0) album->outputs.emplace_back(output, std::move(heard));
            // Types without gain tags (WAVE) lack nothing; a failed write leaves a track out.
            if (error != 0 && error != ENOTSUP) album->whole = false;
        }
        ended = EndItem(output);
    }
    if (ended) TagAlbum(*ended, stop);
    return error;
}

void AlbumGainBook::ItemKept(const std::string& output, const std::atomic<bool>& stop) {
    std::unique_ptr<Album> ended;
    {
        std::lock_guard lock(mutex_);
        if (Album* album = AlbumOf(output)) album->kept.push_back(output);
        ended = EndItem(output);
    }
    if (ended) TagAlbum(*ended, stop);
}

bool AlbumGainBook::EndsAlbum(const std::string& output) {
    std::lock_guard lock(mutex_);
    const Album* album = AlbumOf(output);
    // With kept outputs still to measure, the album might not get its tags: this track gets its
    // own first.
    return album && album->whole && album->pending == 1 && album->kept.empty();
}

void AlbumGainBook::ItemFailed(const std::string& output) {
    std::lock_guard lock(mutex_);
    if (Album* album = AlbumOf(output)) album->whole = false;
    EndItem(output);
}

void AlbumGainBook::FinishAll() {
    std::lock_guard lock(mutex_);
    albums_.clear();
    albumOf_.clear();
}

void AlbumGainBook::TagAlbum(Album& album, const std::atomic<bool>& stop) {
    // An album none of whose tracks changed keeps the tags it has.
    if (album.outputs.empty() || !MeasureKept(album, stop)) return;
    std::vector<const media::LoudnessMeter*> meters;
    for (const auto& [output, meter] : album.outputs) meters.push_back(meter.get());
    const media::LoudnessReading reading = media::LoudnessMeter::Combined(meters);
    for (const auto& [output, meter] : album.outputs) {
        // Types that carry no gain tags (WAVE) have none to lack.
        if (const int error = WriteGainTags(output, meter->Reading(), &reading); error != 0 && error != ENOTSUP) {
            std::lock_guard lock(mutex_);
            failures_.push_back(LoadString(IDS_ALBUM_TAGS_FAILED, {output, std::strerror(error)}));
        }
    }
}

// False when one of them has no audio that decodes (the album would be measured without it) or
// a Stop came meanwhile.
bool AlbumGainBook::MeasureKept(Album& album, const std::atomic<bool>& stop) {
    for (const std::string& output : album.kept) {
        auto meter = std::make_shared<media::LoudnessMeter>();
        if (media::MeasureFileLoudness(output, *meter, &stop) != media::S_OK) return false;
        album.outputs.emplace_back(output, std::move(meter));
    }
    return true;
}

std::vector<std::string> AlbumGainBook::TakeFailures() {
    std::lock_guard lock(mutex_);
    return std::exchange(failures_, {});
}

}  // namespace tessival
