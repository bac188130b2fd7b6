#pragma once
// Numbers typed by the user: read with "." and, failing that, with the locale's separator.
#include <QString>
#include <optional>

namespace app {

// Nothing for a text that is no finite number.
std::optional<double> ReadTypedNumber(const QString& text);

}  // namespace app
