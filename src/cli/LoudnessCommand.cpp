// tessival-cli loudness FILE...: measures each file as players and broadcasters do (integrated
// loudness, loudness range, true peak) with the ReplayGain gain, then all of them as one album.
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/JsonProgress.h"
#include "engine/loudness/GainTags.h"
#include "platform/media/filters/analysis/FileLoudness.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

using media::LoudnessMeter;
using media::LoudnessReading;

constexpr const char* kUsage = "usage: tessival-cli loudness FILE... [--json]";

// A number for JSON: null where there is none (the loudness of silence).
std::string JsonNumber(double value, const char* format) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Fixed(double value, const char* format) {
    if (!std::isfinite(value)) return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void PrintJson(const LoudnessReading& reading, const std::string& key, const std::string& value) {
    const bool heard = reading.Heard();
    std::printf("{%s:%s,\"integrated\":%s,\"range\":%s,\"true_peak\":%s,\"gain\":%s,\"peak\":%s}\n",
                JsonString(key).c_str(), value.c_str(), JsonNumber(reading.integrated, "%.2f").c_str(),
                JsonNumber(reading.range, "%.2f").c_str(), JsonNumber(reading.TruePeakDb(), "%.2f").c_str(),
                heard ? JsonNumber(ReplayGainDb(reading), "%.2f").c_str() : "null",
                JsonNumber(reading.truePeak, "%.6f").c_str());
}

void PrintText(const LoudnessReading& reading, const std::string& name) {
    const std::string gain = reading.Heard() ? GainText(ReplayGainDb(reading)) : "-";
    std::printf("%10s LUFS %6s LU %8s dBTP %10s  %s\n", Fixed(reading.integrated, "%.1f").c_str(),
                Fixed(reading.range, "%.1f").c_str(), Fixed(reading.TruePeakDb(), "%.2f").c_str(), gain.c_str(),
                name.c_str());
}

int Loudness(const std::vector<std::string>& args) {
    bool json = false;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else if (arg.rfind("--", 0) == 0)
            return UsageError(kUsage);
        else
            files.push_back(arg);
    }
    if (files.empty()) return UsageError(kUsage);
    if (!json) std::printf("%15s %9s %13s %10s  %s\n", "integrated", "range", "true peak", "gain", "file");
    std::vector<std::unique_ptr<LoudnessMeter>> meters;
    bool allRead = true;
    for (const std::string& file : files) {
        auto meter = std::make_unique<LoudnessMeter>();
        if (media::FAILED(media::MeasureFileLoudness(file, *meter))) {
            std::fflush(stdout);
            std::fprintf(stderr, "tessival-cli: %s\n", LoadStringWith(IDS_LOUDNESS_UNREADABLE, file).c_str());
            allRead = false;
            continue;
        }
        const LoudnessReading reading = meter->Reading();
        json ? PrintJson(reading, "file", JsonString(file)) : PrintText(reading, file);
        meters.push_back(std::move(meter));
    }
    std::vector<const LoudnessMeter*> album;
    for (const auto& meter : meters) album.push_back(meter.get());
    if (!album.empty()) {
        const LoudnessReading reading = LoudnessMeter::Combined(album);
        json ? PrintJson(reading, "album", std::to_string(album.size())) : PrintText(reading, "(album)");
    }
    return allRead ? kExitOk : kExitFailure;
}

const CommandRegistration registration({"loudness", "FILE... [--json]",
                                        "measure loudness (LUFS, range, true peak) and ReplayGain, each file and "
                                        "all as an album",
                                        Loudness});

}  // namespace
}  // namespace tessival::cli
