#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/media/BaseFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/RendererFilter.h"
#include "platform/media/StreamingThread.h"
#include "platform/media/TransformFilter.h"

namespace tessival::media::test {

inline const Guid kFakeClass{0x12345678, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}};

inline MediaType PcmType(std::uint32_t rate = 8000) { return MediaType::Audio(MakePcmFormat(rate, 1, 16)); }

// A push source with one output that sends `samples` buffers of 100 bytes (forever when
// negative), each after `pause`, then end of stream; failAt makes that sample fail instead.
class FakeSource : public BaseFilter {
public:
    explicit FakeSource(int samples, std::chrono::milliseconds pause = {}, MediaType type = PcmType())
        : BaseFilter(kFakeClass), output_(AddPin<OutputPin>("Out")), samples_(samples), pause_(pause),
          type_(std::move(type)) {}

    HRESULT GetMediaTypes(const BasePin&, std::vector<MediaType>& types) const override {
        types.push_back(type_);
        return S_OK;
    }
    int failAt = -1;
    bool numbered = false;  // each sample's start is its number, for FakeSink to check the order
    std::atomic<int> sent{0};

protected:
    HRESULT OnStart() override {
        thread_.Start([this] { return Step(); });
        return S_OK;
    }
    void OnHalt() override { thread_.Stop(); }

private:
    bool Step() {
        if (samples_ >= 0 && sent >= samples_) {
            output_.DeliverEndOfStream();
            return false;
        }
        if (pause_.count()) std::this_thread::sleep_for(pause_);
        if (thread_.StopRequested()) return false;  // a stop during the pause sends nothing more
        if (sent == failAt) {
            ReportError(VFW_E_INVALID_FILE_FORMAT);
            return false;
        }
        MediaSample sample;
        sample.data.assign(100, 0);
        if (numbered) sample.start = sent;
        const HRESULT hr = output_.Deliver(sample);
        ++sent;
        if (FAILED(hr)) {
            ReportError(hr);
            return false;
        }
        return true;
    }

    OutputPin& output_;
    int samples_;
    std::chrono::milliseconds pause_;
    MediaType type_;
    StreamingThread thread_;
};

// A sink taking one kind of type; counts what it got, taking `pause` over each sample.
class FakeSink : public RendererFilter {
public:
    explicit FakeSink(MediaType accepted = MediaTypePattern(MEDIATYPE_Audio))
        : RendererFilter(kFakeClass, "In"), accepted_(std::move(accepted)) {}
    std::atomic<int> received{0};
    // Whether every numbered sample came in its place.
    std::atomic<bool> inOrder{true};
    HRESULT failWith = S_OK;
    std::chrono::milliseconds pause{};

protected:
    HRESULT CheckInput(const MediaType& type) const override {
        return type.Matches(accepted_) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT Render(MediaSample& sample) override {
        if (pause.count()) std::this_thread::sleep_for(pause);
        if (sample.start >= 0 && sample.start != received) inOrder = false;
        ++received;
        return failWith;
    }

private:
    MediaType accepted_;
};

// Passes audio through unchanged.
class FakePassThrough : public TransformFilter {
public:
    FakePassThrough() : TransformFilter(kFakeClass, "In", "Out") {}

protected:
    HRESULT CheckInput(const MediaType& type) const override {
        return type.majorType == MEDIATYPE_Audio ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override {
        types.push_back(input);
        return S_OK;
    }
    HRESULT Transform(MediaSample& sample) override { return Deliver(sample); }
};

// A filter with no pins at all.
class PinlessFilter : public BaseFilter {
public:
    PinlessFilter() : BaseFilter(kFakeClass) {}
};

template <class F>
FilterEntry FakeEntry(const char* name, std::uint32_t merit, std::vector<MediaType> inputs, F make) {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = kFakeClass;
    entry.friendlyName = name;
    entry.merit = merit;
    entry.inputTypes = std::move(inputs);
    entry.factory = make;
    return entry;
}

}  // namespace tessival::media::test
