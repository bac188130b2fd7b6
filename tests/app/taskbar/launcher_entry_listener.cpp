#include "launcher_entry_listener.h"

#include <QDBusArgument>
#include <QVariantMap>

#include "engine/core/number_format.h"

namespace testmainwindow {

void LauncherEntryListener::onUpdate(const QDBusMessage& message) {
    QString line = message.member() + u' ' + message.signature() + u' ' + message.path();
    const QList<QVariant> args = message.arguments();
    if (args.size() == 2) {
        line += u' ' + args[0].toString();
        const QVariantMap properties = qdbus_cast<QVariantMap>(args[1].value<QDBusArgument>());
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            QString value;
            if (it.value().typeId() == QMetaType::Bool) {
                value = it.value().toBool() ? QStringLiteral("true") : QStringLiteral("false");
            } else if (it.value().typeId() == QMetaType::Double) {
                value = QString::fromStdString(engine::FormatFloat(it.value().toDouble()));
            } else {
                value = QStringLiteral("?") + QString::fromLatin1(it.value().typeName());
            }
            line += u' ' + it.key() + u'=' + value;
        }
    }
    lines << line;
}

}  // namespace testmainwindow
