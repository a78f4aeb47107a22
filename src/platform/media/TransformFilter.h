#pragma once

#include <atomic>
#include <type_traits>

#include "platform/media/BaseFilter.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/SampleHandoff.h"

namespace tessival::media {

// Base of filters with one input and one output that work on the caller's thread: decoders,
// encoders, format converters. A subclass says which inputs it takes, what it makes of them,
// and converts samples; the base handles connection order, state and end of stream.
//
// Phases: CheckInput, OutputTypesFor and PreferredInputTypes while connecting; StartStreaming
// when the graph pauses from stopped (types are fixed then); OnInput then Transform per sample,
// on the upstream streaming thread; Drain at end of stream (flush codec buffers) before end of
// stream goes downstream; StopStreaming when the graph stops. With an input queue set, OnInput
// still runs upstream, while Transform and Drain run on the filter's own thread, in order.
class TransformFilter : public BaseFilter, public IQueuedInput {
public:
    TransformFilter(const Guid& clsid, std::string inputName, std::string outputName)
        : TransformFilter(clsid, std::move(inputName), std::move(outputName), std::type_identity<OutputPin>{}) {}
    // With an output pin class of the filter's own (one that offers IAMStreamConfig, say).
    template <class OutputPinT>
    TransformFilter(const Guid& clsid, std::string inputName, std::string outputName, std::type_identity<OutputPinT>)
        : BaseFilter(clsid),
          input_(AddPin<InputPin>(std::move(inputName))),
          output_(AddPin<OutputPinT>(std::move(outputName))) {}

    HRESULT CheckInputType(const BasePin& pin, const MediaType& type) const final;
    HRESULT CheckOutputType(const BasePin& pin, const MediaType& type) const override;
    HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const final;
    HRESULT OnConnected(BasePin& pin) override;
    void OnDisconnected(BasePin& pin) override;
    HRESULT Receive(InputPin& pin, MediaSample& sample) final;
    HRESULT EndOfStream(InputPin& pin) final;
    HRESULT SetInputQueue(REFERENCE_TIME ahead) override;

protected:
    virtual HRESULT CheckInput(const MediaType& type) const = 0;
    // Output types for the connected input type, preferred first.
    virtual HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const = 0;
    // Input types this filter would rather get, preferred first; an upstream filter that can make
    // one of them connects with it before trying its own.
    virtual HRESULT PreferredInputTypes(std::vector<MediaType>&) const { return S_OK; }
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual void StopStreaming() {}
    virtual HRESULT Transform(MediaSample& sample) = 0;
    // Sees every input sample before Transform, e.g. to measure it or set its level.
    virtual void OnInput(MediaSample&) {}
    virtual HRESULT Drain() { return S_OK; }
    // Whether the input may end as a whole stream; a failure fails it before anything is drained.
    virtual HRESULT AcceptEnd() { return S_OK; }

    HRESULT Deliver(MediaSample& sample) { return output_.Deliver(sample); }
    // Delivers audio in the output's wave format, stamped with its frame count and times that
    // continue from framesSoFar (advanced); an empty sample is not sent.
    HRESULT DeliverAudio(MediaSample& sample, std::int64_t& framesSoFar, bool discontinuity);
    const MediaType& InputType() const { return input_.CurrentType(); }
    const MediaType& OutputType() const { return output_.CurrentType(); }
    InputPin& Input() { return input_; }
    OutputPin& Output() { return output_; }
    const InputPin& Input() const { return input_; }
    const OutputPin& Output() const { return output_; }

    HRESULT OnPrepare() override;
    HRESULT OnStart() override;
    void OnHalt() override;
    void OnRelease() override;

private:
    HRESULT EndStream();

    InputPin& input_;
    OutputPin& output_;
    REFERENCE_TIME queueAhead_ = 0;
    // A stop flushes the filter unless its Drain already ran or nothing came in.
    std::atomic<bool> ended_ = false;
    std::atomic<bool> fedAny_ = false;
    SampleHandoff handoff_;
};

}  // namespace tessival::media
