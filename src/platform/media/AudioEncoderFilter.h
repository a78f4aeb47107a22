#pragma once

#include <optional>

#include "platform/media/AudioLevelMeter.h"
#include "platform/media/IEndOfStreamCheck.h"
#include "platform/media/IPcmTap.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/TransformFilter.h"

namespace tessival::media {

// The channel count of a choice that keeps the source's channels, whatever their number (0 in a
// saved quality means none was chosen, so this takes the other end of the range).
inline constexpr std::uint16_t kSourceChannels = 0xFFFF;

// Base of the audio compressors: a transform whose output pin offers IAMStreamConfig with the
// complete list of formats the encoder can produce. SetFormat picks one of them for the next
// connection; without it the encoder's default for the connected input is used.
class AudioEncoderFilter : public TransformFilter, public IAudioLevels, public IPcmTapHost, public IEndOfStreamCheck {
public:
    AudioEncoderFilter(const Guid& clsid, std::string inputName, std::string outputName);

    // Every format the encoder produces, in the order it reports them.
    virtual const std::vector<MediaType>& Capabilities() const = 0;
    // The format used when none was set, for this input.
    virtual MediaType DefaultFormat(const MediaType& input) const = 0;
    // The output a chosen format gives for this input: itself, unless it follows the source's
    // rate or bits or was listed without its own headers; no wave format when the input cannot
    // be followed.
    virtual MediaType ForInput(const MediaType& chosen, const MediaType&) const { return chosen; }

    HRESULT SetFormat(const MediaType& type);
    // The format set, else the default for the connected input; false when neither is known.
    bool ChosenFormat(MediaType& type) const;

    // The levels of the PCM coming in, for the window's display.
    std::array<float, AudioLevelMeter::kChannels> TakePeakLevels() override { return meter_.TakePeaks(); }
    void SetPcmTap(std::shared_ptr<IPcmTap> tap) override { tap_ = std::move(tap); }
    void SetEndCheck(Check check) override { endCheck_ = std::move(check); }

protected:
    // Of a list, the format at the input's rate (a choice that follows the source has it) and
    // channels nearest a byte rate, else the nearest one; none from an empty list.
    static MediaType Nearest(const std::vector<MediaType>& all, const MediaType& input, std::uint32_t byteRate);

    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override;
    // With a format set: PCM at its rate and channel count in each width, so that a decoder can
    // convert straight to them and the audio is resampled and remixed once.
    HRESULT PreferredInputTypes(std::vector<MediaType>& types) const override;
    void OnInput(MediaSample& sample) override;
    HRESULT AcceptEnd() override;
    HRESULT OnPrepare() override;

private:
    class StreamConfigPin;
    std::optional<MediaType> setFormat_;
    AudioLevelMeter meter_;
    std::shared_ptr<IPcmTap> tap_;
    Check endCheck_;
    // Audio taken in since the graph last paused from stopped, in 100 ns units.
    REFERENCE_TIME received_ = 0;
};

}  // namespace tessival::media
