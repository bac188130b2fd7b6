#include "download_texts.h"

#include <algorithm>
#include <cmath>

#include "engine/core/tile_math.h"
#include "engine/core/utilities.h"

namespace app {

namespace {

QString Num(std::int64_t value) {
    return QString::number(value);
}

QString ByteSize(std::int64_t bytes) {
    return QString::fromStdString(engine::FormatByteSize(bytes));
}

QString Elapsed(std::int64_t ms) {
    return QString::fromStdString(engine::FormatElapsedTime(ms));
}

// Centimetres on paper, truncated: tiles * pixels / dpi * 2.54.
std::int64_t Centimetres(std::int64_t tiles, int tileSize, int dpi) {
    return static_cast<std::int64_t>(
        std::trunc(static_cast<double>(tiles) * tileSize / dpi * 2.54));
}

}  // namespace

QString TileCountText(std::int64_t cols, std::int64_t rows, std::int64_t total, int tileSize,
                      int dpi) {
    if (dpi <= 0)
        dpi = 300;
    return Num(cols) + QStringLiteral(" 列 x ") + Num(rows) + QStringLiteral(" 行 = ") +
           Num(total) + QStringLiteral(" 瓦片 \r\n宽 ") + Num(Centimetres(cols, tileSize, dpi)) +
           QStringLiteral(" cm x 高 ") + Num(Centimetres(rows, tileSize, dpi)) +
           QStringLiteral(" cm (dpi:") + Num(dpi) + QStringLiteral(")");
}

QString CapMessage(std::int64_t count, std::int64_t cap) {
    return QStringLiteral("一共 ") + Num(count) +
           QStringLiteral(
               " 张瓦片。 \r\n\r\n额的婶啊，下载这么多片片，您的爱机受得了吗？\r\n"
               "为了保护您的爱机不受伤害，\r\n每次最多只能下载 ") +
           Num(cap) + QStringLiteral(" 张片片，多出部分将被忽略。");
}

QString StatusPanelText(engine::TDownloadStatus status) {
    switch (status) {
        case engine::TDownloadStatus::dsDownloading:
            return QStringLiteral("下载中");
        case engine::TDownloadStatus::dsPaused:
            return QStringLiteral("暂停");
        case engine::TDownloadStatus::dsStopped:
            return QStringLiteral("完毕");
    }
    return {};
}

QString ProgressPanelText(std::int64_t elapsedMs, std::int64_t succeed, std::int64_t failed,
                          std::int64_t total, std::int64_t fileSize, std::int32_t speed1,
                          std::int32_t speed2) {
    return Elapsed(elapsedMs) + QStringLiteral("|(") + Num(succeed) + QStringLiteral("+") +
           Num(failed) + QStringLiteral(")/") + Num(total) + QStringLiteral("|") +
           ByteSize(fileSize) + QStringLiteral("|") + ByteSize(speed1) + QStringLiteral("/s,") +
           Num(speed2) + QStringLiteral(" 张/s");
}

QString SummaryText(const engine::TDownloadInfo& f) {
    const QString size = QStringLiteral("文件大小为 ") + ByteSize(f.FileSize) +
                         QStringLiteral("，下载共耗时 ") + Elapsed(f.ElapsedMs) +
                         QStringLiteral(" 。");
    const std::int64_t untried = std::max<std::int64_t>(0, f.Total - f.Succeed - f.Failed);
    const auto stillToFetch = [](std::int64_t n) {
        return QStringLiteral("还有 ") + Num(n) + QStringLiteral(" 张需要下载，请重新下载一次。");
    };
    QString text;
    if (f.Failed == 0 && untried == 0) {
        text = QStringLiteral("已成功下载 ") + Num(f.Succeed) +
               QStringLiteral(" 张瓦片。\r\n\r\n") + size;
    } else if (f.Failed_404 == 0) {
        text = QStringLiteral("已成功下载 ") + Num(f.Succeed) + QStringLiteral(" 张瓦片，") +
               stillToFetch(f.Failed + untried) + QStringLiteral("\r\n") + size;
    } else {
        text = QStringLiteral("已成功下载 ") + Num(f.Succeed) + QStringLiteral(" 张切片，其中 ") +
               Num(f.Failed_404) + QStringLiteral(" 张瓦片服务器上不存在。\r\n") + size;
        const std::int64_t rest = f.Failed - f.Failed_404 + untried;
        if (rest > 0)
            text += stillToFetch(rest);
    }
    text += QStringLiteral("\r\n\r\n平均下载速度 ") + ByteSize(f.Speed1) + QStringLiteral("/s，") +
            Num(f.Speed2) + QStringLiteral(" 张/s ");
    text += QStringLiteral("\r\n\r\n现在是否需要拼接或者导出地图？");
    return text;
}

QString PowerOffCaption() {
    return QStringLiteral("自动关机");
}
QString NoAreaMessage() {
    return QStringLiteral("您未选择要下载的区域。");
}
QString NoZoomLevelMessage() {
    return QStringLiteral("您未选择地图级别。");
}
QString PauseQuestion() {
    return QStringLiteral("您要暂停下载？");
}
QString StopQuestion() {
    return QStringLiteral("您要停止下载？");
}
QString ProjectionFailedMessage() {
    return QStringLiteral("区域的坐标无法换算为百度瓦片，无法计算瓦片数量。");
}

}  // namespace app
