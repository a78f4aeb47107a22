#include "platform/devices/DiscLayout.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "platform/io/UniqueFd.h"

namespace tessival {
namespace {

// Windows-1252's 0x80-0x9F; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra > 0 && (c < 0xC2 || i + extra >= text.size()))) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        i += 1 + extra;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::int32_t DiscLayout::EndSector() const {
    if (segments.empty()) return 0;
    const Segment& last = segments.back();
    return static_cast<std::int32_t>((last.discStart + last.length + kSectorBytes - 1) / kSectorBytes);
}

std::string SheetTextToUtf8(const std::string& bytes) {
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
    if (IsUtf8(bytes)) return bytes;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return out;
}

}  // namespace tessival

namespace tessival {
namespace {

// Opens a regular file for reading; errno-style result.
int OpenRegular(const std::string& path, UniqueFd& fd) {
    fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) return errno;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return errno;
    return S_ISREG(info.st_mode) ? 0 : ENOENT;
}

}  // namespace

DiscProblem ReadSheetFile(const std::string& path, std::string& bytes) {
    DiscProblem problem;
    problem.source = path;
    UniqueFd fd;
    const int error = OpenRegular(path, fd);
    if (error) {
        problem.kind = error == EACCES || error == EPERM ? DiscProblem::Kind::NoPermission
                                                         : DiscProblem::Kind::ImageMissing;
        problem.detail = std::filesystem::path(path).filename().string();
        return problem;
    }
    char buffer[65536];
    ssize_t got;
    while ((got = ::read(fd.Get(), buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    if (got < 0) problem.kind = DiscProblem::Kind::BadImage;
    return problem;
}

DiscProblem CheckImageFile(const std::string& path, const std::string& name) {
    DiscProblem problem;
    UniqueFd fd;
    const int error = OpenRegular(path, fd);
    if (error) {
        problem.kind = error == EACCES || error == EPERM ? DiscProblem::Kind::NoPermission
                                                         : DiscProblem::Kind::DataFileMissing;
        problem.detail = name;
    }
    return problem;
}

}  // namespace tessival
