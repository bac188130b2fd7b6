#include "typed_number.h"

#include <QLocale>
#include <cmath>

#include "engine/core/number_format.h"

namespace app {

std::optional<double> ReadTypedNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (const auto value = engine::ParseFloat(trimmed.toStdString()))
        return value;
    bool ok = false;
    const double value = QLocale().toDouble(trimmed, &ok);
    if (ok && std::isfinite(value))
        return value;
    return std::nullopt;
}

}  // namespace app
