#pragma once

#include <atomic>
#include <string>

#include "platform/media/FilterRegistry.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/RendererFilter.h"
#include "platform/media/filters/UniqueFd.h"

namespace tessival::media {

// "File Writer": writes the byte stream it receives (each sample at the offset in its start
// time) to the file named by SetFileName. An existing file there is replaced only by a
// finished result: the bytes go to a temporary file beside it, renamed into place at the end
// of the stream or when the graph is stopped; when the graph fails the temporary file is
// removed and the older file stays as it was.
class FileWriter : public RendererFilter, public IFileSinkFilter2, public IStreamAbortSink {
public:
    FileWriter();
    ~FileWriter() override;
    static FilterEntry Entry();

    HRESULT SetFileName(const std::string& path, const MediaType* type) override;
    HRESULT GetCurFile(std::string& path, MediaType* type) const override;
    HRESULT SetMode(std::uint32_t flags) override;
    HRESULT GetMode(std::uint32_t& flags) const override;
    void OnStreamAborted(HRESULT reason) override;

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT Render(MediaSample& sample) override;
    HRESULT Finish() override;
    HRESULT OnPrepare() override;
    void OnRelease() override;

private:
    HRESULT OpenTemporary();
    HRESULT Commit();
    void Discard();

    std::string path_;
    std::string temporary_;
    std::uint32_t mode_ = 0;
    UniqueFd fd_;
    std::int64_t end_ = 0;
    std::atomic<bool> failed_{false};
};

}  // namespace tessival::media
