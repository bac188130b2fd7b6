#include "typed_number.h"

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
    return engine::ParseInt32(text.trimmed().toStdString());
}

}  // namespace geodataui
