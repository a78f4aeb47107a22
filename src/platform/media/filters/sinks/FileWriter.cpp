#include "platform/media/filters/sinks/FileWriter.h"

#include <unistd.h>

#include <cerrno>

namespace tessival::media {
namespace {

constexpr int kStoppedNameTries = 100;
constexpr std::int64_t kWritebackBytes = 2 << 20;

HRESULT OpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR: return E_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return E_ACCESSDENIED;
    default: return HResultFromErrno(error);
    }
}

}  // namespace

std::string StoppedOutputName(const std::string& path, int attempt) { return TaggedName(path, "stopped", attempt); }

FileWriter::FileWriter() : RendererFilter(CLSID_FileWriter, "in") {}

HRESULT FileWriter::SetFileName(const std::string& path, const MediaType*) {
    if (path.empty()) return E_INVALIDARG;
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    path_ = path;
    return S_OK;
}

HRESULT FileWriter::GetCurFile(std::string& path, MediaType* type) const {
    path = path_;
    if (type) *type = MediaType{};
    return path_.empty() ? E_FAIL : S_OK;
}

HRESULT FileWriter::SetMode(std::uint32_t flags) {
    mode_ = flags;
    return S_OK;
}

HRESULT FileWriter::GetMode(std::uint32_t& flags) const {
    flags = mode_;
    return S_OK;
}

void FileWriter::OnStreamAborted(HRESULT) { failed_ = true; }

HRESULT FileWriter::CheckInput(const MediaType& type) const {
    return type.majorType == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT FileWriter::OnPrepare() {
    const HRESULT hr = RendererFilter::OnPrepare();
    if (FAILED(hr)) return hr;
    if (path_.empty()) return E_UNEXPECTED;
    failed_ = false;
    started_ = false;
    end_ = 0;
    writebackFrom_ = 0;
    keptBeside_.clear();
    pending_.reset();
    const int error = file_.Open(path_);
    return error ? OpenError(error) : S_OK;
}

HRESULT FileWriter::OnStart() {
    started_ = true;
    return S_OK;
}

HRESULT FileWriter::Render(MediaSample& sample) {
    if (!file_.IsOpen()) return E_UNEXPECTED;
    const std::int64_t offset = sample.start >= 0 ? sample.start : end_;
    std::size_t done = 0;
    while (done < sample.data.size()) {
        const ssize_t put = ::pwrite(file_.Fd(), sample.data.data() + done, sample.data.size() - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            return HResultFromErrno(put < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(put);
    }
    end_ = std::max(end_, offset + static_cast<std::int64_t>(done));
    // The disk writes a long output while it is converted, not all of it at the commit.
    if (end_ - writebackFrom_ >= kWritebackBytes) {
        file_.StartWriteback(writebackFrom_, end_ - writebackFrom_);
        writebackFrom_ = end_;
    }
    return S_OK;
}

HRESULT FileWriter::Finish() {
    if (failed_) {
        file_.Discard();
        return E_FAIL;
    }
    if (committer_) {
        pending_ = committer_->Submit(std::move(file_));
        return S_OK;
    }
    const int error = file_.Commit();
    return error ? HResultFromErrno(error) : S_OK;
}

void FileWriter::OnRelease() {
    if (!file_.IsOpen()) return;
    // Only a stop of a running graph keeps a partial output; a graph that failed to start or to
    // run, or never ran, leaves nothing.
    if (failed_ || !started_) {
        file_.Discard();
        return;
    }
    KeepStopped();
}

void FileWriter::KeepStopped() {
    for (int attempt = 0; attempt < kStoppedNameTries; ++attempt) {
        const std::string name = attempt == 0 ? path_ : StoppedOutputName(path_, attempt);
        const int error = file_.CommitNew(name);
        if (error == EEXIST) continue;
        if (error == 0 && attempt > 0) keptBeside_ = name;
        return;
    }
    file_.Discard();
}

FilterEntry FileWriter::Entry() {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_FileWriter, "File Writer", MERIT_DO_NOT_USE,
                           {MediaTypePattern(MEDIATYPE_Stream)}, [] { return std::make_shared<FileWriter>(); });
}

}  // namespace tessival::media
