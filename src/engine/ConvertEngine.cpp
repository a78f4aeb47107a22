#include "engine/ConvertEngine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>

#include "engine/FindTypeFilter.h"
#include "joblist/TextField.h"
#include "platform/io/TrackPath.h"
#include "platform/media/CaptureStatus.h"
#include "platform/media/IDamagedDataCount.h"
#include "platform/media/QueryInterface.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

using namespace media;

namespace {

bool IsDirectoryWritable(const std::string& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Only plain files: opening a FIFO would wait for a writer, a device would never end.
bool IsReadableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The name must stay one file inside the dest folder: no other folder, and not a folder itself.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Sources that are not files of their own: capture devices and audio CD tracks.
bool HasFileSource(const ConvertItem& item) {
    return FieldView(item.sourceType).substr(0, 3) != "CAP" && FieldView(item.sourceType).substr(0, 3) != "CDA";
}

}  // namespace

ConvertEngine::ConvertEngine(Shell& shell, std::shared_ptr<const FilterRegistry> registry)
    : GraphToolkit(shell, registry), analyzer(shell, registry) {}

std::string DestinationFileName(const ConvertItem& item) {
    return ReadField(item.destPath) + "/" + ReadField(item.destName);
}

void ConvertEngine::OpenForItem(ConvertItem& item) {
    std::lock_guard lock(haltMutex_);
    OpenGraph();
    chain.fill(nullptr);
    captureFilter.reset();
    encoderFilter.reset();
    fileSource.reset();
    lastChainIndex = -1;
    currentItem = &item;
    skippedPackets = 0;
}

void ConvertEngine::CloseItem() {
    progress.Detach();
    {
        std::lock_guard lock(haltMutex_);
        running_ = false;
        haltSink_.reset();
    }
    // The sink commits, keeps or discards its file as the graph stops.
    if (control) control->Stop();
    auto stopped = QueryInterface<IStoppedOutputSink>(FileWriterFilter);
    stoppedOutputBeside = stopped ? stopped->OutputKeptBeside() : std::string();
    CloseGraph();
    chain.fill(nullptr);
    captureFilter.reset();
    encoderFilter.reset();
    fileSource.reset();
}

void ConvertEngine::HaltGraph() {
    std::lock_guard lock(haltMutex_);
    halted_ = true;
    // Only a signal: stopping means joining threads and file work, which is the worker's.
    if (running_ && haltSink_) haltSink_->Notify(EC_USERABORT, 0, 0);
}

void ConvertEngine::ResetHalt() {
    std::lock_guard lock(haltMutex_);
    halted_ = false;
}

void ConvertEngine::SetItemError(int stringId) {
    if (currentItem) WriteField(currentItem->status, LoadString(stringId));
}

void ConvertEngine::SetItemError(int stringId, HRESULT cause) {
    if (stringId != IDS_DEST_WRITE_FAILED) return SetItemError(stringId);
    // The system's own words for what went wrong with the file.
    const std::string reason = std::system_category().message(ErrnoFromHResult(cause));
    char text[sizeof currentItem->status];
    std::snprintf(text, sizeof text, LoadString(stringId).c_str(), reason.c_str());
    if (currentItem) WriteField(currentItem->status, text);
}

int ConvertEngine::PreflightError() const {
    const ConvertItem& item = *currentItem;
    const std::string destination = DestinationFileName(item);
    // An album track reads its album's file.
    const std::string source = SourceFileOf(ReadField(item.sourcePath));
    if (HasFileSource(item) && !IsReadableFile(source)) return IDS_SOURCE_UNREADABLE;
    if (!IsDirectoryWritable(ReadField(item.destPath)) || !IsPlainFileName(ReadField(item.destName)) ||
        IsDirectory(destination))
        return IDS_DEST_FOLDER_UNUSABLE;
    if (HasFileSource(item) && IsSameFile(source, destination)) return IDS_DEST_IS_SOURCE;
    return 0;
}

bool ConvertEngine::EncoderNameFor(std::string& encoderName) {
    const std::string destType = ReadField(currentItem->destType);
    const auto open = destType.find('(');
    if (open == std::string::npos) {
        if (FindTypeFilter(shell(), destType, encoderName, registry())) return true;
    } else {
        encoderName = destType.substr(open + 1);
        if (!encoderName.empty()) encoderName.pop_back();
        // An empty name would match every compressor.
        if (!encoderName.empty()) return true;
    }
    SetItemError(IDS_DEST_TYPE_INVALID);
    return false;
}

bool ConvertEngine::ConvertCurrentItem() {
    if (const int error = PreflightError()) {
        SetItemError(error);
        return false;
    }
    std::string encoderName;
    if (!EncoderNameFor(encoderName)) return false;
    auto encoderInput = BuildDestination(DestinationFileName(*currentItem), encoderName);
    if (!encoderInput) return false;

    // The quality goes first, so that the decoder can convert straight to it while connecting.
    const bool qualityApplied = ApplyQuality(encoderFilter, currentItem->quality);
    const std::string statusBefore = ReadField(currentItem->status);
    if (auto output = BuildSourceChain(*currentItem)) {
        // A typed chain whose audio the encoder refuses would leave the sink waiting forever.
        if (FAILED(ConnectPins(output, encoderInput))) {
            SetItemError(IDS_SOURCE_INCOMPATIBLE);
            return false;
        }
    } else {
        BuildGenericSourceChain(*currentItem);
        if (!AttachGenericChain(encoderInput)) {
            // A failure must say so: when no chain left a reason, the file itself is the problem. A
            // file that no filter reads at all is not media, whatever type its name promised.
            const std::string status = ReadField(currentItem->status);
            if (status == statusBefore ||
                (status == LoadString(IDS_SOURCE_INCOMPATIBLE) && analyzer.filterList.size() < 2))
                SetItemError(analyzer.OnlyVideo() ? IDS_SOURCE_NO_AUDIO : IDS_SOURCE_DAMAGED);
            return false;
        }
    }

    if (!qualityApplied && !SettleQuality()) return false;
    return RunGraph() && RecordingWasWhole();
}

bool ConvertEngine::RecordingWasWhole() {
    const auto capture = QueryInterface<ICaptureStatus>(captureFilter);
    if (!capture) return true;
    if (!capture->EndReason().empty()) {
        SetItemError(IDS_CAPTURE_DEVICE_LOST);
        return false;
    }
    if (capture->DroppedFrames() > 0) {
        SetItemError(IDS_CAPTURE_OVERRUN);
        return false;
    }
    return true;
}

bool ConvertEngine::AttachGenericChain(const std::shared_ptr<IPin>& encoderInput) {
    for (;;) {
        if (SUCCEEDED(ConnectPins(DetachLastOutput(), encoderInput))) return true;
        if (lastChainIndex <= 0) return false;
        --lastChainIndex;
    }
}

bool ConvertEngine::SettleQuality() {
    for (;;) {
        const InvalidQualityChoice choice = prompt_ ? prompt_->AskInvalidQuality() : InvalidQualityChoice::SkipItem;
        if (choice == InvalidQualityChoice::UseEncoderDefault) return true;
        if (choice == InvalidQualityChoice::SkipItem) {
            SetItemError(IDS_DEST_QUALITY_INVALID);
            return false;
        }
        const auto chosen = prompt_->AskQuality(*currentItem, encoderFilter);
        if (!chosen) {
            SetItemError(IDS_DEST_QUALITY_INVALID);
            return false;
        }
        currentItem->quality = *chosen;
        if (ApplyQuality(encoderFilter, currentItem->quality)) return true;
    }
}

int ConvertEngine::RunFailureText(HRESULT hr) const {
    if (ErrnoFromHResult(hr)) return IDS_DEST_WRITE_FAILED;
    if (hr == E_ACCESSDENIED) return IDS_DEST_FOLDER_UNUSABLE;
    if (hr == VFW_E_INVALID_FILE_FORMAT || hr == VFW_E_UNKNOWN_FILE_TYPE || hr == VFW_E_UNSUPPORTED_STREAM ||
        hr == E_FILE_NOT_FOUND || hr == STG_E_READFAULT)
        return IDS_SOURCE_DAMAGED;
    return IDS_DEST_QUALITY_INVALID;
}

std::int64_t ConvertEngine::CountSkippedPackets() const {
    std::shared_ptr<IEnumFilters> filters;
    if (!graph || FAILED(graph->EnumFilters(filters)) || !filters) return 0;
    std::int64_t skipped = 0;
    for (const auto& filter : filters->All())
        if (const auto counter = QueryInterface<IDamagedDataCount>(filter)) skipped += counter->SkippedPackets();
    return skipped;
}

bool ConvertEngine::RunGraph() {
    auto output = GetPin(encoderFilter, PINDIR_OUTPUT, 0);
    if (!output || FAILED(builder->Render(output))) {
        SetItemError(IDS_DEST_QUALITY_INVALID);
        return false;
    }
    {
        std::lock_guard lock(haltMutex_);
        if (halted_) return true;  // stopped before it could start
        if (const HRESULT hr = control->Run(); FAILED(hr)) {
            SetItemError(ErrnoFromHResult(hr) ? IDS_DEST_WRITE_FAILED : IDS_DEST_QUALITY_INVALID, hr);
            return false;
        }
        running_ = true;
        haltSink_ = builder->EventSink();
    }
    progress.Attach(position, media::QueryInterface<media::IAudioLevels>(encoderFilter));
    long eventCode = 0;
    const HRESULT waited = events->WaitForCompletion(INFINITE, eventCode);
    skippedPackets = CountSkippedPackets();
    if (waited == VFW_E_WRONG_STATE) return true;
    if (SUCCEEDED(waited) && eventCode == EC_USERABORT) {
        // Stopped: streaming ends now; CloseItem settles the file.
        control->Pause();
        return true;
    }
    if (FAILED(waited)) {
        if (!ReportDiscProblem()) SetItemError(RunFailureText(waited), waited);
        return false;
    }
    if (FAILED(control->StopWhenReady())) {
        SetItemError(IDS_DEST_QUALITY_INVALID);
        return false;
    }
    return true;
}

}  // namespace tessival
