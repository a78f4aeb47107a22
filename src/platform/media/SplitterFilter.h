#pragma once

#include <atomic>

#include "platform/media/BaseFilter.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/StreamingThread.h"

namespace tessival::media {

// Base of parsers and splitters that pull a byte stream from the upstream "File Source (Async.)"
// pin (IAsyncReader) and push the streams they find on their output pins, on one streaming
// thread of their own while the graph runs.
//
// A subclass opens the stream when its input connects (reading the header, adding one output
// pin per stream with AddOutput), and then delivers one piece at a time from DeliverNext.
// End of stream goes down every output after DeliverNext says S_FALSE; a failure, from the
// parser or from downstream, ends the graph with that error.
class SplitterFilter : public BaseFilter, public IMediaSeeking {
public:
    SplitterFilter(const Guid& clsid, std::string inputName);

    HRESULT CheckInputType(const BasePin& pin, const MediaType& type) const final;
    HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const override;
    HRESULT OnConnected(BasePin& pin) final;
    void OnDisconnected(BasePin& pin) final;

    HRESULT GetDuration(REFERENCE_TIME& duration) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME& position) override;

protected:
    // Byte-stream subtypes the parser reads (the input's major type is MEDIATYPE_Stream).
    virtual bool AcceptsStream(const MediaType& type) const = 0;
    // Reads the header through reader and adds the outputs. Failure refuses the connection.
    virtual HRESULT OpenStream(IAsyncReader& reader) = 0;
    virtual void CloseStream() = 0;
    // Delivers the next piece: S_OK to go on, S_FALSE at the end, a failure to abort.
    virtual HRESULT DeliverNext() = 0;

    // Delivers on an output; an unconnected output takes nothing and is no error.
    HRESULT DeliverTo(OutputPin& output, MediaSample& sample);
    // Adds an output pin with its one media type.
    OutputPin& AddOutput(std::string name, MediaType type);
    // The type offered on an output added with AddOutput.
    const MediaType* OfferedType(const BasePin& pin) const;
    std::shared_ptr<IAsyncReader> Reader() const { return reader_; }
    // The byte-stream type the input connected with (valid from OpenStream on).
    const MediaType& InputType() const { return input_.CurrentType(); }
    // Shown through IMediaSeeking; parsers keep them current.
    void SetDuration(REFERENCE_TIME duration) { duration_ = duration; }
    void SetPosition(REFERENCE_TIME position) { position_ = position; }

    HRESULT OnStart() override;
    void OnHalt() override;

private:
    bool StreamStep();
    bool AnyOutputConnected() const;
    void EndAllOutputs();

    InputPin& input_;
    std::vector<std::pair<OutputPin*, MediaType>> outputs_;
    std::shared_ptr<IAsyncReader> reader_;
    StreamingThread thread_;
    std::atomic<REFERENCE_TIME> duration_{0};
    std::atomic<REFERENCE_TIME> position_{0};
    bool ended_ = false;
};

}  // namespace tessival::media
