#pragma once
// A progress bar with the share done as a centred text over it ("33.33%"), refreshed by its
// own timer at most twice a second, however often the position changes.
#include <QProgressBar>
#include <QString>
#include <QTimer>
#include <optional>

class QLabel;

namespace app {

// The label text for a position of a maximum: "50%" for a whole percentage, else two
// decimals with the given separator ("33.33%"). Nothing (the text stays) when the share is
// 0 or less, or when the maximum is 0 or less.
std::optional<QString> PercentageText(qint64 position, qint64 maximum, const QString& decimalPoint);

class TProgressBar : public QProgressBar {
    Q_OBJECT

  public:
    explicit TProgressBar(QWidget* parent = nullptr, int refreshMs = 500);

    QLabel* CaptionLabel() const { return label_; }
    bool ShowPercentage() const { return showPercentage_; }
    void SetShowPercentage(bool show) { showPercentage_ = show; }

    // The timer's tick. Does nothing while hidden, in the busy (marquee) style, or with
    // ShowPercentage off.
    void UpdatePercentage();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* label_ = nullptr;
    QTimer timer_;
    bool showPercentage_ = true;
};

}  // namespace app
