#pragma once

// What the fuzz targets share: a folder of their own for files, and a check that stops the
// target loudly so that libFuzzer (or the replay) records the input.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tessival::fuzz {

// Fails the input: a broken rule counts as a crash.
[[noreturn]] inline void Broken(const char* rule) {
    std::fprintf(stderr, "rule broken: %s\n", rule);
    std::abort();
}

inline void Require(bool holds, const char* rule) {
    if (!holds) Broken(rule);
}

// A private folder under the system's temporary folder for the process's life.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessival-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Empties the folder between inputs.
    void Clear() const {
        for (const auto& entry : std::filesystem::directory_iterator(path_)) std::filesystem::remove_all(entry.path());
    }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tessival::fuzz
