#include "ui/ControlId.h"

#include <QVariant>
#include <QWidget>

namespace tessival {
namespace {

constexpr const char* kIdProperty = "controlId";

}  // namespace

void SetControlId(QWidget& control, int id) { control.setProperty(kIdProperty, id); }

QWidget* FindControl(const QWidget& dialog, int id) {
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        const QVariant value = child->property(kIdProperty);
        if (value.isValid() && value.toInt() == id) return child;
    }
    return nullptr;
}

}  // namespace tessival
