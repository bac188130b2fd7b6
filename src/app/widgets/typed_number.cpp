#include "typed_number.h"

#include <QLocale>

#include "engine/core/number_format.h"

namespace app {

std::optional<double> ReadTypedNumber(const QString& text, const QString& localeDecimalPoint) {
    const QString trimmed = text.trimmed();
    if (const auto value = engine::ParseFloat(trimmed.toStdString())) {
        return value;
    }
    if (localeDecimalPoint.isEmpty() || localeDecimalPoint == QStringLiteral(".") ||
        trimmed.contains(u'.') || trimmed.count(localeDecimalPoint) != 1) {
        return std::nullopt;
    }
    QString dotted = trimmed;
    dotted.replace(localeDecimalPoint, QStringLiteral("."));
    return engine::ParseFloat(dotted.toStdString());
}

std::optional<double> ReadTypedNumber(const QString& text) {
    return ReadTypedNumber(text, QLocale().decimalPoint());
}

std::optional<int> ReadTypedInt(const QString& text) {
    return engine::ParseInt32(text.trimmed().toStdString());
}

}  // namespace app
