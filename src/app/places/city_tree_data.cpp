#include "city_tree_data.h"

#include <QList>

#include "engine/download/installed_data.h"

namespace app {

std::vector<CityNode> ParseCityTree(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    std::vector<CityNode> nodes;
    std::vector<int> lastAtLevel;  // index of the latest node of each level
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        int depth = 0;
        while (depth < line.size() && line.at(depth) == QLatin1Char('\t')) {
            ++depth;
        }
        const QString name = line.mid(depth).trimmed();
        if (name.isEmpty()) {
            continue;
        }
        depth = std::min<int>(depth, static_cast<int>(lastAtLevel.size()));
        CityNode node;
        node.text = name;
        node.level = depth;
        node.parent = depth == 0 ? -1 : lastAtLevel[static_cast<std::size_t>(depth - 1)];
        lastAtLevel.resize(static_cast<std::size_t>(depth));
        lastAtLevel.push_back(static_cast<int>(nodes.size()));
        nodes.push_back(node);
    }
    return nodes;
}

int CityImage(const QString& text, bool hasParent, bool hasChildren) {
    if (hasChildren) {
        return 0;
    }
    if (!hasParent) {
        return 1;
    }
    const QChar district(0x533A);  // 区
    const qsizetype bracket = text.indexOf(QLatin1Char('('));
    if (text.endsWith(district) || (bracket > 0 && text.at(bracket - 1) == district)) {
        return 2;
    }
    return 1;
}

std::filesystem::path CityDataFile() {
    return engine::InstalledDataFile(kCityDataFile);
}

}  // namespace app
