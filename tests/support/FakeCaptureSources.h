#pragma once

#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/devices/CaptureSources.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/Guid.h"
#include "platform/media/filters/capture/CaptureSourceFilter.h"

namespace tessival::test {

// A recording that plays a script: `seconds` of a 16-bit sine tone handed over at once, then
// either the end with a reason (a device that went away) or nothing more until it is closed.
class ScriptedCaptureStream : public CaptureStream {
public:
    ScriptedCaptureStream(const CaptureFormat& format, double seconds, std::string endReason, std::uint64_t dropped)
        : format_(format), endReason_(std::move(endReason)), dropped_(dropped) {
        const auto frames = static_cast<std::size_t>(seconds * format.sampleRate);
        for (std::size_t i = 0; i < frames; ++i) {
            const auto value = static_cast<std::int16_t>(16000 * std::sin(2 * M_PI * 440.0 * i / format.sampleRate));
            for (int c = 0; c < format.channels; ++c) {
                pending_.push_back(static_cast<std::uint8_t>(value & 0xFF));
                pending_.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
            }
        }
    }
    ReadResult Read(std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout) override {
        if (!pending_.empty()) {
            bytes.swap(pending_);
            pending_.clear();
            return ReadResult::Data;
        }
        if (!endReason_.empty()) return ReadResult::Ended;
        std::this_thread::sleep_for(timeout);
        return ReadResult::Timeout;
    }
    std::uint64_t DroppedBytes() const override { return dropped_; }
    std::string EndReason() const override { return endReason_; }

private:
    CaptureFormat format_;
    std::vector<std::uint8_t> pending_;
    std::string endReason_;
    std::uint64_t dropped_;
};

// Capture devices for machines without any: "Sound Card" with three input lines, and
// "Plain Source" without lines. Port switches are recorded; recordings follow the script.
class FakeCaptureSources : public CaptureSources {
public:
    std::vector<CaptureSourceInfo> ListSources() override {
        CaptureSourceInfo card;
        card.name = "card";
        card.description = "Sound Card";
        card.nativeFormat = CaptureFormat{48000, 2, 16, false};
        card.ports = {{"mic", "Microphone"}, {"line", "Line In"}, {"cd", "CD"}};
        card.activePort = "mic";
        CaptureSourceInfo plain;
        plain.name = "plain";
        plain.description = "Plain Source";
        plain.nativeFormat = CaptureFormat{44100, 1, 32, true};
        return {card, plain};
    }
    bool SetActivePort(const std::string& source, const std::string& port) override {
        std::lock_guard lock(mutex);
        switches.push_back(source + ":" + port);
        return true;
    }
    std::unique_ptr<CaptureStream> OpenStream(const std::string& source, const CaptureFormat& format,
                                              std::size_t) override {
        std::lock_guard lock(mutex);
        opened.push_back(source);
        openedFormat = format;
        return std::make_unique<ScriptedCaptureStream>(format, seconds, endReason, droppedBytes);
    }

    std::mutex mutex;
    std::vector<std::string> switches;
    std::vector<std::string> opened;
    CaptureFormat openedFormat;
    double seconds = 1.0;
    std::string endReason = "gone";
    std::uint64_t droppedBytes = 0;
};

// The system's filters with these capture devices in place of the machine's.
inline std::shared_ptr<media::FilterRegistry> RegistryWithDevices(const std::shared_ptr<CaptureSources>& sources) {
    auto registry = std::make_shared<media::FilterRegistry>();
    for (const media::Guid& category : {media::CLSID_LegacyAmFilterCategory, media::CLSID_AudioCompressorCategory})
        for (media::FilterEntry& entry : media::SystemRegistry()->Entries(category)) registry->Register(std::move(entry));
    registry->RegisterProvider(media::CLSID_AudioInputDeviceCategory,
                               [sources] { return media::CaptureSourceFilter::Entries(sources); });
    return registry;
}

}  // namespace tessival::test
