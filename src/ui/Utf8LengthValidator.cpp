#include "ui/Utf8LengthValidator.h"

namespace tessival {

QValidator::State Utf8LengthValidator::validate(QString& input, int&) const {
    return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
}

}  // namespace tessival
