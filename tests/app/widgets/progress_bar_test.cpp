#include "app/widgets/progress_bar_ex.h"

#include <QLabel>
#include <QLocale>
#include <optional>

#include <gtest/gtest.h>

#include "app/support/qt_print.h"

namespace {

using app::PercentageText;
using app::TProgressBar;

TEST(ProgressLabel, PercentageTexts) {
    struct Case {
        qint64 position;
        qint64 maximum;
        std::optional<QString> text;
    };
    const std::vector<Case> cases = {
        {1, 3, "33.33%"},
        {3, 3, "100%"},
        {1, 8, "12.50%"},
        {1, 2, "50%"},
        {2, 3, "66.67%"},
        {1, 30000, "0.00%"},
        {0, 3, std::nullopt},
        {-1, 3, std::nullopt},
        {0, 0, std::nullopt},
        {5, 0, std::nullopt},
        {4294967296LL, 8589934592LL, "50%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.position) + " of " + std::to_string(c.maximum));
        EXPECT_EQ(PercentageText(c.position, c.maximum, "."), c.text);
    }
    EXPECT_EQ(PercentageText(1, 3, ","), std::optional<QString>("33,33%"));
}

TEST(ProgressLabel, BarRefreshesOnlyOnItsTick) {
    TProgressBar bar(nullptr, 3600000);  // ticks are driven by hand
    bar.resize(200, 20);
    bar.show();
    EXPECT_EQ(bar.CaptionLabel()->text(), "0.00%");
    bar.setRange(0, 3);
    bar.setValue(1);
    EXPECT_EQ(bar.CaptionLabel()->text(), "0.00%") << "setting the position leaves the label";
    bar.UpdatePercentage();
    EXPECT_EQ(bar.CaptionLabel()->text(), QString("33.33%").replace('.', QLocale().decimalPoint()));
    bar.setValue(3);
    bar.UpdatePercentage();
    EXPECT_EQ(bar.CaptionLabel()->text(), "100%");
    bar.setValue(0);  // a new run
    bar.UpdatePercentage();
    EXPECT_EQ(bar.CaptionLabel()->text(), "100%");

    bar.setValue(2);
    bar.SetShowPercentage(false);
    bar.UpdatePercentage();
    EXPECT_EQ(bar.CaptionLabel()->text(), "100%");
    bar.SetShowPercentage(true);
    bar.hide();
    bar.UpdatePercentage();
    EXPECT_EQ(bar.CaptionLabel()->text(), "100%");
    bar.show();
    bar.setRange(0, 0);  // busy style, and a maximum of 0 must not divide
    bar.UpdatePercentage();
    EXPECT_EQ(bar.CaptionLabel()->text(), "100%");
}

TEST(ProgressLabel, ResizeCentresTheLabelAndTextAloneDoesNot) {
    TProgressBar bar(nullptr, 3600000);
    bar.show();
    bar.resize(300, 24);
    QLabel* label = bar.CaptionLabel();
    EXPECT_EQ(label->x(), (300 - label->width()) / 2);
    EXPECT_EQ(label->y(), (24 - label->height()) / 2 + 1);
    const int left = label->x();
    bar.setRange(0, 3);
    bar.setValue(3);
    bar.UpdatePercentage();  // "100%" is narrower than "0.00%"
    EXPECT_EQ(label->x(), left);
    bar.resize(400, 24);
    EXPECT_EQ(label->x(), (400 - label->width()) / 2);
}

}  // namespace
