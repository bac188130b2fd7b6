#include "marker_edit_controller.h"

#include <cmath>

#include "app/page/page_scripts.h"
#include "app/widgets/typed_number.h"
#include "engine/core/number_format.h"
#include "engine/log/logger.h"
#include "marker_packet.h"
#include "marker_store.h"

namespace app {

namespace {

QString Fixed(double value, int decimals) {
    return QString::fromStdString(engine::FormatFixed(value, decimals));
}

// The close check compares positions as texts rounded to 6 decimals.
QString PositionText(double lat, double lng) {
    return Fixed(lat, 6) + Fixed(lng, 6);
}

}  // namespace

MarkerEditController::MarkerEditController(Services& services, const MarkerStore& store,
                                           QObject* parent)
    : QObject(parent),
      services_(services),
      store_(store),
      log_([](const QString& line) { engine::AppendLog(line.toStdString()); }) {}

bool MarkerEditController::ShowForm(const QString& id, double lat, double lng, const QString& name,
                                    const QString& content, bool isNew) {
    const auto value = engine::ParseInt(id.toStdString());
    if (!value) {
        log_(QStringLiteral("Marker from the page ignored: its id \"%1\" is no decimal 64-bit "
                            "integer")
                 .arg(id));
        return false;
    }
    marker_.id = *value;
    marker_.name = name;
    marker_.lat = lat;
    marker_.lng = lng;
    marker_.content = content;
    marker_.isNew = isNew;
    return true;
}

QString MarkerEditController::Caption() const {
    return marker_.isNew ? QStringLiteral("新增标记") : QStringLiteral("编辑标记");
}

QString MarkerEditController::LatitudeText() const {
    return Fixed(marker_.lat, 8);
}

QString MarkerEditController::LongitudeText() const {
    return Fixed(marker_.lng, 8);
}

MarkerEditController::SaveOutcome MarkerEditController::Save(const QString& name,
                                                             const QString& latitude,
                                                             const QString& longitude,
                                                             const QString& content) {
    if (name.isEmpty()) {
        services_.messages.ShowInfo(QStringLiteral("标注名称不能为空！"));
        return SaveOutcome::EmptyName;
    }
    marker_.lat = ReadTypedNumber(latitude).value_or(0);
    marker_.lng = ReadTypedNumber(longitude).value_or(0);
    if (marker_.lat == 0 || marker_.lng == 0 || std::abs(marker_.lat) > 90 ||
        std::abs(marker_.lng) > 180) {
        services_.messages.ShowInfo(QStringLiteral("经纬度有误。"));
        return SaveOutcome::Refused;
    }
    // A stored marker keeping its name is no duplicate of itself; a change of letter case
    // only is, as the lookup ignores case.
    const bool checkName = marker_.isNew || name != marker_.name;
    if (checkName && store_.MarkerExists(name)) {
        services_.messages.ShowInfo(QStringLiteral("标记名称\"%1\"已经存在。").arg(name),
                                    QStringLiteral("名称重复"));
        return SaveOutcome::Refused;
    }
    marker_.name = LimitCharacters(name, kMarkerNameWidth);
    marker_.content = LimitCharacters(content, kMarkerContentWidth);
    operation_ = moEdit;
    emit markerEdit(marker_, moEdit);
    return SaveOutcome::Saved;
}

bool MarkerEditController::Delete(const QString& name) {
    const TCustomPOI marker = marker_;  // the question's loop may refill the editor
    if (!services_.messages.AskWarningYesNo(
            QStringLiteral("确定要删除“") + name + QStringLiteral("”吗？"),
            QStringLiteral("删除标记"))) {
        return false;
    }
    operation_ = moDelelet;
    emit markerEdit(marker, moDelelet);
    return true;
}

bool MarkerEditController::CloseQuery() {
    if (operation_ != moNull)
        return true;
    const TCustomPOI marker = marker_;
    if (marker.isNew) {
        if (!services_.messages.AskYesNo(
                QStringLiteral("\"%1\"未保存，是否要关闭?").arg(marker.name))) {
            return false;
        }
        emit markerEdit(marker, moNull);
        return true;
    }
    // A marker no longer in the table (deleted through the list meanwhile) has no stored
    // position to go back to.
    if (!store_.Locate(marker.id))
        return true;
    double lat = 0;
    double lng = 0;
    store_.MarkerPosition(marker.id, lat, lng);
    if (PositionText(lat, lng) == PositionText(marker.lat, marker.lng))
        return true;
    if (services_.messages.AskYesNo(
            QStringLiteral("\"%1\"位置已经改变，不保存吗?").arg(marker.name))) {
        services_.page.RunScript(
            pagescript::AddPOI(marker.id, marker.name, lat, lng, marker.content, false, false));
    }
    return true;
}

}  // namespace app
