#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/CoreBudget.h"
#include "engine/GraphToolkit.h"
#include "engine/RunProgress.h"
#include "engine/RunView.h"
#include "engine/SourceAnalyzer.h"
#include "engine/ThreadOwner.h"
#include "engine/conversion/ConversionOutcome.h"
#include "engine/conversion/HaltSwitch.h"
#include "joblist/ConvertItem.h"
#include "platform/io/GroupCommitter.h"

namespace tessival {

// What a conversion borrows from the engine that runs it. Every member outlives the conversion.
struct ConversionServices {
    Shell& shell;
    std::shared_ptr<const media::FilterRegistry> registry;
    QualityPrompt* prompt;  // null answers "skip"
    HaltSwitch& halt;
    RunProgress& progress;
    // Takes finished outputs and commits many together; null commits each as its stream ends.
    std::shared_ptr<GroupCommitter> committer = nullptr;
    // Cores free for a second thread; null keeps every item on one thread.
    std::shared_ptr<CoreBudget> cores = nullptr;
};

// One item's conversion: builds the destination (sink and encoder) and the source chain in a
// graph of its own, applies the item's quality, runs the graph to its end and says how it ended.
//
// Ownership: the conversion owns its graph (opened by the constructor, stopped and released by
// the destructor), every filter of its chain, and its own copy of the item. Nothing it hands out
// points into the graph past the conversion's life.
//
// Threads (checked in Run): one thread (the run's worker) creates, runs and destroys a conversion.
// Only the engine's HaltSwitch and RunProgress, which it borrows, are reached from other threads.
class ItemConversion {
public:
    static constexpr int kChainSlots = 20;

    ItemConversion(const ConvertItem& item, ConversionServices services);
    ~ItemConversion();
    ItemConversion(const ItemConversion&) = delete;
    ItemConversion& operator=(const ItemConversion&) = delete;

    // Converts the item once, to its end or to a halt, and stops the graph, which settles the
    // output file, or hands it to the committer (the outcome's commit). The outcome is the
    // caller's value.
    ConversionOutcome Run();

    // The item as converted: the quality the user chose meanwhile, if any. Borrowed; valid while
    // the conversion lives.
    const ConvertItem& Item() const { return item_; }
    // The graph, to look at what was built. Borrowed; released with the conversion.
    media::FilterGraph& Graph() { return toolkit_.Graph(); }
    // The filter names of the generic chain, read from the file's test rendering.
    const std::vector<std::string>& GenericChainNames() const { return chainNames_; }
    // The last filter of the generic chain that was built; -1 when none was.
    int LastChainSlot() const { return lastSlot_; }
    // What the test rendering of the source showed; empty unless the generic chain was tried.
    const SourceAnalysis& Analysis() const { return analysis_; }

private:
    bool Build();
    bool BuildSourceAndConnect(const std::shared_ptr<media::IPin>& encoderInput);
    bool EncoderName(std::string& encoderName);
    bool SettleQuality();
    bool StartAndWait();
    // An output that reaches its end with little or none of its source's audio is discarded.
    void GuardEarlyEnd();
    // A long item encodes on a core of its own while its source is read and decoded on another.
    void UseSecondCore();
    bool RecordingWasWhole();
    void Settle();
    // Notes why the item failed; a later reason replaces an earlier one.
    void Fail(int stringId, media::HRESULT cause = media::S_OK);
    int RunFailureText(media::HRESULT hr) const;
    // The file a file item reads; empty for other sources.
    std::string SourceFile() const;
    // Not a media file, or a damaged one, as far as the source's own bytes tell.
    int UnreadableSourceText() const;
    // Fails with what is wrong with the source's file: a codec this computer has no decoder for
    // (named), or UnreadableSourceText.
    void FailUnreadableSource();
    // The source's channel count when it is more than the encoder's quality gives, else 0.
    int ChannelsBeyondQuality();
    bool ReportDiscProblem();
    void RecordDiscRip();
    std::int64_t CountSkippedPackets();
    // Loudness: measured (and normalised) at the encoder's input, tagged once the file is done.
    bool AttachLoudness();
    bool NormalizingFactor(double target, double ceiling, double& factor);
    void TagLoudness();
    void KeepLoudnessReading();

    // Destination half.
    std::shared_ptr<media::IPin> BuildDestination(const std::string& fileName, const std::string& encoderName);
    void AddFileTypeSink(const std::string& fileName, const char* sinkName);
    void GiveSourceTags(const std::shared_ptr<media::IBaseFilter>& sink);

    // Source half: a typed chain by source type, else the generic chain.
    std::shared_ptr<media::IPin> BuildTypedChain();
    std::shared_ptr<media::IPin> BuildWindowsMediaChain();
    std::shared_ptr<media::IPin> BuildWindowsMediaFallback();
    std::shared_ptr<media::IPin> BuildFileChain(const std::vector<std::string>& names, bool trySecondSplitterOutput);
    std::shared_ptr<media::IPin> BuildCdTrackChain();
    std::shared_ptr<media::IPin> BuildCaptureChain();
    bool BuildGenericChain();
    void ConnectGenericChain(int splitter);
    bool AttachGenericChain(const std::shared_ptr<media::IPin>& encoderInput);
    std::shared_ptr<media::IPin> DetachLastOutput();
    media::HRESULT ConnectPins(const std::shared_ptr<media::IPin>& output, const std::shared_ptr<media::IPin>& input);
    std::shared_ptr<media::IPin> Out(int slot, int index);
    std::shared_ptr<media::IPin> In(int slot);
    // A filter of the graph by its name; a name this computer has no filter of is remembered, as
    // only that makes a source "unsupported".
    std::shared_ptr<media::IBaseFilter> AddNamedFilter(const std::string& name);
    bool AddFileSource(const std::string& sourceFilterName);
    std::shared_ptr<media::IFileSourceFilter> LoadNamedSource(int slot, const std::string& name);

    ConversionServices services_;
    ConvertItem item_;
    const SourceLocation source_;  // the item's source path, read once
    GraphToolkit toolkit_;  // the graph: opened here, closed by its destructor
    SourceAnalysis analysis_;
    std::array<std::shared_ptr<media::IBaseFilter>, kChainSlots> chain_;
    int lastSlot_ = -1;
    std::vector<std::string> chainNames_;
    bool filterMissing_ = false;
    std::shared_ptr<media::IBaseFilter> captureFilter_;
    std::shared_ptr<media::IBaseFilter> encoderFilter_;
    std::shared_ptr<media::IFileSourceFilter> fileSource_;
    std::shared_ptr<class ItemLoudness> loudness_;  // null unless loudness is wanted
    ConversionOutcome outcome_;
    CoreBudget::Lease secondCore_;  // returned once the graph, stopped, has joined its threads
    ThreadOwner thread_;
};

}  // namespace tessival
