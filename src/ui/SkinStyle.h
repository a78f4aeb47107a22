#pragma once

class QLabel;
class QWidget;

namespace tessival {

// Dresses a list control in the skin's dark colours.
void ApplySkinStyle(QWidget& list);

// Dresses a dialog and its controls in the skin's palette.
void ApplyDialogSkin(QWidget& dialog);

// A sunken static that shows a value, in the skin's look.
void MakeSunken(QLabel& label);

}  // namespace tessival
