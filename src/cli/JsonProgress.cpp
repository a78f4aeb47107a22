#include "cli/JsonProgress.h"

#include <cstdio>

#include "engine/ConvertEngine.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

// The string id whose text is the item's error, or 0. Ids are small, so a scan is cheap.
int ErrorIdOf(const std::string& status) {
    for (int id = 101; id < 300; ++id) {
        if (LoadString(id) == status) return id;
    }
    return 0;
}

// Length of the valid UTF-8 sequence at text[i], or 0. Overlong forms and surrogates are not
// valid, as Python's decoder holds, so that what it reads back are the bytes we had.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead < 0xE0                                   ? 2
                                                                                               : 0;
    if (length == 0 || i + length > text.size()) return 0;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// Seconds with two decimals, or null while unknown (below zero).
std::string JsonSeconds(double seconds) {
    if (seconds < 0) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

void AppendEscape(std::string& out, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", value);
    out += escape;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += text[i++];
        } else if (byte == '\n') {
            out += "\\n";
            ++i;
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscape(out, byte);
            ++i;
        } else if (byte < 0x80) {
            out += text[i++];
        } else if (const std::size_t length = Utf8Length(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            // A byte that is not UTF-8 (a file name from an older system) as a lone surrogate, the
            // convention Python's os.fsencode turns back into the same byte.
            AppendEscape(out, 0xDC00 + byte);
            ++i;
        }
    }
    return out + "\"";
}

double JsonProgress::ElapsedSeconds(int index, const std::string& status) {
    const auto now = std::chrono::steady_clock::now();
    if (status == LoadString(IDS_INIT)) started_[index] = now;
    const auto found = started_.find(index);
    if (found == started_.end()) return 0;
    return std::chrono::duration<double>(now - found->second).count();
}

std::string JsonProgress::StatusLine(int index, const std::string& status, bool failed) {
    std::string line = "{\"item\":" + std::to_string(ItemNumber(listPositions_, index)) + ",\"status\":" + JsonString(status) +
                       ",\"elapsed\":" + JsonSeconds(ElapsedSeconds(index, status));
    if (const ConvertItem* item = items_.At(index)) line += ",\"output\":" + JsonString(DestinationFileName(*item));
    if (failed) line += ",\"error\":" + std::to_string(ErrorIdOf(status));
    if (status == LoadString(IDS_SKIPPED_UP_TO_DATE)) line += ",\"skipped\":true";
    return line + "}";
}

std::string JsonProgress::PositionLine(const RunningItem& item) {
    return "{\"item\":" + std::to_string(ItemNumber(listPositions_, item.index)) + ",\"position\":" + JsonSeconds(item.media.positionSeconds) +
           ",\"duration\":" + JsonSeconds(item.media.durationSeconds) +
           ",\"elapsed\":" + JsonSeconds(ElapsedSeconds(item.index, {})) + "}";
}

std::string JsonProgress::FinishedLine(int messageId, std::size_t failed, std::size_t ran) const {
    return "{\"finished\":" + JsonString(LoadString(messageId)) + ",\"id\":" + std::to_string(messageId) +
           ",\"failed\":" + std::to_string(failed) + ",\"items\":" + std::to_string(ran) + "}";
}

}  // namespace tessival::cli
