#include "engine/conversion/ItemConversion.h"

#include <filesystem>

#include "engine/FindTypeFilter.h"
#include "engine/conversion/EarlyEnd.h"
#include "engine/conversion/Preflight.h"
#include "joblist/DestTypes.h"
#include "joblist/DiscItems.h"
#include "joblist/TextField.h"
#include "platform/devices/RipLog.h"
#include "platform/media/CaptureStatus.h"
#include "platform/media/IDamagedDataCount.h"
#include "platform/media/IDeferredCommit.h"
#include "platform/media/IEndOfStreamCheck.h"
#include "platform/media/IDiscTrackStatus.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/QueryInterface.h"
#include "res/ResourceIds.h"

namespace tessival {

using namespace media;

ItemConversion::ItemConversion(const ConvertItem& item, ConversionServices services)
    : services_(std::move(services)),
      item_(item),
      source_(LocateSource(ReadField(item_.sourcePath))),
      toolkit_(services_.shell, services_.registry) {}

// The toolkit's destructor stops the graph before releasing it, so no streaming thread outlives it.
ItemConversion::~ItemConversion() = default;

ConversionOutcome ItemConversion::Run() {
    thread_.Check();
    outcome_.converted = Build() && StartAndWait() && RecordingWasWhole();
    Settle();
    TagLoudness();
    KeepLoudnessReading();
    if (outcome_.converted) RecordDiscRip();
    return outcome_;
}

void ItemConversion::Fail(int stringId, HRESULT cause) {
    outcome_.stringId = stringId;
    outcome_.cause = cause;
    outcome_.detail.clear();
}

bool ItemConversion::EncoderName(std::string& encoderName) {
    const std::string destType = ReadField(item_.destType);
    if (const auto named = EncoderNameOfType(destType)) {
        encoderName = *named;
        // An empty name would match every compressor.
        if (!encoderName.empty()) return true;
    } else if (FindTypeFilter(services_.shell, destType, encoderName, services_.registry)) {
        return true;
    }
    Fail(IDS_DEST_TYPE_INVALID);
    return false;
}

bool ItemConversion::Build() {
    // The folder is made only for a source that can be read, so a missing one leaves no folder.
    if (const int error = SourcePreflightError(item_)) {
        Fail(error);
        return false;
    }
    if (const std::string failure = MakeDestinationFolder(item_); !failure.empty()) {
        Fail(0);
        outcome_.detail = failure;
        return false;
    }
    if (const int error = DestinationPreflightError(item_)) {
        Fail(error);
        if (error == IDS_DEST_NOT_AUDIO) outcome_.detail = DestinationFileName(item_);
        return false;
    }
    std::string encoderName;
    if (!EncoderName(encoderName)) return false;
    auto encoderInput = BuildDestination(DestinationFileName(item_), encoderName);
    if (!encoderInput || !AttachLoudness()) return false;
    // The quality goes first, so that the decoder can convert straight to it while connecting.
    const bool qualityApplied = toolkit_.ApplyQuality(encoderFilter_, item_.quality);
    if (!BuildSourceAndConnect(encoderInput)) return false;
    return qualityApplied || SettleQuality();
}

bool ItemConversion::BuildSourceAndConnect(const std::shared_ptr<IPin>& encoderInput) {
    const ConversionOutcome before = outcome_;
    if (auto output = BuildTypedChain()) {
        // A typed chain whose audio the encoder refuses would leave the sink waiting forever.
        if (FAILED(ConnectPins(output, encoderInput))) {
            Fail(IDS_SOURCE_INCOMPATIBLE);
            return false;
        }
        return true;
    }
    BuildGenericChain();
    if (AttachGenericChain(encoderInput)) return true;
    // A failure must say so: when no chain gave a reason, the file itself is the problem. A file
    // that no filter reads at all is not media, whatever type its name promised; one that the
    // filters this computer has cannot read is not "unsupported" but damaged.
    if (outcome_.SameReason(before) || (outcome_.stringId == IDS_SOURCE_UNSUPPORTED && !filterMissing_) ||
        (outcome_.stringId == IDS_SOURCE_INCOMPATIBLE && analysis_.filters.size() < 2))
        analysis_.OnlyVideo() ? Fail(IDS_SOURCE_NO_AUDIO) : FailUnreadableSource();
    return false;
}

void ItemConversion::FailUnreadableSource() {
    const std::string file = SourceFile();
    const std::string codec = file.empty() ? std::string() : media::UndecodableAudioCodec(file);
    Fail(codec.empty() ? UnreadableSourceText() : IDS_SOURCE_CODEC_MISSING);
    outcome_.detail = codec;
}

std::string ItemConversion::SourceFile() const {
    // An album track reads its album's file.
    return HasFileSource(item_) ? LocateSource(ReadField(item_.sourcePath)).file : std::string();
}

int ItemConversion::UnreadableSourceText() const {
    const std::string file = SourceFile();
    if (file.empty()) return IDS_SOURCE_DAMAGED;
    return media::IsRecognisedMedia(file) ? IDS_SOURCE_BROKEN : IDS_SOURCE_NOT_MEDIA;
}

int ItemConversion::ChannelsBeyondQuality() {
    const auto channelsAt = [this](media::PIN_DIRECTION direction) {
        const auto pin = toolkit_.GetPin(encoderFilter_, direction, 0);
        media::MediaType type;
        if (!pin || FAILED(pin->ConnectionMediaType(type)) || !type.WaveFormat()) return 0;
        return static_cast<int>(type.WaveFormat()->nChannels);
    };
    const int source = channelsAt(media::PINDIR_INPUT);
    const int output = channelsAt(media::PINDIR_OUTPUT);
    const int quality = output > 0 ? output : static_cast<int>(item_.quality.nChannels);
    return quality > 0 && source > quality ? source : 0;
}

bool ItemConversion::SettleQuality() {
    for (;;) {
        QualityPrompt* prompt = services_.prompt;
        const InvalidQualityChoice choice = prompt ? prompt->AskInvalidQuality() : InvalidQualityChoice::SkipItem;
        if (choice == InvalidQualityChoice::UseEncoderDefault) return true;
        const auto chosen =
            choice == InvalidQualityChoice::SkipItem ? std::nullopt : prompt->AskQuality(item_, encoderFilter_);
        if (!chosen) {
            Fail(IDS_DEST_QUALITY_INVALID);
            outcome_.skipped = true;
            return false;
        }
        item_.quality = *chosen;
        if (toolkit_.ApplyQuality(encoderFilter_, item_.quality)) return true;
    }
}

bool ItemConversion::RecordingWasWhole() {
    const auto capture = QueryInterface<ICaptureStatus>(captureFilter_);
    if (!capture) return true;
    if (!capture->EndReason().empty()) {
        Fail(IDS_CAPTURE_DEVICE_LOST);
        return false;
    }
    if (capture->DroppedFrames() > 0) {
        Fail(IDS_CAPTURE_OVERRUN);
        return false;
    }
    return true;
}

int ItemConversion::RunFailureText(HRESULT hr) const {
    if (ErrnoFromHResult(hr)) return IDS_DEST_WRITE_FAILED;
    if (hr == E_ACCESSDENIED) return IDS_DEST_FOLDER_UNUSABLE;
    if (hr == VFW_E_INVALID_FILE_FORMAT || hr == VFW_E_UNKNOWN_FILE_TYPE || hr == VFW_E_UNSUPPORTED_STREAM)
        return UnreadableSourceText();
    // A file gone or unreadable under the run says nothing about what it held.
    if (hr == E_FILE_NOT_FOUND || hr == STG_E_READFAULT) return IDS_SOURCE_DAMAGED;
    return IDS_CONVERSION_FAILED;
}

std::int64_t ItemConversion::CountSkippedPackets() {
    std::shared_ptr<IEnumFilters> filters;
    if (FAILED(toolkit_.Graph().EnumFilters(filters)) || !filters) return 0;
    std::int64_t skipped = 0;
    for (const auto& filter : filters->All())
        if (const auto counter = QueryInterface<IDamagedDataCount>(filter)) skipped += counter->SkippedPackets();
    return skipped;
}

void ItemConversion::GuardEarlyEnd() {
    const auto encoder = QueryInterface<IEndOfStreamCheck>(encoderFilter_);
    std::shared_ptr<IEnumFilters> filters;
    if (!encoder || FAILED(toolkit_.Graph().EnumFilters(filters)) || !filters) return;
    // Weak, as the encoder that keeps the check is one of the graph's filters too.
    std::vector<std::weak_ptr<IDamagedDataCount>> counters;
    for (const auto& filter : filters->All())
        if (auto counter = QueryInterface<IDamagedDataCount>(filter)) counters.push_back(counter);
    REFTIME seconds = 0;
    if (FAILED(toolkit_.Position().get_Duration(seconds))) seconds = 0;
    const auto declared = static_cast<REFERENCE_TIME>(seconds * kUnitsPerSecond);
    encoder->SetEndCheck([counters = std::move(counters), declared](REFERENCE_TIME received) {
        std::int64_t skipped = 0;
        for (const auto& weak : counters)
            if (const auto counter = weak.lock()) skipped += counter->SkippedPackets();
        return EndedEarly(declared, received, skipped) ? VFW_E_INVALID_FILE_FORMAT : S_OK;
    });
}

bool ItemConversion::StartAndWait() {
    auto output = toolkit_.GetPin(encoderFilter_, PINDIR_OUTPUT, 0);
    const HRESULT rendered = output ? toolkit_.Builder().Render(output) : VFW_E_NOT_FOUND;
    if (FAILED(rendered)) {
        Fail(IDS_CONVERSION_FAILED, rendered);
        return false;
    }
    GuardEarlyEnd();
    UseSecondCore();
    HRESULT started = S_OK;
    if (!services_.halt.StartUnlessHalted(toolkit_.Control(), toolkit_.Builder().EventSink(), started))
        return true;  // stopped before it could start
    if (FAILED(started)) {
        // Channels the encoder's converter cannot mix down refuse the start, not the connection.
        if (const int channels = ChannelsBeyondQuality(); started == VFW_E_TYPE_NOT_ACCEPTED && channels > 0) {
            Fail(IDS_TOO_MANY_CHANNELS, started);
            outcome_.detail = std::to_string(channels);
            return false;
        }
        Fail(ErrnoFromHResult(started) ? IDS_DEST_WRITE_FAILED : IDS_CONVERSION_FAILED, started);
        return false;
    }
    services_.progress.Attach(toolkit_.SharedPosition(), QueryInterface<IAudioLevels>(encoderFilter_), loudness_);
    long eventCode = 0;
    const HRESULT waited = toolkit_.Events().WaitForCompletion(INFINITE, eventCode);
    outcome_.skippedPackets = CountSkippedPackets();
    if (waited == VFW_E_WRONG_STATE) return true;
    if (SUCCEEDED(waited) && eventCode == EC_USERABORT) {
        // Stopped: streaming ends now; Settle settles the file.
        toolkit_.Control().Pause();
        return true;
    }
    if (FAILED(waited)) {
        if (!ReportDiscProblem()) Fail(RunFailureText(waited), waited);
        return false;
    }
    if (const HRESULT ended = toolkit_.Control().StopWhenReady(); FAILED(ended)) {
        Fail(IDS_CONVERSION_FAILED, ended);
        return false;
    }
    return true;
}

void ItemConversion::UseSecondCore() {
    // Shorter items spend more on a second thread than they gain; items of unknown length (a
    // recording) come in no faster than they are encoded.
    constexpr REFTIME kLongEnoughSeconds = 10;
    // Half a second lets the encoder ride out the decoding side being scheduled late on a busy
    // machine (a fast encoder eats a quarter second of audio in 3 ms); more only costs memory.
    constexpr REFERENCE_TIME kQueuedAudio = kUnitsPerSecond / 2;
    const auto queued = QueryInterface<IQueuedInput>(encoderFilter_);
    REFTIME seconds = 0;
    if (!services_.cores || !queued || FAILED(toolkit_.Position().get_Duration(seconds)) ||
        seconds < kLongEnoughSeconds)
        return;
    secondCore_ = services_.cores->TryTake();
    if (!secondCore_) return;
    queued->SetInputQueue(kQueuedAudio);
    if (const auto encoder = QueryInterface<ITwoThreadEncoding>(encoderFilter_)) encoder->EncodeOnTwoThreads(true);
}

void ItemConversion::Settle() {
    services_.progress.Detach();
    services_.halt.Disarm();
    // The sink commits, keeps or discards its file as the graph stops.
    toolkit_.Control().Stop();
    secondCore_ = CoreBudget::Lease();
    auto stopped = QueryInterface<IStoppedOutputSink>(toolkit_.FileWriter());
    outcome_.keptBeside = stopped ? stopped->OutputKeptBeside() : std::string();
    if (auto deferred = QueryInterface<IDeferredCommit>(toolkit_.FileWriter()))
        outcome_.commit = deferred->TakePendingCommit();
}

// A CD track read to its end goes into its disc's rip log beside the output. The log is a
// record, not the conversion's product: failing to write it does not fail the item.
void ItemConversion::RecordDiscRip() {
    const auto track = QueryInterface<IDiscTrackStatus>(fileSource_);
    const auto rip = track ? track->Rip() : std::nullopt;
    if (!rip) return;
    RipLogBook::Shared().Record(*rip, std::filesystem::path(DestinationFileName(item_)).parent_path().string());
}

bool ItemConversion::ReportDiscProblem() {
    const auto track = QueryInterface<IDiscTrackStatus>(fileSource_);
    if (!track) return false;
    const DiscProblem problem = track->Problem();
    if (!problem) return false;
    outcome_.stringId = 0;
    outcome_.detail = DiscProblemText(problem);
    return true;
}

}  // namespace tessival
