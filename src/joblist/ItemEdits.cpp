#include "joblist/ItemEdits.h"

#include <string>
#include <string_view>

#include "joblist/DestNaming.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

// Position of the first "." of a name when it stands after the first character, else npos.
std::size_t ExtensionDot(std::string_view name) {
    const std::size_t dot = name.find('.');
    return dot == 0 ? std::string_view::npos : dot;
}

}  // namespace

void ApplySettingsOf(const ConvertItem& source, ConvertItem& target) {
    target.quality = source.quality;
    const std::string_view sourceName = FieldView(source.destName);
    if (const std::size_t dot = ExtensionDot(sourceName); dot != std::string_view::npos) {
        std::string name = ReadField(target.destName);
        if (const std::size_t targetDot = ExtensionDot(name); targetDot != std::string::npos) name.resize(targetDot);
        WriteField(target.destName, FitDestName(name, sourceName.substr(dot)));
    }
    WriteField(target.destType, FieldView(source.destType));
    WriteField(target.destPath, FieldView(source.destPath));
}

}  // namespace tessival
