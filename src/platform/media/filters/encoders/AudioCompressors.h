#pragma once

#include "platform/media/FilterRegistry.h"

namespace tessival::media {

// The registry entries of the audio compressors on libavcodec, each offering its complete list
// of formats through IAMStreamConfig.
struct AudioCompressors {
    static FilterEntry Mp3Entry();           // "MPEG Layer-3" (libmp3lame)
    static FilterEntry WindowsMediaEntry();  // "Windows Media Audio V2" (wmav2)
    static FilterEntry ImaAdpcmEntry();      // "IMA ADPCM"
    static FilterEntry MsAdpcmEntry();       // "Microsoft ADPCM"
    static FilterEntry Gsm610Entry();        // "GSM 6.10"
    static FilterEntry ALawEntry();          // "CCITT A-Law"
    static FilterEntry MuLawEntry();         // "CCITT u-Law"
};

}  // namespace tessival::media
