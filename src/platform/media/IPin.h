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
// Connection calls come from the thread that builds the graph while the graph is stopped.
class IPin {
public:
    virtual ~IPin() = default;
    // Output pins: negotiates a type with receivePin (exactly `type` when it is a complete
    // type, otherwise the first of this pin's types that matches it and the peer accepts).
    virtual HRESULT Connect(const std::shared_ptr<IPin>& receivePin, const MediaType* type) = 0;
    // Input pins: accepts or refuses a connection from an output pin with that type.
    virtual HRESULT ReceiveConnection(const std::shared_ptr<IPin>& connector, const MediaType& type) = 0;
    // Breaks this side of the connection only; callers disconnect both pins.
    virtual HRESULT Disconnect() = 0;
    // VFW_E_NOT_CONNECTED and a null peer when the pin is unconnected.
    virtual HRESULT ConnectedTo(std::shared_ptr<IPin>& peer) const = 0;
    virtual HRESULT ConnectionMediaType(MediaType& type) const = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO& info) const = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION& direction) const = 0;
    // S_OK when the pin would take (input) or could produce (output) the type, S_FALSE otherwise.
    virtual HRESULT QueryAccept(const MediaType& type) const = 0;
    // The pin's preferred types, best first; an unconnected transform output may have none.
    virtual HRESULT EnumMediaTypes(std::vector<MediaType>& types) const = 0;
    // Input pins: no more samples follow (called on the streaming thread).
    virtual HRESULT EndOfStream() = 0;
};

// The sample-receiving side of an input pin. Called on the upstream filter's streaming thread.
class IMemInputPin {
public:
    virtual ~IMemInputPin() = default;
    virtual HRESULT Receive(MediaSample& sample) = 0;
};

// Random access to a byte stream, offered by the output pin of "File Source (Async.)". Parsers
// pull from it on their own streaming thread.
class IAsyncReader {
public:
    virtual ~IAsyncReader() = default;
    // Reads up to length bytes at position. S_OK when all were read, S_FALSE at the end of the
    // stream (bytesRead says how many), a failure code on an I/O error.
    virtual HRESULT SyncRead(std::int64_t position, std::int32_t length, std::uint8_t* buffer,
                             std::int32_t* bytesRead) = 0;
    virtual HRESULT Length(std::int64_t& total, std::int64_t& available) = 0;
};

}  // namespace tessival::media
