#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "joblist/ItemList.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// The albums of a run, for the gain tags that need every track of an album. An album is the items
// that share dest path and album tag (dest path alone for items without one). Each finished output
// gets its track tags as its item ends; the album's tags go into all of its outputs when its last
// item ends, on the thread that ended it. Safe from several workers at once.
class AlbumGainBook {
public:
    static AlbumGainBook& Shared();

    // Before a run: the items it will convert. Reads each source's album tag, which for a long
    // list takes a while: once `stopped` is set it gives up, and the book holds no album.
    void Plan(const ItemList& items, const std::atomic<bool>& stopped);
    // An item converted: its output and what was heard of it. Writes the track's tags, and the
    // album's into all of the album's outputs when this was its last item. 0 or an errno value
    // for this output's tags. `stop` ends the measuring of kept outputs (ItemKept).
    int ItemConverted(const std::string& output, std::shared_ptr<const media::LoudnessMeter> heard,
                      const std::atomic<bool>& stop);
    // An item of the plan skipped as up to date: its output is a track of the album as it is. When
    // another track of the album was converted, this one is measured as the album ends, and gets
    // the new album tags with the rest; an album with no track converted is left as it was.
    void ItemKept(const std::string& output, const std::atomic<bool>& stop);
    // An item of the plan ended without an output (failed or stopped): its album gets no album tags.
    void ItemFailed(const std::string& output);
    // After the run: albums that some items never reached (skipped, stopped) get no album tags;
    // their outputs keep their track tags.
    void FinishAll();
    // The texts of the outputs whose album tags could not be written, since the last call.
    std::vector<std::string> TakeFailures();

private:
    struct Album {
        int pending = 0;
        bool whole = true;  // no item of it ended without an output
        std::vector<std::pair<std::string, std::shared_ptr<const media::LoudnessMeter>>> outputs;
        std::vector<std::string> kept;  // outputs of items skipped as up to date
    };
    // The album the output belongs to while it is in the book; the caller holds the lock.
    Album* AlbumOf(const std::string& output);
    // Takes the album out of the book when no item is pending; the caller tags it unlocked.
    std::unique_ptr<Album> EndItem(const std::string& output);
    // Whether the output's item is the last its album waits for.
    bool EndsAlbum(const std::string& output);
    // Ends the album: after measuring its kept outputs, its tags into every output.
    void TagAlbum(Album& album, const std::atomic<bool>& stop);
    static bool MeasureKept(Album& album, const std::atomic<bool>& stop);

    std::mutex mutex_;
    std::map<std::string, std::string> albumOf_;  // output -> album key
    std::map<std::string, std::unique_ptr<Album>> albums_;
    std::vector<std::string> failures_;
};

}  // namespace tessival
