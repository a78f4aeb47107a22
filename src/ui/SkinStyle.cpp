#include "ui/SkinStyle.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QWidget>

namespace tessival {
namespace {

constexpr const char* kListStyle = R"(
QTreeView {
    background: #0d141b;
    alternate-background-color: #111a22;
    color: #d3e4ef;
    border: 1px solid #05080b;
    outline: 0;
    selection-background-color: #1d6b98;
    selection-color: #ffffff;
}
QTreeView::item { padding: 2px 2px; border: none; }
QTreeView::item:selected {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2d8dc4, stop:1 #1a5f88);
    color: #ffffff;
}
QHeaderView { background: #232b34; border: none; }
QHeaderView::section {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3b4753, stop:1 #232b34);
    color: #a9cde3;
    border: none;
    border-right: 1px solid #151b21;
    border-bottom: 1px solid #0a0e12;
    padding: 3px 5px;
}
QScrollBar:vertical, QScrollBar:horizontal { background: #0a1016; border: none; }
QScrollBar:vertical { width: 11px; }
QScrollBar:horizontal { height: 11px; }
QScrollBar::handle {
    background: #36597a;
    border-radius: 4px;
    margin: 2px;
}
QScrollBar::handle:vertical { min-height: 24px; }
QScrollBar::handle:horizontal { min-width: 24px; }
QScrollBar::handle:hover { background: #4b7ba6; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
QAbstractScrollArea::corner { background: #0a1016; }
)";

// The dialogs in the skin's colours. Geometry stays the templates': nothing here sets a size.
// Group boxes draw their title across the top of the frame, half above and half below it.
constexpr const char* kDialogStyle = R"(
QDialog { background: #1e262e; color: #d3e4ef; }
QLabel { color: #c4d6e2; background: transparent; }
QLabel[sunken="true"] {
    background: #0d141b; color: #d3e4ef; border: 1px solid #05080b; border-top-color: #000000;
    border-bottom-color: #3a4653; padding: 0 2px;
}
QGroupBox {
    color: #a9cde3; border: 1px solid #3a4653; border-radius: 4px; margin-top: 0.5em;
}
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 3px; }
QPushButton {
    color: #e4f1f9; border: 1px solid #0a0e12; border-radius: 3px; padding: 0 4px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #46566a, stop:1 #2a3440);
}
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #557089, stop:1 #324150); }
QPushButton:pressed { background: #1d6b98; }
QPushButton:default { border-color: #2d8dc4; }
QPushButton:disabled { color: #6b7a88; background: #28313a; }
QLineEdit, QComboBox {
    color: #e4f1f9; background: #0d141b; border: 1px solid #3a4653; border-radius: 2px; padding: 0 3px;
    selection-background-color: #1d6b98;
}
QLineEdit:read-only, QComboBox:disabled { color: #8fa3b3; background: #141b22; }
QComboBox::drop-down { border: none; width: 14px; }
QComboBox::down-arrow { width: 0; height: 0; border-left: 4px solid transparent; border-right: 4px solid transparent;
    border-top: 5px solid #a9cde3; }
QComboBox QAbstractItemView { color: #e4f1f9; background: #0d141b; selection-background-color: #1d6b98; }
QListWidget, QTreeWidget, QTextBrowser {
    color: #d3e4ef; background: #0d141b; border: 1px solid #05080b; selection-background-color: #1d6b98;
}
QHeaderView { background: #2a3440; }
QHeaderView::section { color: #a9cde3; background: #2a3440; border: none; border-right: 1px solid #151b21; padding: 1px 4px; }
)";

}  // namespace

void ApplyDialogSkin(QWidget& dialog) { dialog.setStyleSheet(QString::fromLatin1(kDialogStyle)); }

void MakeSunken(QLabel& label) {
    label.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label.setProperty("sunken", true);
}

void ApplySkinStyle(QWidget& list) {
    list.setStyleSheet(QString::fromLatin1(kListStyle));
    if (auto* view = qobject_cast<QAbstractItemView*>(&list)) view->setAlternatingRowColors(true);
}

}  // namespace tessival
