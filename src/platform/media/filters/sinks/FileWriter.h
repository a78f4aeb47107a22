#pragma once

#include <atomic>
#include <string>

#include "platform/io/AtomicFile.h"
#include "platform/media/IDeferredCommit.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/RendererFilter.h"

namespace tessival::media {

// "File Writer": writes the byte stream it receives (each sample at the offset in its start
// time) to the file named by SetFileName. The bytes go to a temporary file beside it, which
// replaces the destination only at a clean end of the stream. A graph stopped while it runs
// keeps what was written: under the destination's name when no file has it, else beside the
// older file as "NAME (stopped).EXT". A graph that fails, or stops without having run, leaves
// no file and an older one as it was. With a committer (CommitThrough), the end of the stream
// hands the finished file to it instead of syncing it here.
class FileWriter : public RendererFilter,
                   public IFileSinkFilter2,
                   public IStreamAbortSink,
                   public IStoppedOutputSink,
                   public IDeferredCommit {
public:
    FileWriter();
    static FilterEntry Entry();

    HRESULT SetFileName(const std::string& path, const MediaType* type) override;
    HRESULT GetCurFile(std::string& path, MediaType* type) const override;
    HRESULT SetMode(std::uint32_t flags) override;
    HRESULT GetMode(std::uint32_t& flags) const override;
    void OnStreamAborted(HRESULT reason) override;
    // Read it on the thread that stopped the graph.
    std::string OutputKeptBeside() const override { return keptBeside_; }
    void CommitThrough(std::shared_ptr<GroupCommitter> committer) override { committer_ = std::move(committer); }
    // Read it on the thread that stopped the graph.
    std::shared_ptr<PendingCommit> TakePendingCommit() override { return std::move(pending_); }

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT Render(MediaSample& sample) override;
    HRESULT Finish() override;
    HRESULT OnPrepare() override;
    HRESULT OnStart() override;
    void OnRelease() override;

private:
    void KeepStopped();

    std::string path_;
    std::uint32_t mode_ = 0;
    AtomicFile file_;
    std::int64_t end_ = 0;
    std::int64_t writebackFrom_ = 0;  // where the bytes not yet sent to the disk begin
    std::atomic<bool> failed_{false};
    bool started_ = false;
    std::string keptBeside_;
    std::shared_ptr<GroupCommitter> committer_;
    std::shared_ptr<PendingCommit> pending_;
};

// The name a stopped output takes beside an older file: "NAME (stopped).EXT" for the first try,
// "NAME (stopped 2).EXT" for the second, and so on.
std::string StoppedOutputName(const std::string& path, int attempt);

}  // namespace tessival::media
