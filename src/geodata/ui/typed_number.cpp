#include "geodata/ui/typed_number.h"

#include <limits>

#include "engine/core/number_format.h"

namespace geodataui {

std::optional<double> ReadTypedNumber(const QString& text, const QString& localeDecimalPoint) {
    if (const auto value = engine::ParseFloat(text.toStdString())) {
        return value;
    }
    if (localeDecimalPoint.isEmpty() || localeDecimalPoint == QStringLiteral(".") ||
        text.contains(u'.')) {
        return std::nullopt;
    }
    QString dotted = text;
    dotted.replace(localeDecimalPoint, QStringLiteral("."));
    return engine::ParseFloat(dotted.toStdString());
}

std::optional<int> ReadTypedInt(const QString& text) {
    const auto value = engine::ParseInt(text.trimmed().toStdString());
    if (!value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

}  // namespace geodataui
