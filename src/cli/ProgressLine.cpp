#include "cli/ProgressLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

// "M:SS", or "H:MM:SS" from an hour on.
std::string Clock(double wholeSeconds) {
    const long long total = static_cast<long long>(std::max(0.0, wholeSeconds));
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

bool KnowsFraction(const ProgressSnapshot& media) { return media.durationSeconds > 0 && media.positionSeconds >= 0; }

double Fraction(const ProgressSnapshot& media) {
    return std::clamp(media.positionSeconds / media.durationSeconds, 0.0, 1.0);
}

// "Item 3 of 8" or "Items 3, 5 of 8".
std::string Places(const BatchProgress& progress) {
    std::string places;
    for (const RunningItem& item : progress.running)
        places += (places.empty() ? "" : ", ") + std::to_string(item.ordinal);
    return LoadString(progress.running.size() == 1 ? IDS_PROGRESS_ITEM : IDS_PROGRESS_ITEMS,
                      {places, std::to_string(progress.total)});
}

// The running items' combined percent; items of unknown length show how far they have got, when
// their source tells.
std::string HowFar(const BatchProgress& progress) {
    double position = 0;
    double duration = 0;
    double furthestUnsized = -1;
    for (const RunningItem& item : progress.running) {
        if (KnowsFraction(item.media)) {
            position += std::min(item.media.positionSeconds, item.media.durationSeconds);
            duration += item.media.durationSeconds;
        } else {
            furthestUnsized = std::max(furthestUnsized, item.media.positionSeconds);
        }
    }
    if (duration > 0) return std::to_string(static_cast<int>(std::floor(100 * position / duration))) + "%";
    return furthestUnsized >= 0 ? Clock(std::floor(furthestUnsized)) : std::string();
}

// The pace so far in items (finished ones whole, running ones by their fraction) carried over
// the items left; nothing before a second of pace or any progress.
std::string TimeLeft(const BatchProgress& progress, double runSeconds) {
    double done = progress.finished;
    for (const RunningItem& item : progress.running) {
        if (KnowsFraction(item.media)) done += Fraction(item.media);
    }
    if (done <= 0 || runSeconds < 1) return {};
    // Rounded up: a run that is not over never has 0:00 left.
    return LoadString(IDS_PROGRESS_LEFT, {Clock(std::ceil(runSeconds * (progress.total - done) / done))});
}

}  // namespace

std::string ProgressLine::Format(const BatchProgress& progress, double runSeconds, std::size_t width) {
    if (progress.running.empty()) return {};
    std::string line = Places(progress);
    if (const std::string howFar = HowFar(progress); !howFar.empty()) line += ": " + howFar;
    // The time left goes whole or not at all; only a line that is too long even without it is cut.
    if (const std::string left = TimeLeft(progress, runSeconds); !left.empty() && line.size() + 2 + left.size() < width)
        line += ", " + left;
    if (line.size() >= width) line.resize(width > 0 ? width - 1 : 0);
    return line;
}

bool ProgressLine::Supported(int fd) {
    const char* term = std::getenv("TERM");
    return ::isatty(fd) && term && *term && std::strcmp(term, "dumb") != 0;
}

std::size_t ProgressLine::Width(int fd) {
    winsize size{};
    return ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

void ProgressLine::Draw(std::FILE* out, const std::string& text) {
    if (text.empty()) {
        Erase(out);
        return;
    }
    // Written over the old line, then its rest cleared, so the line never blinks.
    std::fprintf(out, "\r%s\033[K", text.c_str());
    std::fflush(out);
    shown_ = true;
}

void ProgressLine::Erase(std::FILE* out) {
    if (!shown_) return;
    std::fputs("\r\033[K", out);
    std::fflush(out);
    shown_ = false;
}

}  // namespace tessival::cli
