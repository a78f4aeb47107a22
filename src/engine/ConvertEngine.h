#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/GraphToolkit.h"
#include "engine/RunProgress.h"
#include "engine/RunView.h"
#include "engine/SourceAnalyzer.h"
#include "joblist/ConvertItem.h"

namespace tessival {

// Converts one item at a time: builds the destination (sink and encoder) and the source chain in
// a fresh graph, applies the item's quality, runs the graph to its end and reports failures as
// string-table texts in the item's status.
//
// Every operation but HaltGraph runs on the conversion worker thread. HaltGraph may come from
// another thread at any moment of a run.
// destPath and destName joined with "/", as they stand.
std::string DestinationFileName(const ConvertItem& item);

class ConvertEngine : public GraphToolkit {
public:
    static constexpr int kChainSlots = 20;

    explicit ConvertEngine(Shell& shell,
                           std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

    // The user's answers when the encoder refuses the item's quality; null answers "skip".
    void SetQualityPrompt(QualityPrompt* prompt) { prompt_ = prompt; }

    void OpenForItem(ConvertItem& item);
    bool ConvertCurrentItem();
    bool RunGraph();
    // Stops the item's graph, which settles its output file, and releases it.
    void CloseItem();
    // Asks the running graph to stop and returns: the worker stops it and settles the file. A
    // graph not yet running will not start. Cleared by ResetHalt. Safe from any thread.
    void HaltGraph();
    void ResetHalt();
    void SetItemError(int stringId);
    // As above; a text with "%s" takes the system's reason for the failure `cause`.
    void SetItemError(int stringId, media::HRESULT cause);

    // Source chains.
    std::shared_ptr<media::IPin> BuildSourceChain(ConvertItem& item);
    bool BuildGenericSourceChain(ConvertItem& item);
    std::shared_ptr<media::IPin> DetachLastOutput();
    media::HRESULT ConnectPins(const std::shared_ptr<media::IPin>& output, const std::shared_ptr<media::IPin>& input);

    // Destination chain: the encoder's first input pin, or null (text 137).
    std::shared_ptr<media::IPin> BuildDestination(const std::string& fileName, const std::string& encoderName);

    std::array<std::shared_ptr<media::IBaseFilter>, kChainSlots> chain;
    int lastChainIndex = -1;
    std::shared_ptr<media::IBaseFilter> captureFilter;
    std::shared_ptr<media::IBaseFilter> encoderFilter;
    std::shared_ptr<media::IFileSourceFilter> fileSource;
    std::string sourceFile;
    std::vector<std::string> chainNames;
    ConvertItem* currentItem = nullptr;
    SourceAnalyzer analyzer;
    // Position and levels of the running graph, for displays on other threads.
    RunProgress progress;
    // Where the last closed item's stopped output went when an older file had its name, else empty.
    std::string stoppedOutputBeside;
    // Undecodable pieces the current item's decoders skipped (known once its graph has run).
    std::int64_t skippedPackets = 0;

private:
    // Checks that protect the user's files before any graph is built; a string id or 0.
    int PreflightError() const;
    bool EncoderNameFor(std::string& encoderName);
    // The muxer of a file type and "File Writer", with the source's tags.
    void AddFileTypeSink(const std::string& fileName, const char* sinkName);
    void GiveSourceTags(const std::shared_ptr<media::IBaseFilter>& sink);
    bool AttachGenericChain(const std::shared_ptr<media::IPin>& encoderInput);
    bool SettleQuality();
    // A recording that lost audio (the device went away, or the chain fell behind) says so.
    bool RecordingWasWhole();
    int RunFailureText(media::HRESULT hr) const;
    // Writes what went wrong with the item's CD track, if anything did; true when it wrote.
    bool ReportDiscProblem();
    std::int64_t CountSkippedPackets() const;

    // Typed chains.
    std::shared_ptr<media::IPin> BuildWindowsMediaChain(ConvertItem& item);
    std::shared_ptr<media::IPin> BuildWindowsMediaFallback();
    std::shared_ptr<media::IPin> BuildFileChain(const std::vector<std::string>& names, bool trySecondSplitterOutput);
    std::shared_ptr<media::IPin> BuildCdTrackChain(ConvertItem& item);
    std::shared_ptr<media::IPin> BuildCaptureChain(ConvertItem& item);
    std::shared_ptr<media::IPin> Out(int slot, int index);
    std::shared_ptr<media::IPin> In(int slot);
    bool AddFileSource(const std::string& sourceFilterName);
    std::shared_ptr<media::IFileSourceFilter> LoadNamedSource(int slot, const std::string& name, const std::string& path);

    QualityPrompt* prompt_ = nullptr;
    std::mutex haltMutex_;
    bool halted_ = false;   // guarded by haltMutex_
    bool running_ = false;  // guarded by haltMutex_
    std::shared_ptr<media::IMediaEventSink> haltSink_;  // guarded by haltMutex_; the running graph's
};

}  // namespace tessival
