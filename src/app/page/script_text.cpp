#include "script_text.h"

#include <cmath>

#include "engine/core/number_format.h"
#include "engine/log/logger.h"

namespace app {
namespace {

void AppendUnicodeEscape(QString& out, char16_t unit) {
    out += QStringLiteral("\\u");
    out += QString::number(unit, 16).rightJustified(4, u'0').toUpper();
}

// The ways a non-finite number is written, by JsNumber and by the fixed-notation formatter.
bool IsNonFiniteNumber(const QString& argument) {
    static const QStringList names{QStringLiteral("nan"), QStringLiteral("inf"),
                                   QStringLiteral("infinity")};
    QString text = argument.trimmed();
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        text.remove(0, 1);
    }
    return names.contains(text, Qt::CaseInsensitive);
}

}  // namespace

QString JsString(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
            case u'"':
                out += QStringLiteral("\\\"");
                continue;
            case u'\'':
                out += QStringLiteral("\\'");
                continue;
            case u'\\':
                out += QStringLiteral("\\\\");
                continue;
            case u'\n':
                out += QStringLiteral("\\n");
                continue;
            case u'\r':
                out += QStringLiteral("\\r");
                continue;
            case u'\t':
                out += QStringLiteral("\\t");
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029 || c == u'<' || c == u'>') {
            AppendUnicodeEscape(out, c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n &&
                   QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out += text.at(i);
            out += text.at(++i);
        } else if (QChar::isSurrogate(c)) {
            AppendUnicodeEscape(out, c);
        } else {
            out += QChar(c);
        }
    }
    out += u'"';
    return out;
}

QString JsNumber(double value) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    }
    return QString::fromStdString(engine::FormatFloat(value));
}

QString JsInt(std::int64_t value) {
    return QString::fromStdString(engine::FormatInt(value));
}

QString JsBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString JsCall(const QString& function, const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (IsNonFiniteNumber(argument)) {
            engine::AppendLog("page script " + function.toStdString() +
                              " not sent: an argument is not a finite number (" +
                              arguments.join(u',').toStdString() + ")");
            return QString();
        }
    }
    return function + u'(' + arguments.join(u',') + QStringLiteral(");");
}

}  // namespace app
