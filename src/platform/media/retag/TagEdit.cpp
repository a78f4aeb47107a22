#include "platform/media/retag/TagEdit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/io/AtomicFile.h"
#include "platform/io/UniqueFd.h"

namespace tessival::media {
namespace {

bool SameText(const std::string& a, const std::string& b, std::size_t length) {
    if (a.size() < length || b.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

int ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) return errno;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return errno;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got < 0 ? errno : EIO;
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

int WriteWhole(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return put < 0 ? errno : EIO;
        bytes = bytes.subspan(static_cast<std::size_t>(put));
    }
    return 0;
}

bool Begins(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* text) {
    const std::size_t length = std::strlen(text);
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}

}  // namespace

bool TagEdit::Drops(const std::string& key) const {
    for (const auto& [name, value] : set)
        if (name.size() == key.size() && SameText(name, key, key.size())) return true;
    return std::any_of(dropPrefixes.begin(), dropPrefixes.end(),
                       [&key](const std::string& prefix) { return SameText(prefix, key, prefix.size()); });
}

TagContainer ProbeTagContainer(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::vector<std::uint8_t> head(64);
    const ssize_t got = fd.Valid() ? ::read(fd.Get(), head.data(), head.size()) : -1;
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (Begins(head, 0, "fLaC")) return TagContainer::Flac;
    // The first page holds the codec's identification packet alone.
    if (Begins(head, 0, "OggS") && head.size() > 27) {
        const std::size_t packet = 27 + head[26];
        if (Begins(head, packet, "OpusHead")) return TagContainer::OggOpus;
        if (Begins(head, packet, "\x01vorbis")) return TagContainer::OggVorbis;
        return TagContainer::Unknown;
    }
    if (Begins(head, 4, "ftyp")) return TagContainer::M4a;
    if (Begins(head, 0, "ID3") || (head.size() > 1 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0))
        return TagContainer::Mp3;
    return TagContainer::Unknown;
}

int RewriteTags(const std::string& path, const TagEdit& edit) {
    const TagContainer container = ProbeTagContainer(path);
    if (container == TagContainer::Unknown) return ENOTSUP;
    std::vector<std::uint8_t> file;
    if (const int error = ReadWhole(path, file)) return error;
    std::vector<std::uint8_t> out;
    const bool parsed = container == TagContainer::Flac  ? RetagFlac(file, edit, out)
                        : container == TagContainer::Mp3 ? RetagMp3(file, edit, out)
                        : container == TagContainer::M4a ? RetagM4a(file, edit, out)
                                                         : RetagOgg(file, edit, out);
    if (!parsed) return EBADMSG;
    AtomicFile replacement;
    if (const int error = replacement.Open(path)) return error;
    if (const int error = WriteWhole(replacement.Fd(), out)) return error;
    return replacement.Commit();
}

}  // namespace tessival::media
