// The window's creation: the first start without a settings file, damaged settings and task
// files, the stored level selection and layer.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QWidget>

#include "app/frame/application.h"
#include "app/services/exception_log.h"
#include "engine/log/logger.h"
#include "engine/tasks/profiles.h"
#include "main_form_fixture.h"

namespace testmainwindow {
namespace {

using MainFormStartupTest = MainFormFixture;

QList<int> Ticked(QListWidget* list, bool enabledOnly = false) {
    QList<int> levels;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        if (item->checkState() == Qt::Checked &&
            (!enabledOnly || (item->flags() & Qt::ItemIsEnabled)))
            levels << i;
    }
    return levels;
}

TEST_F(MainFormStartupTest, FirstStartWithoutSettingsFile) {
    ASSERT_FALSE(std::filesystem::exists(Paths().configFile));
    Window();
    EXPECT_EQ(fakes_.page.mapType, engine::TMapType::mtGoogleRoadMap);
    auto* list = Find<QListWidget>("chkZoomLevels");
    ASSERT_EQ(list->count(), 22);
    EXPECT_TRUE(Ticked(list).isEmpty());
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(list->item(i)->text(), QString::number(i));
        EXPECT_TRUE(list->item(i)->flags() & Qt::ItemIsEnabled) << i;  // layer 3: 0 to 21
    }
    EXPECT_FALSE(Find<QWidget>("pnlPOI")->isHidden());
    EXPECT_TRUE(Find<QAction>("actPOISearch")->isChecked());
    ASSERT_NE(Find<QAction>("mniMapType3"), nullptr)
        << Find<QMenu>("mniLayerMenu")->findChildren<QObject*>().size();
    EXPECT_TRUE(Find<QAction>("mniMapType3")->isChecked());
    EXPECT_TRUE(Window().windowTitle().endsWith(" - 谷歌地图-街道图"));
    EXPECT_FALSE(Find<QAction>("actBigFontMode")->isEnabled());
    EXPECT_TRUE(Window().Initialized());
}

TEST_F(MainFormStartupTest, StoredLayerAndLevelsAreShownWithinTheLayersRange) {
    Settings().SetIntSetting(engine::IntSetting::MapTypeIndex, 40);
    Settings().SetStrSetting(engine::StrSetting::SelectedZoomLevels, "2,10,12,18");
    Settings().SetBoolSetting(engine::BoolSetting::ShowPOISearchBar, false);
    Window();
    EXPECT_EQ(fakes_.page.mapType, static_cast<engine::TMapType>(40));
    EXPECT_EQ(Ticked(Find<QListWidget>("chkZoomLevels")), QList<int>({10, 12}));
    EXPECT_TRUE(Find<QWidget>("pnlPOI")->isHidden());
    EXPECT_FALSE(Find<QAction>("actPOISearch")->isChecked());
    EXPECT_TRUE(Find<QAction>("mniMapType40")->isChecked());
}

TEST_F(MainFormStartupTest, DamagedSettingsAndTaskFilesDoNotStopTheStart) {
    testsupport::WriteFileBytes(
        Paths().configFile,
        std::string("\xff\xfe[Main\r\nMapTypeIndex=\x01\x02\r\n\0\0garbage", 40));
    testsupport::WriteFileBytes(dir_ / "Profiles" / "坏任务.zeb", std::string("\x00\xff\x13", 3));
    Settings().SetIntSetting(engine::IntSetting::MapTypeIndex, 99);
    Window();
    EXPECT_EQ(fakes_.page.mapType, engine::TMapType::mtGoogleRoadMap);
    EXPECT_EQ(Settings().GetIntSetting(engine::IntSetting::MapTypeIndex), 3);
    const QStringList tasks = [this] {
        QStringList rows;
        auto* combo = Find<QComboBox>("cbbProfile");
        for (int i = 0; i < combo->count(); ++i)
            rows << combo->itemText(i);
        return rows;
    }();
    EXPECT_EQ(tasks, QStringList{"坏任务"});
    // The program's log names the value that was not used.
    QFile log(QString::fromStdString(engine::DefaultLogFileName().string()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains("MapTypeIndex 99 is outside 0..48"));
}

TEST_F(MainFormStartupTest, MapMenuSwitchesTheLayerAndItsLevels) {
    Settings().SetStrSetting(engine::StrSetting::SelectedZoomLevels, "2,10");
    Window();
    Find<QAction>("mniMapType40")->trigger();
    fakes_.page.AnswerAll();
    EXPECT_EQ(fakes_.page.mapType, static_cast<engine::TMapType>(40));
    EXPECT_TRUE(Find<QAction>("mniMapType40")->isChecked());
    EXPECT_FALSE(Find<QAction>("mniMapType3")->isChecked());
    EXPECT_TRUE(Find<QMenu>("mniMapOther")->menuAction()->isChecked());
    EXPECT_FALSE(Find<QMenu>("mniMapGoogle")->menuAction()->isChecked());
    EXPECT_TRUE(Window().windowTitle().endsWith(" - 其他地图-英国1919-47"));
    auto* list = Find<QListWidget>("chkZoomLevels");
    EXPECT_FALSE(list->item(3)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(list->item(4)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(Ticked(list), QList<int>{10});
    // Back to a layer of all levels: the stored selection comes back within its range.
    Find<QAction>("mniMapType3")->trigger();
    EXPECT_EQ(Ticked(list), QList<int>({2, 10}));
}

TEST_F(MainFormStartupTest, MenuItemsStandingForActionsFollowThem) {
    auto* grid = Find<QAction>("actCoordGrid");
    auto* item = Find<QAction>("mniCoordGrid");
    grid->setEnabled(false);
    EXPECT_FALSE(item->isEnabled());
    grid->setEnabled(true);
    EXPECT_TRUE(item->isEnabled());
    int runs = 0;
    QObject::connect(grid, &QAction::triggered, [&runs] { ++runs; });
    item->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(grid->isChecked());
    EXPECT_TRUE(item->isChecked());
    grid->setChecked(false);
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(Find<QAction>("mniFullView")->text(), "中国全图");
    EXPECT_EQ(Find<QAction>("actFullView")->text(), "恢复全图");
}

TEST_F(MainFormStartupTest, AnExceptionOfAnEventHandlerIsLoggedAndTheLoopGoesOn) {
    EXPECT_TRUE(app::DeliverLogged([] { return true; }));
    EXPECT_FALSE(app::DeliverLogged([]() -> bool { throw std::runtime_error("列表越界"); }));
    EXPECT_FALSE(app::DeliverLogged([]() -> bool { throw 42; }));
    const QString log = QString::fromStdString(testsupport::ReadFileBytes(app::ExceptionLogFile()));
    EXPECT_TRUE(log.contains("列表越界\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("unknown exception"));
}

TEST_F(MainFormStartupTest, QtWarningsReachTheExceptionLogBesideTheExceptions) {
    const QtMessageHandler previous = app::InstallQtMessageLog();
    qDebug("debug lines stay out");
    qWarning("页面 warning");
    qInstallMessageHandler(previous);
    app::DeliverLogged([]() -> bool { throw std::runtime_error("after the warning"); });
    const QStringList lines =
        QString::fromStdString(testsupport::ReadFileBytes(app::ExceptionLogFile()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}; )");
    EXPECT_TRUE(stamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("; Qt default: 页面 warning")) << lines[0].toStdString();
    EXPECT_TRUE(stamp.match(lines[1]).hasMatch());
    EXPECT_TRUE(lines[1].endsWith("; after the warning"));
}

}  // namespace
}  // namespace testmainwindow
