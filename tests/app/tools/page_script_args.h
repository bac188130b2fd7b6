#pragma once
// Reads the arguments of a page call such as addMarker(39.75,116.5,16,"") back into values,
// so that tests compare numbers, not their spelling.
#include <QString>
#include <QStringList>

namespace testmainwindow {

// The comma-separated arguments of the first call of `function` in `script`; string literals
// keep their quotes. Empty when the script holds no such call.
inline QStringList CallArguments(const QString& script, const QString& function) {
    const qsizetype start = script.indexOf(function + u'(');
    if (start < 0) {
        return {};
    }
    QStringList arguments;
    QString current;
    bool inString = false;
    for (qsizetype i = start + function.size() + 1; i < script.size(); ++i) {
        const QChar c = script[i];
        if (inString) {
            current += c;
            if (c == u'\\' && i + 1 < script.size()) {
                current += script[++i];
            } else if (c == u'"') {
                inString = false;
            }
        } else if (c == u'"') {
            inString = true;
            current += c;
        } else if (c == u',' || c == u')') {
            arguments << current;
            current.clear();
            if (c == u')') {
                break;
            }
        } else {
            current += c;
        }
    }
    return arguments;
}

}  // namespace testmainwindow
