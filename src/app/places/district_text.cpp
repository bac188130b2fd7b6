#include "district_text.h"

#include <QStringList>

#include "engine/core/number_format.h"
#include "geodata/boundary/boundary_store.h"

namespace app {

bool ReadDistrictAnswer(const QString& answer, int zoom, DistrictStep& step) {
    if (answer.isEmpty()) {
        return false;
    }
    const QStringList parts = answer.split(QLatin1Char(','));
    auto part = [&](int i) { return i < parts.size() ? parts.at(i) : QString(); };
    step = {};
    if (zoom < 5) {
        step.pathText = part(0);
        step.name = part(0);
    } else if (zoom <= 7) {
        step.pathText = part(0) + QLatin1Char('>') + part(1);
        step.name = part(1);
    } else if (zoom <= 10) {
        step.pathText = part(0) + QLatin1Char('>') + part(1) + QLatin1Char('>') + part(2);
        step.name = part(2);
    } else {
        step.pathText = answer;
        step.pathText.replace(QLatin1Char(','), QLatin1Char('>'));
        step.name = part(2);
        step.subPlace = part(3);
    }
    step.region = part(2);
    return true;
}

QStringList BoundaryExportLines(const QString& coordinates, int coordType, const QString& sep) {
    const QStringList values = coordinates.split(QLatin1Char(','));
    const auto type = static_cast<engine::TCoordType>(std::clamp(coordType, 0, 2));
    QStringList lines;
    for (qsizetype i = 0; i + 1 < values.size(); i += 2) {
        const auto lng = engine::ParseFloat(values.at(i).trimmed().toStdString());
        const auto lat = engine::ParseFloat(values.at(i + 1).trimmed().toStdString());
        if (!lng || !lat || *lng == 0 || *lat == 0) {
            continue;
        }
        const engine::TGLatLng p = geodata::ConvertFromGcj02({*lat, *lng}, type);
        lines << QString::fromStdString(engine::FormatFixed(p.lng, 6)) + sep +
                     QString::fromStdString(engine::FormatFixed(p.lat, 6));
    }
    return lines;
}

bool CoordinateBoxAccepts(QChar ch) {
    return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char(',') ||
           ch == QLatin1Char('-') || ch == QLatin1Char('.') || ch == QChar(0x08);
}

}  // namespace app
