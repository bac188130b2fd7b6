// The status bar's counter panel holds what a running task shows in it, from a short task to
// one of millions of tiles running for hours, without cutting the end off.
#include <QFontMetrics>
#include <QLabel>

#include "main_form_fixture.h"
#include "mainwindow/download/download_texts.h"

namespace testmainwindow {
namespace {

using MainFormStatusTest = MainFormFixture;

TEST_F(MainFormStatusTest, CounterPanelHoldsTheTextsOfLongTasks) {
    Window().resize(1200, 800);
    auto* panel = Find<QLabel>("StatusPanel1");
    ASSERT_NE(panel, nullptr);
    const QFontMetrics metrics(panel->font());
    struct Case {
        const char* what;
        std::int64_t elapsedMs, succeed, failed, total, fileSize;
        std::int32_t speed1, speed2;
    };
    const Case cases[] = {
        {"four minutes", 240000, 51177, 0, 51177, 29150000, 121344, 213},
        {"paused early", 10000, 2243, 17, 812847, 1258291, 59187, 104},
        {"hours, millions of tiles", 5 * 3600000LL + 59 * 60000, 3456789, 12345, 8123456,
         180LL << 30, 900 << 20, 9999},
    };
    for (const Case& c : cases) {
        const QString text = mainwindow::ProgressPanelText(c.elapsedMs, c.succeed, c.failed,
                                                           c.total, c.fileSize, c.speed1, c.speed2);
        EXPECT_LE(metrics.horizontalAdvance(text), panel->contentsRect().width())
            << c.what << ": " << text.toStdString();
    }
}

}  // namespace
}  // namespace testmainwindow
