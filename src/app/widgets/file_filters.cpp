#include "file_filters.h"

namespace app {
namespace {

QString BothCases(const QString& pattern) {
    const QString lower = pattern.toLower();
    const QString upper = pattern.toUpper();
    return lower == upper ? lower : lower + QLatin1Char(' ') + upper;
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << BothCases(pattern.trimmed());
        }
        QString name = parts.at(i);
        // Qt reads the last bracket pair as the patterns, so the name's own one goes.
        const int bracket = static_cast<int>(name.lastIndexOf(QLatin1Char('(')));
        if (bracket >= 0 && name.endsWith(QLatin1Char(')'))) {
            name = name.left(bracket).trimmed();
        }
        result << name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

}  // namespace app
