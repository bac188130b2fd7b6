#pragma once
// Numbers typed by the user: "." is the decimal separator whatever the locale, and the locale's
// own separator is accepted too, so "39.75" and (under a decimal-comma locale) "39,75" both read.
#include <QString>
#include <optional>

namespace app {

// The whole text, blanks around it allowed; nothing for an empty or non-numeric text, and
// nothing for a text mixing "." with the locale's separator or holding it twice.
std::optional<double> ReadTypedNumber(const QString& text, const QString& localeDecimalPoint);
// With the default locale's separator.
std::optional<double> ReadTypedNumber(const QString& text);
std::optional<int> ReadTypedInt(const QString& text);

}  // namespace app
