#pragma once

#include <QPalette>

class QApplication;
class QLabel;
class QWidget;

namespace tessival {

// The skin's colours as a palette: every control Qt draws itself takes them from here.
QPalette SkinPalette();

// Dresses everything the application shows that no window of ours styles: message boxes, menus,
// file and folder dialogs, tooltips, scroll bars.
void ApplyAppSkin(QApplication& app);

// Dresses a list control in the skin's dark colours.
void ApplySkinStyle(QWidget& list);

// Dresses a dialog and its controls in the skin's palette.
void ApplyDialogSkin(QWidget& dialog);

// A sunken static that shows a value, in the skin's look.
void MakeSunken(QLabel& label);

}  // namespace tessival
