#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/HResult.h"
#include "platform/media/MediaSample.h"
#include "platform/media/MediaType.h"

namespace tessival::media {

class IBaseFilter;

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

struct PIN_INFO {
    std::shared_ptr<IBaseFilter> pFilter;  // the owning filter (null once it is gone)
    PIN_DIRECTION dir = PINDIR_INPUT;
    std::string achName;  // UTF-8
};

// A connection point of a filter. A pin handed out by its filter keeps that filter alive (it
// shares the filter's ownership); connected pins refer to each other weakly, so no cycle forms.
//
// Threads: the connection calls (Connect to EnumMediaTypes) come from the thread that builds
// the graph, while the graph is stopped. EndOfStream comes on the streaming thread.
// Ownership: a pin passed in is borrowed for the call unless the call says it keeps it; types
// passed in are copied; everything returned through an out parameter is the caller's.
class IPin {
public:
    virtual ~IPin() = default;
    // Output pins: negotiates a type with receivePin (exactly `type` when it is a complete
    // type, otherwise the first of this pin's types that matches it and the peer accepts).
    // On success both pins keep a weak reference to each other; type may be null.
    virtual HRESULT Connect(const std::shared_ptr<IPin>& receivePin, const MediaType* type) = 0;
    // Input pins: accepts or refuses a connection from an output pin with that type, keeping a
    // weak reference to connector when it accepts.
    virtual HRESULT ReceiveConnection(const std::shared_ptr<IPin>& connector, const MediaType& type) = 0;
    // Breaks this side of the connection only; callers disconnect both pins.
    virtual HRESULT Disconnect() = 0;
    // A shared owner of the peer (so of the peer's filter); VFW_E_NOT_CONNECTED and a null peer
    // when the pin is unconnected or the peer is gone.
    virtual HRESULT ConnectedTo(std::shared_ptr<IPin>& peer) const = 0;
    virtual HRESULT ConnectionMediaType(MediaType& type) const = 0;
    // info.pFilter shares the filter's ownership; drop it before tearing the graph down.
    virtual HRESULT QueryPinInfo(PIN_INFO& info) const = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION& direction) const = 0;
    // S_OK when the pin would take (input) or could produce (output) the type, S_FALSE otherwise.
    virtual HRESULT QueryAccept(const MediaType& type) const = 0;
    // Replaces types with the pin's preferred types, best first; an unconnected transform output
    // may have none.
    virtual HRESULT EnumMediaTypes(std::vector<MediaType>& types) const = 0;
    // Input pins: no more samples follow. On the streaming thread that delivered the samples,
    // after its last Receive.
    virtual HRESULT EndOfStream() = 0;
};

// The sample-receiving side of an input pin.
class IMemInputPin {
public:
    virtual ~IMemInputPin() = default;
    // One sample from upstream, on the upstream filter's streaming thread (one thread per pin,
    // so calls on a pin never overlap). The sample stays the caller's: the receiver may take
    // its data (swap it out) but keeps no reference to the sample after returning. S_OK to go
    // on; a failure ends the sender's stream, and VFW_E_WRONG_STATE means the filter stopped.
    virtual HRESULT Receive(MediaSample& sample) = 0;
};

// Random access to a byte stream, offered by the output pin of "File Source (Async.)". The
// parser behind it reads the header from the thread that connects it, then the rest on its own
// streaming thread; the two never overlap.
class IAsyncReader {
public:
    virtual ~IAsyncReader() = default;
    // Reads up to length bytes at position into buffer, which the caller owns and sizes. S_OK
    // when all were read, S_FALSE at the end of the stream (bytesRead says how many), a failure
    // code on an I/O error.
    virtual HRESULT SyncRead(std::int64_t position, std::int32_t length, std::uint8_t* buffer,
                             std::int32_t* bytesRead) = 0;
    virtual HRESULT Length(std::int64_t& total, std::int64_t& available) = 0;
};

}  // namespace tessival::media
