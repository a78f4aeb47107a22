#pragma once

#include <memory>
#include <string>
#include <vector>

#include "joblist/QualityInfo.h"
#include "platform/io/TrackPath.h"
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


    // The graph and its control interfaces, open for the toolkit's life.
    media::FilterGraph& Graph() { return *graph_; }
    media::IGraphBuilder& Builder() { return *graph_; }
    media::IMediaControl& Control() { return *graph_; }
    media::IMediaEventEx& Events() { return *graph_; }
    media::IMediaPosition& Position() { return *graph_; }
    // The position shared with a reader on another thread (the run's progress), which may keep it
    // past the toolkit; reading it after the graph stopped is harmless.
    std::shared_ptr<media::IMediaPosition> SharedPosition() const { return graph_; }

    // The index-th pin of that direction, in the filter's pin order; null when there is none.
    std::shared_ptr<media::IPin> GetPin(const std::shared_ptr<media::IBaseFilter>& filter,
                                        media::PIN_DIRECTION direction, int index);

    // The first entry of the category whose friendly name begins with `prefix` (case-sensitive),
    // or else the index-th readable entry, created and added to the graph under its friendly name.
    // Null prefix: index only; index -1: prefix only.
    std::shared_ptr<media::IBaseFilter> FindFilterInCategory(const media::Guid& category, const char* prefix,
                                                             int index);
    std::shared_ptr<media::IBaseFilter> AddFilterByName(const std::string& prefix);
    std::shared_ptr<media::IBaseFilter> AddAudioCompressor(const std::string& prefix);
    std::shared_ptr<media::IBaseFilter> AddAudioInputDevice(int index);

    // Lists as values. Every readable friendly name of the category, in enumeration order; binds nothing.
    std::vector<std::string> CategoryNames(const media::Guid& category) const;
    std::vector<std::string> AudioInputDeviceNames() const;
    // The names of the filter's pins of that direction; a pin that cannot say its name is an empty
    // name at the end, so the count is the number of pins.
    std::vector<std::string> PinNamesOf(const std::shared_ptr<media::IBaseFilter>& filter,
                                        media::PIN_DIRECTION direction) const;
    // The output formats of the encoder's output pins 0 and 1, in the encoder's order.
    std::vector<QualityInfo> QualitiesOf(const std::shared_ptr<media::IBaseFilter>& encoder);

    // The same lists as count-then-index calls: each List call keeps its result for the Get calls
    // after it; an index outside the list reads as "" (or an empty quality). After a search,
    // GetDeviceName reads the names visited up to the chosen one.
    int ListCategory(const media::Guid& category);
    int ListAudioInputDevices();
    std::string GetDeviceName(int index) const;
    int ListPins(const std::shared_ptr<media::IBaseFilter>& filter, media::PIN_DIRECTION direction);
    std::string GetPinName(int index) const;
    int ListQualities(const std::shared_ptr<media::IBaseFilter>& encoder);
    QualityInfo GetQuality(int index) const;

    // Enables input line `selected` of a capture device and disables lines 0..lineCount-1 else.
    void SelectInputLine(const std::shared_ptr<media::IBaseFilter>& filter, int lineCount, int selected);

    // The graph's source filter for the source, added under its file's path as its name.
    media::HRESULT AddSourceFile(const SourceLocation& source, std::shared_ptr<media::IBaseFilter>& filter);
    // Adds "WAV Dest" and "File Writer" (unconnected) writing to path; the result of SetFileName.
    media::HRESULT AddWavFileSink(const std::string& path);
    // Adds "File Writer" alone, writing to path, for a sink of another container.
    media::HRESULT AddFileWriter(const std::string& path);
    // The sink filters added by the two calls above; null before.
    const std::shared_ptr<media::IBaseFilter>& WavDest() const { return wavDest_; }
    const std::shared_ptr<media::IBaseFilter>& FileWriter() const { return fileWriter_; }

    // Sets the first offered format that is the same quality on each output pin; true when one was.
    bool ApplyQuality(const std::shared_ptr<media::IBaseFilter>& encoder, const QualityInfo& quality);

private:
    Shell& shell_;
    std::shared_ptr<const media::FilterRegistry> registry_;
    std::shared_ptr<media::FilterGraph> graph_;
    std::shared_ptr<media::IBaseFilter> wavDest_;
    std::shared_ptr<media::IBaseFilter> fileWriter_;
    std::shared_ptr<media::IFileSinkFilter2> fileWriterSink_;
    // What the last List call (or search) found, for the Get calls.
    std::vector<std::string> lastNames_;
    std::vector<std::string> lastPinNames_;
    std::vector<QualityInfo> lastQualities_;
};

}  // namespace tessival
