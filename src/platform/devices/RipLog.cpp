#include "platform/devices/RipLog.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/devices/DiscIds.h"
#include "platform/devices/RipSettings.h"
#include "platform/io/AtomicFile.h"
#include "platform/net/CurlHttpClient.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

std::string Time(std::int64_t sectors) {
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(sectors / 4500),
                  static_cast<long long>(sectors / 75 % 60), static_cast<long long>(sectors % 75));
    return text;
}

std::string Hex(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string TrackLine(const TrackRip& rip) {
    char line[160];
    std::snprintf(line, sizeof line, "%5d  %s  %s  %-8s  %s  %s  %s  %6lld  %6lld  %5lld\n", rip.number,
                  Time(rip.firstSector).c_str(), Time(rip.sectors).c_str(),
                  rip.testCrc ? Hex(*rip.testCrc).c_str() : "-", Hex(rip.copyCrc).c_str(),
                  Hex(rip.accurateRipV1).c_str(), Hex(rip.accurateRipV2).c_str(),
                  static_cast<long long>(rip.stats.reads), static_cast<long long>(rip.stats.fixups),
                  static_cast<long long>(rip.stats.skips));
    return line;
}

}  // namespace

std::string RipLog::FileName(const std::string& discSource) {
    return std::filesystem::path(discSource).stem().string() + ".log";
}

RipLog::Lookup RipLog::LookUp(const DiscToc& disc, const std::string& baseUrl) {
    Lookup lookup;
    lookup.asked = true;
    const DiscIds ids = DiscIds::Of(disc);
    CurlHttpClient http;
    const HttpResponse response = http.Get(AccurateRipEntry::Url(baseUrl, ids));
    // The service answers 404 for a disc it does not know.
    lookup.reached = response.status == 200 || response.status == 404;
    if (response.status == 200) lookup.entry = AccurateRipEntry::Parse(response.body, ids);
    return lookup;
}

// One line a track read: its AccurateRip confidence, and the verdict on the whole disc.
std::string RipLog::LookupText() const {
    std::string text = "AccurateRip           ";
    if (!lookup_.reached) return text + "-\n\n" + LoadString(IDS_RIP_LOG_NOT_PROVEN) + "\n";
    text += lookup_.entry ? std::to_string(lookup_.entry->Pressings()) + " pressing(s)\n" : "-\n";
    int audioIndex = 0, accurate = 0, audioTracks = 0;
    for (const DiscTrack& track : disc_.tracks) {
        if (!track.audio) continue;
        ++audioTracks;
        ++audioIndex;
        const auto rip = tracks_.find(track.number);
        if (rip == tracks_.end()) continue;
        const TrackRip& read = rip->second;
        const int confidence =
            lookup_.entry ? lookup_.entry->Confidence(audioIndex, read.accurateRipV1, read.accurateRipV2) : 0;
        char line[128];
        std::snprintf(line, sizeof line, "%5d  ", track.number);
        text += line;
        if (confidence > 0) {
            std::snprintf(line, sizeof line, LoadString(IDS_RIP_LOG_TRACK_ACCURATE).c_str(), confidence);
            text += std::string(line) + "\n";
            ++accurate;
        } else {
            text += "-\n";
        }
    }
    text += "\n";
    return text + LoadString(accurate == audioTracks ? IDS_RIP_LOG_ALL_ACCURATE : IDS_RIP_LOG_NOT_PROVEN) + "\n";
}

std::string RipLog::Text() const {
    const DiscIds ids = DiscIds::Of(disc_);
    std::string text = LoadString(IDS_RIP_LOG_TITLE) + "\n\n";
    text += "Disc                  " + disc_.source + "\n";
    const int offset = tracks_.empty() ? 0 : tracks_.begin()->second.readOffset;
    text += "Read offset           " + std::to_string(offset) + " samples\n";
    text += "MusicBrainz disc id   " + (ids.musicBrainz.empty() ? std::string("-") : ids.musicBrainz) + "\n";
    text += "AccurateRip disc id   " + ids.AccurateRipId() + "\n\n";
    text += LoadString(IDS_RIP_LOG_COLUMNS) + "\n";
    bool testsMatch = true;
    for (const auto& [number, rip] : tracks_) {
        text += TrackLine(rip);
        if (rip.testCrc && *rip.testCrc != rip.copyCrc) testsMatch = false;
    }
    text += "\n";
    text += lookup_.asked ? LookupText() : LoadString(IDS_RIP_LOG_NOT_PROVEN) + "\n";
    if (!testsMatch) text += LoadString(IDS_RIP_LOG_TEST_COPY_DIFFER) + "\n";
    return text;
}

RipLogBook& RipLogBook::Shared() {
    static RipLogBook book;
    return book;
}

int RipLogBook::Record(const TrackRip& rip, const std::string& folder) {
    std::lock_guard lock(mutex_);
    const auto key = std::make_pair(rip.disc.source, folder);
    auto found = logs_.find(key);
    if (found == logs_.end()) {
        found = logs_.emplace(key, RipLog(rip.disc)).first;
        const RipSettings settings = RipSettings::Current();
        if (settings.lookUp) found->second.SetLookup(RipLog::LookUp(rip.disc, settings.accurateRipUrl));
    }
    found->second.Record(rip);
    const std::string text = found->second.Text();
    AtomicFile file;
    if (const int error = file.Open((std::filesystem::path(folder) / RipLog::FileName(rip.disc.source)).string()))
        return error;
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(file.Fd(), text.data() + done, text.size() - done);
        if (wrote < 0) return errno;
        done += static_cast<std::size_t>(wrote);
    }
    return file.Commit();
}

}  // namespace tessival
