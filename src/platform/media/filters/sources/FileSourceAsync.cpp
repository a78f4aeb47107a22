#include "platform/media/filters/sources/FileSourceAsync.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/media/filters/sources/StreamSniffer.h"

namespace tessival::media {

class FileSourceAsync::ReaderPin : public OutputPin, public IAsyncReader {
public:
    ReaderPin(BaseFilter& owner) : OutputPin(owner, "Output") {}

    HRESULT Open(const std::string& path) {
        // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        struct stat info {};
        if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0) return errno == ENOENT ? E_FILE_NOT_FOUND : E_ACCESSDENIED;
        if (!S_ISREG(info.st_mode)) return E_ACCESSDENIED;
        fd_ = std::move(fd);
        length_ = info.st_size;
        return S_OK;
    }

    HRESULT SyncRead(std::int64_t position, std::int32_t length, std::uint8_t* buffer,
                     std::int32_t* bytesRead) override {
        if (bytesRead) *bytesRead = 0;
        if (!fd_.Valid()) return E_UNEXPECTED;
        if (position < 0 || length < 0 || (length > 0 && !buffer)) return E_INVALIDARG;
        std::int32_t done = 0;
        while (done < length) {
            const ssize_t got = ::pread(fd_.Get(), buffer + done, static_cast<std::size_t>(length - done),
                                        static_cast<off_t>(position + done));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return STG_E_READFAULT;
            // The file was shorter when it was opened: it is being cut while we read it.
            if (got == 0 && position + done < length_) return STG_E_READFAULT;
            if (got == 0) break;
            done += static_cast<std::int32_t>(got);
        }
        if (bytesRead) *bytesRead = done;
        return done == length ? S_OK : S_FALSE;
    }

    HRESULT Length(std::int64_t& total, std::int64_t& available) override {
        total = available = length_;
        return fd_.Valid() ? S_OK : E_UNEXPECTED;
    }

private:
    UniqueFd fd_;
    std::int64_t length_ = 0;
};

FileSourceAsync::FileSourceAsync() : BaseFilter(CLSID_AsyncReader), output_(AddPin<ReaderPin>()) {}

HRESULT FileSourceAsync::Load(const std::string& path, const MediaType* type) {
    if (!path_.empty()) return E_UNEXPECTED;
    // A given type (an album track's range) is offered as it is; the splitter cuts the track out.
    HRESULT hr = output_.Open(path);
    if (FAILED(hr)) return hr;
    std::uint8_t head[64] = {};
    std::int32_t got = 0;
    hr = output_.SyncRead(0, sizeof head, head, &got);
    if (FAILED(hr)) return hr;
    path_ = path;
    if (type)
        type_ = *type;
    else
        type_ = MediaType::Stream(SniffStreamSubtype({head, static_cast<std::size_t>(got)}));
    return S_OK;
}

HRESULT FileSourceAsync::GetCurFile(std::string& path, MediaType* type) const {
    path = path_;
    if (type) *type = type_;
    return path_.empty() ? E_FAIL : S_OK;
}

HRESULT FileSourceAsync::GetMediaTypes(const BasePin&, std::vector<MediaType>& types) const {
    if (!path_.empty()) types.push_back(type_);
    return S_OK;
}

HRESULT FileSourceAsync::CheckOutputType(const BasePin&, const MediaType& type) const {
    return !path_.empty() && type.majorType == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

FilterEntry FileSourceAsync::Entry() {
    FilterEntry entry = MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_AsyncReader, "File Source (Async.)",
                                        MERIT_UNLIKELY, {}, [] { return std::make_shared<FileSourceAsync>(); });
    // The reader of last resort: it opens any file and lets the parser behind it judge.
    entry.opensFile = [](const std::string&, std::span<const std::uint8_t>) { return true; };
    return entry;
}

}  // namespace tessival::media
