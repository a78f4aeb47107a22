#include "platform/shell/Shell.h"

namespace tessival {

MessageKind MessageKindOf(const std::string& text, MessageButtons buttons) {
    if (buttons == MessageButtons::OkCancel) return MessageKind::Question;
    if (text.starts_with("Error")) return MessageKind::Error;
    return MessageKind::Information;
}

}  // namespace tessival
