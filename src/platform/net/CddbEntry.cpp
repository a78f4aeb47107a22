#include "platform/net/CddbEntry.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/net/CurlHttpClient.h"

namespace tessival {
namespace {

constexpr const char* kHello = "hello=tessival+localhost+Tessival+1.0&proto=6";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "Artist / Title" into its two halves; without the separator both are the whole.
std::pair<std::string, std::string> SplitArtist(const std::string& text) {
    const auto slash = text.find(" / ");
    if (slash == std::string::npos) return {text, text};
    return {text.substr(0, slash), text.substr(slash + 3)};
}

std::string FirstWords(const std::string& line, int count) {
    std::istringstream words(line);
    std::string word, out;
    for (int i = 0; i < count && words >> word; ++i) out += (i ? " " : "") + word;
    return out;
}

}  // namespace

std::optional<CddbEntry> CddbEntry::Parse(const std::string& xmcd) {
    std::map<std::string, std::string> fields;  // multi-line fields joined
    for (const std::string& line : Lines(xmcd)) {
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        fields[line.substr(0, eq)] += line.substr(eq + 1);
    }
    const auto title = fields.find("DTITLE");
    if (title == fields.end() || title->second.empty()) return std::nullopt;
    CddbEntry entry;
    std::tie(entry.albumArtist, entry.album) = SplitArtist(title->second);
    entry.date = fields["DYEAR"];
    entry.genre = fields["DGENRE"];
    for (int n = 0;; ++n) {
        const auto track = fields.find("TTITLE" + std::to_string(n));
        if (track == fields.end()) break;
        const auto [artist, name] = SplitArtist(track->second);
        entry.tracks.push_back({name, artist == name ? std::string() : artist});
    }
    return entry;
}

std::optional<std::pair<std::string, std::string>> CddbEntry::ExactMatch(const std::string& answer) {
    const std::vector<std::string> lines = Lines(answer);
    if (lines.empty()) return std::nullopt;
    const std::string status = lines[0].substr(0, 3);
    std::string match;
    if (status == "200") match = lines[0].substr(std::min<std::size_t>(4, lines[0].size()));
    else if (status == "210" && lines.size() > 1 && lines[1] != ".") match = lines[1];
    std::istringstream words(match);
    std::string category, id;
    if (!(words >> category >> id)) return std::nullopt;
    return std::pair(category, id);
}

std::optional<CddbEntry> CddbEntry::LookUp(const std::string& baseUrl, const Query& query) {
    static std::mutex mutex;
    static std::map<std::string, std::optional<CddbEntry>> answers;  // guarded by mutex
    std::lock_guard lock(mutex);
    char id[9];
    std::snprintf(id, sizeof id, "%08x", query.discId);
    std::string command = "cmd=cddb+query+" + std::string(id) + "+" + std::to_string(query.offsets.size());
    for (const std::int32_t offset : query.offsets) command += "+" + std::to_string(offset);
    command += "+" + std::to_string(query.seconds);
    const std::string key = baseUrl + "\n" + command;
    if (const auto found = answers.find(key); found != answers.end()) return found->second;
    CurlHttpClient http;
    const std::string endpoint = baseUrl + "/~cddb/cddb.cgi?";
    const HttpResponse queried = http.Get(endpoint + command + "&" + kHello);
    if (queried.status != 200) return std::nullopt;  // asked again next time
    std::optional<CddbEntry> entry;
    if (const auto match = ExactMatch(queried.body)) {
        const HttpResponse read = http.Get(endpoint + "cmd=cddb+read+" + match->first + "+" + match->second + "&" + kHello);
        if (read.status != 200) return std::nullopt;
        if (FirstWords(read.body, 1) == "210") entry = Parse(read.body);
    }
    answers[key] = entry;
    return entry;
}

}  // namespace tessival
