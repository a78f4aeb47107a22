#include "ui/HelpWindow.h"

#include <QUrl>
#include <QVBoxLayout>

namespace tessival {

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent) : QDialog(parent), browser_(this) {
    setWindowTitle(QStringLiteral("Tessival Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&browser_);
    browser_.setOpenExternalLinks(false);
    browser_.setSource(QUrl::fromLocalFile(helpFile));
    resize(640, 560);
}

void ShowHelpWindow(const QString& helpFile, QWidget* parent) {
    auto* window = new HelpWindow(helpFile, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

}  // namespace tessival
