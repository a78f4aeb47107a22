#include "platform/media/filters/sources/StreamSniffer.h"

#include <cstring>

namespace tessival::media {
namespace {

bool At(std::span<const std::uint8_t> head, std::size_t offset, const char* text) {
    const std::size_t length = std::strlen(text);
    return head.size() >= offset + length && std::memcmp(head.data() + offset, text, length) == 0;
}

bool IsMpegAudioFrame(std::span<const std::uint8_t> head) {
    if (head.size() < 4 || head[0] != 0xFF || (head[1] & 0xE0) != 0xE0) return false;
    const int version = (head[1] >> 3) & 3, layer = (head[1] >> 1) & 3;
    const int bitrate = head[2] >> 4, rate = (head[2] >> 2) & 3;
    return version != 1 && layer != 0 && bitrate != 15 && rate != 3;
}

}  // namespace

Guid SniffStreamSubtype(std::span<const std::uint8_t> head) {
    if ((At(head, 0, "RIFF") || At(head, 0, "RF64") || At(head, 0, "RIFX")) && At(head, 8, "WAVE"))
        return MEDIASUBTYPE_WAVE;
    if (At(head, 0, "RIFF") && At(head, 8, "AVI ")) return MEDIASUBTYPE_Avi;
    if (At(head, 0, "RIFF") && At(head, 8, "CDXA")) return MEDIASUBTYPE_MPEG1VideoCD;
    static const std::uint8_t kAsfHeader[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11};
    if (head.size() >= sizeof kAsfHeader && std::memcmp(head.data(), kAsfHeader, sizeof kAsfHeader) == 0)
        return MEDIASUBTYPE_Asf;
    if (head.size() >= 5 && head[0] == 0 && head[1] == 0 && head[2] == 1 && head[3] == 0xBA)
        return (head[4] & 0xC0) == 0x40 ? MEDIASUBTYPE_MPEG2_PROGRAM : MEDIASUBTYPE_MPEG1System;
    if (At(head, 0, "ID3") || IsMpegAudioFrame(head)) return MEDIASUBTYPE_MPEG1Audio;
    return GUID_NULL;
}

}  // namespace tessival::media
