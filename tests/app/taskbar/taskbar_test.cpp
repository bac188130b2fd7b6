#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/support/qt_print.h"
#include "app/taskbar/taskbar_progress.h"

namespace {

using app::TfspTaskbarMgr;
using State = app::TfspTaskProgressState;

// Records what reaches the desktop: "state F" or "value V/M".
class FakeBackend final : public app::ITaskbarBackend {
  public:
    explicit FakeBackend(std::vector<std::string>& log) : log_(log) {}
    void SetProgressState(int flag) override { log_.push_back("state " + std::to_string(flag)); }
    void SetProgressValue(std::int64_t value, std::int64_t maximum) override {
        log_.push_back("value " + std::to_string(value) + "/" + std::to_string(maximum));
    }

  private:
    std::vector<std::string>& log_;
};

using Log = std::vector<std::string>;

TEST(TaskbarProgress, StateFlagsAndTheDownloadSequence) {
    EXPECT_EQ(app::ProgressStateToFlag(State::fstpsNoProgress), 0);
    EXPECT_EQ(app::ProgressStateToFlag(State::fstpsIndeterminate), 1);
    EXPECT_EQ(app::ProgressStateToFlag(State::fstpsNormal), 2);
    EXPECT_EQ(app::ProgressStateToFlag(State::fstpsError), 4);
    EXPECT_EQ(app::ProgressStateToFlag(State::fstpsPaused), 8);

    Log log;
    TfspTaskbarMgr taskbar(std::make_unique<FakeBackend>(log));
    EXPECT_EQ(taskbar.ProgressValueMax(), 100);
    taskbar.SetActive(true);
    EXPECT_TRUE(log.empty()) << "nothing to show yet";
    // Start, initialise, tick, pause, resume, end: as the main window drives it.
    taskbar.SetProgressState(State::fstpsNormal);
    taskbar.SetProgressValueMax(5000);
    taskbar.SetProgressValue(0);
    taskbar.SetProgressValue(1200);
    taskbar.SetProgressState(State::fstpsNoProgress);
    taskbar.SetProgressState(State::fstpsNormal);
    taskbar.SetProgressState(State::fstpsNoProgress);
    EXPECT_EQ(log, (Log{"state 2", "value 0/5000", "value 0/5000", "value 1200/5000", "state 0",
                        "state 2", "state 0"}));
}

TEST(TaskbarProgress, InactiveStoresAndActivationSendsWhatIsStored) {
    Log log;
    TfspTaskbarMgr taskbar(std::make_unique<FakeBackend>(log));
    taskbar.SetProgressState(State::fstpsNormal);
    taskbar.SetProgressValueMax(300);
    taskbar.SetProgressValue(120);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(taskbar.ProgressValue(), 120);
    taskbar.SetActive(true);
    EXPECT_EQ(log, (Log{"state 2", "value 120/300"}));
    taskbar.SetActive(true);  // no change, nothing sent
    EXPECT_EQ(log.size(), 2u);
    taskbar.SetActive(false);
    EXPECT_EQ(log.back(), "state 0");
    taskbar.SetProgressValue(130);
    EXPECT_EQ(log.size(), 3u) << "inactive again: stored only";
}

TEST(TaskbarProgress, EntryCreatedAgainBringsTheStateBack) {
    struct Case {
        const char* name;
        State state;
        int value;
        Log expected;
    };
    const std::vector<Case> cases = {
        {"normal at 0 sends the state, no value", State::fstpsNormal, 0, {"state 2"}},
        {"normal with a value sends both", State::fstpsNormal, 40, {"state 2", "value 40/100"}},
        {"indeterminate keeps its stored value back", State::fstpsIndeterminate, 40, {"state 1"}},
        {"no progress with a value sends the value only",
         State::fstpsNoProgress,
         40,
         {"value 40/100"}},
        {"paused", State::fstpsPaused, 10, {"state 8", "value 10/100"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log log;
        TfspTaskbarMgr taskbar(std::make_unique<FakeBackend>(log));
        taskbar.SetProgressState(c.state);
        taskbar.SetProgressValue(c.value);
        taskbar.SetActive(true);
        log.clear();
        taskbar.TaskbarButtonCreated();  // e.g. the panel restarted during a download
        EXPECT_EQ(log, c.expected);
    }
    Log log;
    TfspTaskbarMgr inactive(std::make_unique<FakeBackend>(log));
    inactive.SetProgressState(State::fstpsNormal);
    inactive.TaskbarButtonCreated();
    EXPECT_TRUE(log.empty()) << "an inactive component ignores a new entry";
}

TEST(TaskbarProgress, DestructionClearsTheEntryAndNoBackendSendsNothing) {
    Log log;
    {
        TfspTaskbarMgr taskbar(std::make_unique<FakeBackend>(log));
        taskbar.SetActive(true);
        taskbar.SetProgressState(State::fstpsNormal);
    }
    EXPECT_EQ(log, (Log{"state 2", "state 0"}));

    TfspTaskbarMgr none(nullptr);
    none.SetActive(true);
    none.SetProgressState(State::fstpsNormal);
    none.SetProgressValue(5);
    none.TaskbarButtonCreated();
    EXPECT_EQ(none.ProgressValue(), 5);
}

// Runs this executable again as the launcher-entry helper; returns its output lines.
QStringList RunChild(const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& environment, int* exitCode) {
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, arguments);
    if (!child.waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return {};
    }
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        ADD_FAILURE() << "helper process did not finish";
    }
    *exitCode = child.exitCode();
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

TEST(LauncherEntry, UpdateSignalsOnAPrivateSessionBus) {
    const QString runner = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    ASSERT_FALSE(runner.isEmpty())
        << "dbus-run-session is missing: install the Debian package dbus";
    int exitCode = -1;
    const QStringList lines =
        RunChild(runner,
                 {QStringLiteral("--"), QCoreApplication::applicationFilePath(),
                  QStringLiteral("--launcher-entry-child"), QStringLiteral("signals")},
                 QProcessEnvironment::systemEnvironment(), &exitCode);
    ASSERT_EQ(exitCode, 0) << lines.join(u'\n').toStdString();
    const QString head = QStringLiteral(
        "Update sa{sv} /org/vantorel/Vantorel/LauncherEntry application://vantorel.desktop ");
    const QStringList expected = {
        head + "progress=0 progress-visible=true urgent=false",      // normal
        head + "progress=0 progress-visible=true urgent=false",      // maximum 200
        head + "progress=0.25 progress-visible=true urgent=false",   // 50 of 200
        head + "progress=0.25 progress-visible=true urgent=true",    // error
        head + "progress=0.25 progress-visible=false urgent=false",  // no progress
        head + "progress=0.25 progress-visible=false urgent=false",  // destroyed: cleared
    };
    EXPECT_EQ(lines, expected);
}

TEST(LauncherEntry, NoSessionBusGivesTheNullBackend) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/vantorel-test-bus"));
    environment.remove(QStringLiteral("DISPLAY"));
    int exitCode = -1;
    const QStringList lines =
        RunChild(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--launcher-entry-child"), QStringLiteral("backend")}, environment,
                 &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(lines, QStringList{QStringLiteral("null")});
}

}  // namespace
