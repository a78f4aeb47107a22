#pragma once

#include <cstdint>
#include <string>

namespace tessival::media {

// Result codes of the media layer: negative fails, zero and above succeeds (S_FALSE: succeeded
// with less, such as the end of a stream). The values are fixed, since HResultToString shows
// them to the user.
using HRESULT = std::int32_t;

constexpr HRESULT MakeHResult(std::uint32_t value) { return static_cast<HRESULT>(value); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeHResult(0x80004003);
inline constexpr HRESULT E_ABORT = MakeHResult(0x80004004);
inline constexpr HRESULT E_FAIL = MakeHResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057);
inline constexpr HRESULT E_FILE_NOT_FOUND = MakeHResult(0x80070002);
inline constexpr HRESULT STG_E_MEDIUMFULL = MakeHResult(0x80030070);
inline constexpr HRESULT STG_E_WRITEFAULT = MakeHResult(0x8003001D);
inline constexpr HRESULT STG_E_READFAULT = MakeHResult(0x8003001E);

inline constexpr HRESULT VFW_S_PARTIAL_RENDER = MakeHResult(0x00040242);
inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = MakeHResult(0x80040200);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = MakeHResult(0x80040204);
inline constexpr HRESULT VFW_E_FILTER_ACTIVE = MakeHResult(0x80040205);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = MakeHResult(0x80040207);
inline constexpr HRESULT VFW_E_INVALID_DIRECTION = MakeHResult(0x80040208);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = MakeHResult(0x80040209);
inline constexpr HRESULT VFW_E_RUNTIME_ERROR = MakeHResult(0x8004020B);
inline constexpr HRESULT VFW_E_NOT_FOUND = MakeHResult(0x80040216);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = MakeHResult(0x80040217);
inline constexpr HRESULT VFW_E_CANNOT_RENDER = MakeHResult(0x80040218);
inline constexpr HRESULT VFW_E_NOT_STOPPED = MakeHResult(0x80040224);
inline constexpr HRESULT VFW_E_WRONG_STATE = MakeHResult(0x80040227);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = MakeHResult(0x8004022A);
inline constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = MakeHResult(0x8004022F);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = MakeHResult(0x80040240);
inline constexpr HRESULT VFW_E_CANNOT_LOAD_SOURCE_FILTER = MakeHResult(0x80040241);
inline constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = MakeHResult(0x80040265);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = MakeHResult(0x8004025F);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// A failed system call's errno value as a failure code of its own facility, and back (0 for
// codes of other facilities), so that callers can say what the system reported.
inline constexpr std::uint32_t kErrnoFacilityBits = 0x80A10000;
constexpr HRESULT HResultFromErrno(int error) {
    return MakeHResult(kErrnoFacilityBits | (static_cast<std::uint32_t>(error) & 0xFFFF));
}
constexpr int ErrnoFromHResult(HRESULT hr) {
    const auto bits = static_cast<std::uint32_t>(hr);
    return (bits & 0xFFFF0000) == kErrnoFacilityBits ? static_cast<int>(bits & 0xFFFF) : 0;
}

// "VFW_E_WRONG_STATE (0x80040227)" for the names above, the hex value otherwise.
std::string HResultToString(HRESULT hr);

}  // namespace tessival::media
