#include "platform/media/filters/FileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace tessival::media {
namespace {

HRESULT OpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR: return E_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return E_ACCESSDENIED;
    case ENOSPC: return STG_E_MEDIUMFULL;
    default: return E_FAIL;
    }
}

HRESULT WriteError(int error) { return error == ENOSPC || error == EDQUOT ? STG_E_MEDIUMFULL : STG_E_WRITEFAULT; }

}  // namespace

FileWriter::FileWriter() : RendererFilter(CLSID_FileWriter, "in") {}

FileWriter::~FileWriter() {
    if (fd_.Valid()) Discard();
}

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
    end_ = 0;
    return OpenTemporary();
}

HRESULT FileWriter::OpenTemporary() {
    // Beside the destination, so the final rename stays on one file system.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".part-%08x", random());
        const std::string candidate = path_ + suffix;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = UniqueFd(fd);
            temporary_ = candidate;
            return S_OK;
        }
        if (errno != EEXIST) return OpenError(errno);
    }
    return E_FAIL;
}

HRESULT FileWriter::Render(MediaSample& sample) {
    if (!fd_.Valid()) return E_UNEXPECTED;
    const std::int64_t offset = sample.start >= 0 ? sample.start : end_;
    std::size_t done = 0;
    while (done < sample.data.size()) {
        const ssize_t put = ::pwrite(fd_.Get(), sample.data.data() + done, sample.data.size() - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            return WriteError(put < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(put);
    }
    end_ = std::max(end_, offset + static_cast<std::int64_t>(done));
    return S_OK;
}

HRESULT FileWriter::Finish() {
    if (failed_) {
        Discard();
        return E_FAIL;
    }
    return Commit();
}

void FileWriter::OnRelease() {
    if (!fd_.Valid()) return;
    // Stopped: what was written is kept, unless the graph failed.
    if (failed_)
        Discard();
    else
        Commit();
}

HRESULT FileWriter::Commit() {
    const bool closed = fd_.Close();
    if (!closed || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const HRESULT hr = closed ? OpenError(errno) : STG_E_WRITEFAULT;
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return hr;
    }
    temporary_.clear();
    return S_OK;
}

void FileWriter::Discard() {
    fd_.Close();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

FilterEntry FileWriter::Entry() {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_FileWriter, "File Writer", MERIT_DO_NOT_USE,
                           {MediaTypePattern(MEDIATYPE_Stream)}, [] { return std::make_shared<FileWriter>(); });
}

}  // namespace tessival::media
