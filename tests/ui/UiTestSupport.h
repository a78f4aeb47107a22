#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/shell/DriveTypes.h"

namespace tessival::test {

// The test program's application object, made by its main().
inline QApplication& App() { return *qApp; }

// Base of fixtures whose members are widgets: the application exists before them.
struct UsesApp {
    UsesApp() { App(); }
};

// Waits inside a modal loop (dialog or popup menu) for its window and hands it to `act`, which
// closes it. Nothing happens when no such window appears while this object lives.
class WhenModal {
public:
    enum class Kind { Dialog, Popup };

    WhenModal(Kind kind, std::function<void(QWidget*)> act) : kind_(kind), act_(std::move(act)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    int Seen() const { return seen_; }

private:
    void Poll() {
        QWidget* window = kind_ == Kind::Dialog ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
        if (!window || !window->isVisible()) return;
        ++seen_;
        act_(window);
    }

    Kind kind_;
    std::function<void(QWidget*)> act_;
    QTimer timer_;
    int seen_ = 0;
};

// Drive types decided by the test: paths under one of the prefixes are on a CD-ROM.
class FakeDrives : public DriveTypes {
public:
    std::set<std::string> cdromPrefixes;
    bool IsCdRom(const std::string& path) const override {
        for (const std::string& prefix : cdromPrefixes) {
            if (path.compare(0, prefix.size(), prefix) == 0) return true;
        }
        return false;
    }
};

}  // namespace tessival::test
