#include "progress_bar_ex.h"

#include <QLabel>
#include <QLocale>
#include <cmath>

#include "engine/core/number_format.h"

namespace app {

std::optional<QString> PercentageText(qint64 position, qint64 maximum,
                                      const QString& decimalPoint) {
    if (maximum <= 0) {
        return std::nullopt;  // no share without a maximum
    }
    const double p = static_cast<double>(position) / static_cast<double>(maximum) * 100.0;
    if (!(p > 0)) {
        return std::nullopt;
    }
    if (p == std::floor(p)) {
        return QString::number(static_cast<qint64>(p)) + u'%';
    }
    QString text = QString::fromStdString(engine::FormatFixed(p, 2));
    text.replace(u'.', decimalPoint);
    return text + u'%';
}

TProgressBar::TProgressBar(QWidget* parent, int refreshMs) : QProgressBar(parent) {
    setTextVisible(false);
    label_ = new QLabel(QStringLiteral("0.00%"), this);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setAutoFillBackground(false);
    label_->adjustSize();
    timer_.setInterval(refreshMs);
    connect(&timer_, &QTimer::timeout, this, &TProgressBar::UpdatePercentage);
    timer_.start();
}

void TProgressBar::UpdatePercentage() {
    const bool marquee = minimum() == 0 && maximum() == 0;
    if (!showPercentage_ || !isVisible() || marquee) {
        return;
    }
    update();
    const auto text = PercentageText(value(), maximum(), QLocale().decimalPoint());
    if (text && *text != label_->text()) {
        // Sized to its text; the left edge stays until the bar is resized.
        label_->setText(*text);
        label_->adjustSize();
    }
}

void TProgressBar::resizeEvent(QResizeEvent* event) {
    QProgressBar::resizeEvent(event);
    label_->move((width() - label_->width()) / 2, (height() - label_->height()) / 2 + 1);
}

}  // namespace app
