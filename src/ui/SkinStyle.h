#pragma once

class QWidget;

namespace tessival {

// Dresses a list control in the skin's dark colours.
void ApplySkinStyle(QWidget& list);

}  // namespace tessival
