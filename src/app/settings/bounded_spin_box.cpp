#include "bounded_spin_box.h"

#include <algorithm>

namespace app {
namespace {

// The number part of a spin box text: without its prefix and suffix ("85%" gives "85").
QString NumberText(const QSpinBox& box, QString text) {
    if (!box.prefix().isEmpty() && text.startsWith(box.prefix())) {
        text.remove(0, box.prefix().size());
    }
    if (!box.suffix().isEmpty() && text.endsWith(box.suffix())) {
        text.chop(box.suffix().size());
    }
    return text.trimmed();
}

}  // namespace

BoundedSpinBox::BoundedSpinBox(const SpinBounds& bounds, QWidget* parent) : QSpinBox(parent) {
    setRange(bounds.minimum, bounds.maximum);
    setSingleStep(bounds.step);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State BoundedSpinBox::validate(QString& input, int&) const {
    const QString text = NumberText(*this, input);
    if (text.isEmpty() || text == QLatin1String("-")) {
        return QValidator::Intermediate;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok) {
        return QValidator::Invalid;
    }
    return value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                    : QValidator::Intermediate;
}

void BoundedSpinBox::fixup(QString& input) const {
    input = prefix() + QString::number(valueFromText(input)) + suffix();
}

int BoundedSpinBox::valueFromText(const QString& text) const {
    bool ok = false;
    const qlonglong value = NumberText(*this, text).toLongLong(&ok, 10);
    if (!ok) {
        return minimum();
    }
    return static_cast<int>(std::clamp<qlonglong>(value, minimum(), maximum()));
}

}  // namespace app
