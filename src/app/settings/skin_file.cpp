#include "skin_file.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaEnum>
#include <QStyleFactory>

namespace app {
namespace {

std::optional<QString> ReadUtf8(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

std::optional<QPalette::ColorRole> RoleNamed(const QString& name) {
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    bool ok = false;
    const int value = roles.keyToValue(name.toLatin1().constData(), &ok);
    if (!ok || value == QPalette::NColorRoles) {
        return std::nullopt;
    }
    return static_cast<QPalette::ColorRole>(value);
}

// One "Role" or "Group.Role" key of the palette section; false when it cannot be read.
bool SetPaletteEntry(QPalette& palette, const QString& key, const QString& value) {
    const QColor color = QColor::fromString(value);
    if (!color.isValid() || !value.startsWith(QLatin1Char('#'))) {
        return false;
    }
    const int dot = key.indexOf(QLatin1Char('.'));
    const auto role = RoleNamed(dot < 0 ? key : key.mid(dot + 1));
    if (!role) {
        return false;
    }
    if (dot < 0) {
        palette.setColor(*role, color);
        return true;
    }
    const QString group = key.left(dot);
    if (group == QLatin1String("Disabled")) {
        palette.setColor(QPalette::Disabled, *role, color);
    } else if (group == QLatin1String("Inactive")) {
        palette.setColor(QPalette::Inactive, *role, color);
    } else if (group == QLatin1String("Active")) {
        palette.setColor(QPalette::Active, *role, color);
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::optional<Skin> LoadSkinFile(const QString& fileName) {
    const auto text = ReadUtf8(fileName);
    if (!text) {
        return std::nullopt;
    }
    Skin skin;
    QString section;
    QString sheetName;
    // Group entries are applied after the plain ones so that their order in the file does not
    // matter.
    QList<QPair<QString, QString>> groupEntries;
    for (QString line : text->split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            return std::nullopt;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (section == QLatin1String("Skin")) {
            if (key == QLatin1String("Name")) {
                skin.name = value;
            } else if (key == QLatin1String("Style")) {
                skin.baseStyle = value;
            } else if (key == QLatin1String("StyleSheet")) {
                sheetName = value;
            }
        } else if (section == QLatin1String("Palette")) {
            if (key.contains(QLatin1Char('.'))) {
                groupEntries.append({key, value});
            } else if (!SetPaletteEntry(skin.palette, key, value)) {
                return std::nullopt;
            }
        }
    }
    for (const auto& [key, value] : groupEntries) {
        if (!SetPaletteEntry(skin.palette, key, value)) {
            return std::nullopt;
        }
    }
    if (skin.name.isEmpty()) {
        return std::nullopt;
    }
    if (skin.baseStyle.isEmpty()) {
        skin.baseStyle = QStringLiteral("Fusion");
    }
    if (!QStyleFactory::keys().contains(skin.baseStyle, Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    if (!sheetName.isEmpty()) {
        const auto sheet = ReadUtf8(QFileInfo(fileName).dir().filePath(sheetName));
        if (!sheet) {
            return std::nullopt;
        }
        skin.styleSheet = *sheet;
    }
    return skin;
}

}  // namespace app
