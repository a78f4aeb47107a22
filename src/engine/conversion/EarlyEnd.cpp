#include "engine/conversion/EarlyEnd.h"

namespace tessival {

bool EndedEarly(media::REFERENCE_TIME declared, media::REFERENCE_TIME made, std::int64_t skipped) {
    if (made <= 0) return true;
    // A damaged file whose larger part still decodes (one cut in half, say) is worth its output;
    // a few frames out of minutes are not.
    return skipped > 0 && declared > 0 && made < declared / 3;
}

}  // namespace tessival
