// The status bar's counter panel holds what a running task shows in it, from a short task to
// one of millions of tiles running for hours, without cutting the end off.
#include <QFontMetrics>
#include <QLabel>

#include "app/download/download_texts.h"
#include "app/widgets/status_panel.h"
#include "main_form_fixture.h"

namespace testmainwindow {
namespace {

using MainFormStatusTest = MainFormFixture;

struct Counters {
    const char* what;
    std::int64_t elapsedMs, succeed, failed, total, fileSize;
    std::int32_t speed1, speed2;

    QString Text() const {
        return app::ProgressPanelText(elapsedMs, succeed, failed, total, fileSize, speed1, speed2);
    }
};

int Advance(const QLabel& panel, const QString& text) {
    return QFontMetrics(panel.font()).horizontalAdvance(text);
}

TEST_F(MainFormStatusTest, CounterPanelHoldsTheTextsOfTasks) {
    Window().resize(1200, 800);
    auto* panel = Find<QLabel>("StatusPanel1");
    ASSERT_NE(panel, nullptr);
    // From the start, the panel holds the counters of common tasks without widening.
    const Counters common[] = {
        {"four minutes", 240000, 51177, 0, 51177, 29150000, 121344, 213},
        {"paused early", 10000, 2243, 17, 812847, 1258291, 59187, 104},
        {"an hour", 3599000, 812847, 1234, 812847, 460LL << 20, 900 << 10, 426},
    };
    const int first = panel->width();
    for (const Counters& c : common)
        EXPECT_LE(Advance(*panel, c.Text()), panel->contentsRect().width()) << c.what;

    // Longer ones widen it for good; shorter ones after them do not narrow it.
    const Counters longer = {"hours, millions of tiles",
                             5 * 3600000LL + 59 * 60000,
                             3456789,
                             12345,
                             8123456,
                             180LL << 30,
                             900 << 20,
                             9999};
    app::SetStatusPanelText(*panel, longer.Text());
    EXPECT_EQ(panel->text(), longer.Text());
    EXPECT_GT(panel->width(), first);
    EXPECT_LE(Advance(*panel, longer.Text()), panel->contentsRect().width());
    const int widened = panel->width();
    app::SetStatusPanelText(*panel, common[0].Text());
    EXPECT_EQ(panel->width(), widened);
}

}  // namespace
}  // namespace testmainwindow
