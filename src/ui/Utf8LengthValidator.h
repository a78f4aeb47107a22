#pragma once

#include <QValidator>

namespace tessival {

// Refuses input whose UTF-8 form is longer than a record's field can hold, so that what the user
// sees in an edit is what the record keeps (a character limit would let 79 CJK characters through
// into a 79-byte field, to be cut there unseen).
class Utf8LengthValidator : public QValidator {
public:
    Utf8LengthValidator(qsizetype maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

    State validate(QString& input, int& position) const override;

private:
    qsizetype maxBytes_;
};

}  // namespace tessival
