#include "ui/SkinStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QToolTip>
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
QTreeView:focus { border: 1px solid #5fc0ff; }
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
%SCROLLBARS%)";

// Scroll bars, wherever they are: in the list, the dialogs, the menus and the file dialogs.
constexpr const char* kScrollBarStyle = R"(
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

// What only the application as a whole can dress: menus, tooltips, message boxes and the
// file dialogs, which no window of ours owns.
constexpr const char* kAppStyle = R"(
QMenu { background: #1e262e; color: #d3e4ef; border: 1px solid #3a4653; padding: 2px; }
QMenu::item { padding: 3px 18px 3px 18px; background: transparent; }
QMenu::item:selected { background: #1d6b98; color: #ffffff; }
QMenu::item:disabled { color: #6b7a88; }
QMenu::separator { height: 1px; background: #3a4653; margin: 3px 6px; }
QToolTip { color: #d3e4ef; background: #0d141b; border: 1px solid #3a4653; padding: 1px 3px; }
QMessageBox QLabel { color: #d3e4ef; }
QToolButton { color: #d3e4ef; background: transparent; border: 1px solid transparent; border-radius: 2px; }
QToolButton:hover, QToolButton:focus { border-color: #5fc0ff; }
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
QComboBox::down-arrow { image: url(:/tessival/combo-arrow.png); }
QComboBox::down-arrow:disabled { image: url(:/tessival/combo-arrow-disabled.png); }
QComboBox QAbstractItemView { color: #e4f1f9; background: #0d141b; selection-background-color: #1d6b98; }
QListWidget, QTreeWidget, QTextBrowser {
    color: #d3e4ef; background: #0d141b; border: 1px solid #05080b; selection-background-color: #1d6b98;
}
QHeaderView { background: #2a3440; }
QHeaderView::section { color: #a9cde3; background: #2a3440; border: none; border-right: 1px solid #151b21; padding: 1px 4px; }
QPushButton:focus, QLineEdit:focus, QComboBox:focus, QListWidget:focus, QTreeWidget:focus, QTextBrowser:focus {
    border: 1px solid #5fc0ff;
}
QRadioButton { color: #c4d6e2; }
QRadioButton:focus { color: #ffffff; background: #24425a; border-radius: 2px; }
)";

QString ListStyle() { return QString::fromLatin1(kListStyle).replace(QLatin1String("%SCROLLBARS%"), QLatin1String(kScrollBarStyle)); }

QString DialogStyle() { return QString::fromLatin1(kDialogStyle) + QLatin1String(kScrollBarStyle); }

}  // namespace

QPalette SkinPalette() {
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, const char* color, const char* disabled = nullptr) {
        palette.setColor(role, QColor(QLatin1String(color)));
        if (disabled) palette.setColor(QPalette::Disabled, role, QColor(QLatin1String(disabled)));
    };
    set(QPalette::Window, "#1e262e");
    set(QPalette::WindowText, "#d3e4ef", "#6b7a88");
    set(QPalette::Base, "#0d141b", "#141b22");
    set(QPalette::AlternateBase, "#111a22");
    set(QPalette::Text, "#e4f1f9", "#6b7a88");
    set(QPalette::PlaceholderText, "#6b7a88");
    set(QPalette::Button, "#2a3440");
    set(QPalette::ButtonText, "#e4f1f9", "#6b7a88");
    set(QPalette::BrightText, "#ffffff");
    set(QPalette::Light, "#46566a");
    set(QPalette::Midlight, "#3a4653");
    set(QPalette::Mid, "#232b34");
    set(QPalette::Dark, "#151b21");
    set(QPalette::Shadow, "#05080b");
    set(QPalette::Highlight, "#1d6b98", "#28313a");
    set(QPalette::HighlightedText, "#ffffff");
    set(QPalette::Link, "#5fc0ff");
    set(QPalette::LinkVisited, "#a9cde3");
    set(QPalette::ToolTipBase, "#0d141b");
    set(QPalette::ToolTipText, "#d3e4ef");
    return palette;
}

void ApplyAppSkin(QApplication& app) {
    app.setPalette(SkinPalette());
    QToolTip::setPalette(SkinPalette());
    app.setStyleSheet(DialogStyle() + QLatin1String(kAppStyle));
}

void ApplyDialogSkin(QWidget& dialog) { dialog.setStyleSheet(DialogStyle()); }

void MakeSunken(QLabel& label) {
    label.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label.setProperty("sunken", true);
}

void ApplySkinStyle(QWidget& list) {
    list.setStyleSheet(ListStyle());
    if (auto* view = qobject_cast<QAbstractItemView*>(&list)) view->setAlternatingRowColors(true);
}

}  // namespace tessival
