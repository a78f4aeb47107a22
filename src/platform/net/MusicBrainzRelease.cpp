#include "platform/net/MusicBrainzRelease.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "platform/net/CurlHttpClient.h"

namespace tessival {
namespace {

// "A & B": the credited names with their join phrases.
std::string Credit(const QJsonValue& credits) {
    QString text;
    for (const QJsonValue& credit : credits.toArray())
        text += credit.toObject().value("name").toString() + credit.toObject().value("joinphrase").toString();
    return text.toStdString();
}

bool HoldsDisc(const QJsonObject& medium, const QString& discId) {
    for (const QJsonValue& disc : medium.value("discs").toArray())
        if (disc.toObject().value("id").toString() == discId) return true;
    return false;
}

}  // namespace

std::optional<MusicBrainzRelease> MusicBrainzRelease::Parse(const std::string& json, const std::string& discId) {
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json));
    const QString id = QString::fromStdString(discId);
    for (const QJsonValue& value : document.object().value("releases").toArray()) {
        const QJsonObject release = value.toObject();
        for (const QJsonValue& mediumValue : release.value("media").toArray()) {
            const QJsonObject medium = mediumValue.toObject();
            if (!HoldsDisc(medium, id)) continue;
            MusicBrainzRelease found;
            found.album = release.value("title").toString().toStdString();
            found.albumArtist = Credit(release.value("artist-credit"));
            found.date = release.value("date").toString().toStdString();
            for (const QJsonValue& trackValue : medium.value("tracks").toArray()) {
                const QJsonObject track = trackValue.toObject();
                const QJsonValue credit = track.contains("artist-credit")
                                              ? track.value("artist-credit")
                                              : track.value("recording").toObject().value("artist-credit");
                found.tracks.push_back({track.value("title").toString().toStdString(), Credit(credit)});
            }
            return found;
        }
    }
    return std::nullopt;
}

std::optional<MusicBrainzRelease> MusicBrainzRelease::LookUp(const std::string& baseUrl, const std::string& discId) {
    using Clock = std::chrono::steady_clock;
    static std::mutex mutex;
    static std::map<std::string, std::optional<MusicBrainzRelease>> answers;  // guarded by mutex
    static Clock::time_point lastRequest;                                     // guarded by mutex
    std::lock_guard lock(mutex);
    const std::string key = baseUrl + "\n" + discId;
    if (const auto found = answers.find(key); found != answers.end()) return found->second;
    // The service asks for no more than one request a second.
    std::this_thread::sleep_until(lastRequest + std::chrono::seconds(1));
    lastRequest = Clock::now();
    CurlHttpClient http;
    const HttpResponse response =
        http.Get(baseUrl + "/ws/2/discid/" + discId + "?inc=recordings+artist-credits&fmt=json");
    std::optional<MusicBrainzRelease> release;
    if (response.status == 200) release = Parse(response.body, discId);
    // A service that did not answer is asked again next time.
    if (response.status == 200 || response.status == 404) answers[key] = release;
    return release;
}

}  // namespace tessival
