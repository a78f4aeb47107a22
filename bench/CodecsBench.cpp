// Conversion speed against the ffmpeg tool on the same files in the same run: a ten-minute MP3
// to "MPEG Layer-3" 128 kbps stereo, and a ten-minute WMA to PCM 22050 Hz, through the same
// chains the program builds (source, splitter, decoder, compressor, "WAV Dest", "File Writer").
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/media/FilterGraph.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"

namespace {

using namespace tessival::media;

bool Run(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Seconds(const std::function<bool()>& work, bool& ok) {
    const auto start = std::chrono::steady_clock::now();
    ok = work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::shared_ptr<IBaseFilter> Add(FilterGraph& graph, const Guid& category, const std::string& name) {
    for (const FilterEntry& entry : graph.Registry()->Entries(category)) {
        if (entry.friendlyName != name) continue;
        auto filter = entry.factory();
        return SUCCEEDED(graph.AddFilter(filter, name)) ? filter : nullptr;
    }
    return nullptr;
}

std::shared_ptr<IPin> Pin(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction, int index = 0) {
    if (!filter) return nullptr;
    const auto pins = PinsOf(*filter, direction);
    return index < static_cast<int>(pins.size()) ? pins[index] : nullptr;
}

bool Join(FilterGraph& graph, const std::shared_ptr<IBaseFilter>& from, const std::shared_ptr<IBaseFilter>& to) {
    return SUCCEEDED(graph.ConnectDirect(Pin(from, PINDIR_OUTPUT), Pin(to, PINDIR_INPUT), nullptr));
}

bool SetFormat(const std::shared_ptr<IBaseFilter>& encoder, std::uint32_t rate, std::uint16_t channels,
               std::uint32_t avgBytes, std::uint16_t bits) {
    auto config = QueryInterface<IAMStreamConfig>(Pin(encoder, PINDIR_OUTPUT));
    int count = 0, size = 0;
    if (!config || FAILED(config->GetNumberOfCapabilities(count, size))) return false;
    for (int i = 0; i < count; ++i) {
        MediaType type;
        config->GetStreamCaps(i, type, nullptr);
        const WAVEFORMATEX& w = *type.WaveFormat();
        if (w.nSamplesPerSec == rate && w.nChannels == channels && w.nAvgBytesPerSec == avgBytes && w.wBitsPerSample == bits)
            return SUCCEEDED(config->SetFormat(type));
    }
    return false;
}

// The sink pair and the compressor; the source chain is added by the caller and ends in `last`.
struct Conversion {
    std::shared_ptr<FilterGraph> graph = CreateFilterGraph();
    std::shared_ptr<IBaseFilter> encoder;

    Conversion(const std::string& dest, const std::string& compressor) {
        std::shared_ptr<IBaseFilter> wavDest, writer;
        graph->Registry()->CreateInstance(CLSID_WavDest, wavDest);
        graph->Registry()->CreateInstance(CLSID_FileWriter, writer);
        graph->AddFilter(wavDest, "WAV Dest");
        graph->AddFilter(writer, "File Writer");
        if (auto sink = QueryInterface<IFileSinkFilter2>(writer)) sink->SetFileName(dest, nullptr);
        encoder = Add(*graph, CLSID_AudioCompressorCategory, compressor);
    }

    bool Finish(const std::shared_ptr<IBaseFilter>& last) {
        if (!Join(*graph, last, encoder) || FAILED(graph->Render(Pin(encoder, PINDIR_OUTPUT))) || FAILED(graph->Run()))
            return false;
        long code = 0;
        const HRESULT hr = graph->WaitForCompletion(INFINITE, code);
        graph->Stop();
        return hr == S_OK;
    }
};

bool OursMp3(const std::string& source, const std::string& dest) {
    Conversion c(dest, "MPEG Layer-3");
    std::shared_ptr<IBaseFilter> reader;
    if (FAILED(c.graph->AddSourceFilter(source, source, reader))) return false;
    auto splitter = Add(*c.graph, CLSID_LegacyAmFilterCategory, "MPEG-I Stream Splitter");
    auto decoder = Add(*c.graph, CLSID_LegacyAmFilterCategory, "MPEG Layer-3 Decoder");
    if (!Join(*c.graph, reader, splitter) || !Join(*c.graph, splitter, decoder)) return false;
    if (!SetFormat(c.encoder, 44100, 2, 16000, 0)) return false;
    return c.Finish(decoder);
}

bool OursWma(const std::string& source, const std::string& dest) {
    Conversion c(dest, "PCM");
    auto reader = Add(*c.graph, CLSID_LegacyAmFilterCategory, "Windows Media source filter");
    auto loader = QueryInterface<IFileSourceFilter>(reader);
    if (!loader || FAILED(loader->Load(source, nullptr))) return false;
    auto handler = Add(*c.graph, CLSID_LegacyAmFilterCategory, "ASF ACM Handler");
    auto decoder = Add(*c.graph, CLSID_LegacyAmFilterCategory, "Windows Media Audio Decoder");
    auto wrapper = Add(*c.graph, CLSID_LegacyAmFilterCategory, "ACM Wrapper");
    if (!Join(*c.graph, reader, handler) || !Join(*c.graph, handler, decoder) || !Join(*c.graph, decoder, wrapper))
        return false;
    if (!SetFormat(c.encoder, 22050, 2, 88200, 16)) return false;
    return c.Finish(wrapper);
}

void Report(const char* what, double ours, double ffmpeg, bool ok) {
    std::printf("%-40s ours %7.2f s   ffmpeg %7.2f s   ratio %.3f%s\n", what, ours, ffmpeg, ours / ffmpeg,
                ok ? "" : "   (FAILED)");
}

}  // namespace

int main() {
    const std::string dir = (std::filesystem::temp_directory_path() / "tessival-codecs-bench").string();
    std::filesystem::create_directories(dir);
    const std::string mp3 = dir + "/long.mp3", wma = dir + "/long.wma";
    const std::string tone = "-f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=600' "
                             "-f lavfi -i 'anoisesrc=color=pink:sample_rate=44100:duration=600:amplitude=0.1' "
                             "-filter_complex '[0][1]amerge=inputs=2' -ac 2 ";
    if (!Run("ffmpeg -nostdin -v error -y " + tone + "-c:a libmp3lame -b:a 192k " + mp3) ||
        !Run("ffmpeg -nostdin -v error -y " + tone + "-c:a wmav2 -b:a 128k " + wma)) {
        std::fprintf(stderr, "could not make the ten-minute sources\n");
        return 1;
    }
    bool ok1 = false, ok2 = false, ok3 = false, ok4 = false;
    const double ffMp3 = Seconds(
        [&] { return Run("ffmpeg -nostdin -v error -y -i " + mp3 + " -c:a libmp3lame -b:a 128k -f wav " + dir + "/ff-mp3.wav"); },
        ok1);
    const double ourMp3 = Seconds([&] { return OursMp3(mp3, dir + "/our-mp3.wav"); }, ok2);
    const double ffWma = Seconds(
        [&] { return Run("ffmpeg -nostdin -v error -y -i " + wma + " -ar 22050 -c:a pcm_s16le " + dir + "/ff-wma.wav"); },
        ok3);
    const double ourWma = Seconds([&] { return OursWma(wma, dir + "/our-wma.wav"); }, ok4);
    std::printf("ten-minute sources, 44100 Hz stereo\n");
    Report("MP3 -> MPEG Layer-3 128 kbps stereo", ourMp3, ffMp3, ok1 && ok2);
    Report("WMA -> PCM 22050 Hz 16-bit stereo", ourWma, ffWma, ok3 && ok4);
    std::filesystem::remove_all(dir);
    return ok1 && ok2 && ok3 && ok4 ? 0 : 1;
}
