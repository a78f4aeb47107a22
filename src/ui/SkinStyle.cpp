#include "ui/SkinStyle.h"

#include <QAbstractItemView>
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

}  // namespace

void ApplySkinStyle(QWidget& list) {
    list.setStyleSheet(QString::fromLatin1(kListStyle));
    if (auto* view = qobject_cast<QAbstractItemView*>(&list)) view->setAlternatingRowColors(true);
}

}  // namespace tessival
