#include "joblist/SourceKind.h"

#include "joblist/TextField.h"

namespace tessival {

SourceKind SourceKindOf(const ConvertItem& item) {
    const std::string_view code = FieldView(item.sourceType).substr(0, 3);
    if (code == "CDA") return SourceKind::CdTrack;
    if (code == "CAP") return SourceKind::Capture;
    return SourceKind::File;
}

}  // namespace tessival
