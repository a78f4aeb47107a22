#pragma once

class QWidget;

namespace tessival {

// Controls of a dialog keep their template ids, so handlers and tests find them by id.
void SetControlId(QWidget& control, int id);
// The child of `dialog` with that id, or null.
QWidget* FindControl(const QWidget& dialog, int id);

}  // namespace tessival
