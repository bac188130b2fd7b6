#pragma once
// The one place that turns values into script text for the map pages. Every script the host
// builds quotes its texts with JsString and writes its numbers with JsNumber/JsInt, so that no
// text can end a string literal or the surrounding script, and numbers use "." in any locale.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace app {

// A complete JavaScript string literal in double quotes. Escapes quotes, the backslash,
// every control character, U+2028 and U+2029 (line ends inside script literals), "<" (so
// neither "</script>" nor "<!--" can appear) and unpaired surrogate halves (so the text
// survives the trip through UTF-8 unchanged).
QString JsString(const QString& text);

// A number literal: the general format with up to 15 significant digits and "." always;
// non-finite values give NaN, Infinity or -Infinity.
QString JsNumber(double value);
QString JsInt(std::int64_t value);
QString JsBool(bool value);

// "name(arg1,arg2,...);" from argument texts already made with the functions above. A call
// with a non-finite number among its arguments is never sent: the text is empty and the
// refusal goes to the program's log.
QString JsCall(const QString& function, const QStringList& arguments);

}  // namespace app
