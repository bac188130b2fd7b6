#include "marker_store.h"

#include <cmath>
#include <system_error>

#include "app/widgets/failure_message.h"
#include "engine/core/atomic_file.h"
#include "engine/core/md5.h"
#include "engine/settings/settings_paths.h"

namespace app {

namespace {

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// "file.damaged", or "file.damaged-2" and on when that exists.
std::filesystem::path FreeAsideName(const std::filesystem::path& file) {
    std::filesystem::path candidate = file;
    candidate += ".damaged";
    for (int n = 2; std::filesystem::exists(candidate) || std::filesystem::is_symlink(candidate);
         ++n) {
        candidate = file;
        candidate += ".damaged-" + std::to_string(n);
    }
    return candidate;
}

}  // namespace

QString MarkerStore::LoadMarkerFromFile() {
    std::error_code ec;
    if (!std::filesystem::exists(fileName_, ec))
        return {};
    std::string bytes;
    MarkerPacketResult packet;
    if (!engine::ReadFileBytes(fileName_, bytes)) {
        packet.error = QStringLiteral("无法读取文件");
    } else {
        packet = ReadMarkerPacket(bytes);
    }
    if (packet.ok) {
        rows_ = std::move(packet.rows);
        return {};
    }
    rows_.clear();
    const std::filesystem::path aside = FreeAsideName(fileName_);
    std::filesystem::rename(fileName_, aside, ec);
    if (ec) {
        keepFile_ = true;
        return FailureMessage(QStringLiteral("标记文件“%1”已损坏（%2），也无法改名保存。"
                                             "本次运行中的标记修改不会写入文件。")
                                  .arg(PathText(fileName_), packet.error),
                              packet.detail + (packet.detail.empty() ? "" : "; ") + ec.message());
    }
    setAside_ = aside;
    return FailureMessage(
        QStringLiteral("标记文件“%1”已损坏（%2），已改名为“%3”保留。标记从空表开始。")
            .arg(PathText(fileName_), packet.error, PathText(aside)),
        packet.detail);
}

bool MarkerStore::SaveMarkerToFile(QString* error) const {
    if (keepFile_) {
        if (error)
            *error = QStringLiteral("已损坏的标记文件“%1”未能改名保存，不会被覆盖。")
                         .arg(PathText(fileName_));
        return false;
    }
    std::string message;
    engine::AtomicWriteOptions options;
    options.durable = true;
    if (engine::WriteFileAtomic(fileName_, WriteMarkerPacket(rows_), &message, options))
        return true;
    const QString shown =
        FailureMessage(QStringLiteral("标记文件“%1”保存失败。").arg(PathText(fileName_)), message);
    if (error)
        *error = shown;
    return false;
}

bool MarkerStore::MarkerExists(const QString& name) const {
    for (const MarkerRecord& row : rows_) {
        if (row.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void MarkerStore::MarkerPosition(std::int64_t id, double& lat, double& lng) const {
    if (const auto index = Locate(id)) {
        lat = rows_[*index].latitude;
        lng = rows_[*index].longitude;
    }
}

std::optional<std::size_t> MarkerStore::Locate(std::int64_t id) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == id)
            return i;
    }
    return std::nullopt;
}

bool MarkerStore::Post(const MarkerRecord& record) {
    if (!std::isfinite(record.latitude) || !std::isfinite(record.longitude))
        return false;
    MarkerRecord row = record;
    row.name = ColumnText(row.name, kMarkerNameWidth);
    row.content = ColumnText(row.content, kMarkerContentWidth);
    if (const auto index = Locate(record.id)) {
        rows_[*index] = std::move(row);
    } else {
        rows_.push_back(std::move(row));
    }
    return true;
}

bool MarkerStore::Delete(std::int64_t id) {
    const auto index = Locate(id);
    if (!index)
        return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*index));
    return true;
}

std::filesystem::path MarkerFileName(const std::filesystem::path& documentsFolder) {
    return documentsFolder / "Vantorel" / "Data" / engine::StrMD5Hex("");
}

std::filesystem::path DefaultMarkerFileName() {
    return MarkerFileName(engine::DocumentsFolderFromEnvironment());
}

}  // namespace app
