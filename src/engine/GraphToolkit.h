#pragma once

#include <memory>
#include <string>
#include <vector>

#include "joblist/QualityInfo.h"
#include "platform/media/FilterGraph.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/OptionalInterfaces.h"

namespace tessival {

class Shell;

// One filter graph with the lookups the program needs: filters and devices found by the start of
// their friendly name in a category, pins picked by direction and position, the file source, the
// "WAV Dest" + "File Writer" sink, capture input lines, and the encoders' output formats.
//
// The toolkit owns its graph: open from construction to destruction, which stops it first.
// Used by one thread at a time.
class GraphToolkit {
public:
    explicit GraphToolkit(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());
    ~GraphToolkit();
    GraphToolkit(const GraphToolkit&) = delete;
    GraphToolkit& operator=(const GraphToolkit&) = delete;


    // The index-th pin of that direction, in the filter's pin order; null when there is none.
    std::shared_ptr<media::IPin> GetPin(const std::shared_ptr<media::IBaseFilter>& filter,
                                        media::PIN_DIRECTION direction, int index);

    // The first entry of the category whose friendly name begins with `prefix` (case-sensitive),
    // or else the index-th readable entry, created and added to the graph under its friendly name.
    // DeviceNames then holds the names visited, up to the chosen one. Null prefix: index only;
    // index -1: prefix only.
    std::shared_ptr<media::IBaseFilter> FindFilterInCategory(const media::Guid& category, const char* prefix,
                                                             int index);
    std::shared_ptr<media::IBaseFilter> AddFilterByName(const std::string& prefix);
    std::shared_ptr<media::IBaseFilter> AddAudioCompressor(const std::string& prefix);
    int ListAudioInputDevices();
    std::shared_ptr<media::IBaseFilter> AddAudioInputDevice(int index);
    // Every readable friendly name of the category into DeviceNames; binds nothing.
    int ListCategory(const media::Guid& category);
    std::string GetDeviceName(int index) const;

    int ListPins(const std::shared_ptr<media::IBaseFilter>& filter, media::PIN_DIRECTION direction);
    std::string GetPinName(int index) const;

    // Enables input line `selected` of a capture device and disables lines 0..lineCount-1 else.
    void SelectInputLine(const std::shared_ptr<media::IBaseFilter>& filter, int lineCount, int selected);

    // The graph's source filter for the file, added under the path as its name.
    media::HRESULT AddSourceFile(const std::string& path, std::shared_ptr<media::IBaseFilter>& filter);
    // Adds "WAV Dest" and "File Writer" (unconnected) writing to path; the result of SetFileName.
    media::HRESULT AddWavFileSink(const std::string& path);
    // Adds "File Writer" alone, writing to path, for a sink of another container.
    media::HRESULT AddFileWriter(const std::string& path);

    // The output formats of the encoder's output pins 0 and 1, in the encoder's order.
    int ListQualities(const std::shared_ptr<media::IBaseFilter>& encoder);
    QualityInfo GetQuality(int index) const;
    // Sets the first offered format that is the same quality on each output pin; true when one was.
    bool ApplyQuality(const std::shared_ptr<media::IBaseFilter>& encoder, const QualityInfo& quality);

    std::shared_ptr<media::FilterGraph> graph;
    std::shared_ptr<media::IGraphBuilder> builder;
    std::shared_ptr<media::IMediaControl> control;
    std::shared_ptr<media::IMediaEventEx> events;
    std::shared_ptr<media::IMediaPosition> position;

    std::vector<std::string> DeviceNames;
    std::vector<std::string> PinNames;
    std::vector<QualityInfo> Qualities;

    std::shared_ptr<media::IBaseFilter> WavDestFilter;
    std::shared_ptr<media::IBaseFilter> FileWriterFilter;
    std::shared_ptr<media::IFileSinkFilter2> FileWriterSink;

protected:
    Shell& shell() { return shell_; }
    const std::shared_ptr<const media::FilterRegistry>& registry() const { return registry_; }

private:
    bool OpenGraph();
    void CloseGraph();

    Shell& shell_;
    std::shared_ptr<const media::FilterRegistry> registry_;
};

}  // namespace tessival
