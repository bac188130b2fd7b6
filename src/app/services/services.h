#pragma once
// The services that controllers call instead of reaching for dialogs, the desktop, the clock,
// the process or the page directly. The window passes real ones; tests pass fakes
// (tests/app/support/fake_services.h).
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>

#include "engine/core/core_types.h"

namespace app {

class PageWait;

// The program's message dialogs. Ask* answer true exactly on Yes.
class IMessages {
  public:
    virtual ~IMessages() = default;
    // The plain box: the application's title as caption, no icon, one OK button.
    virtual void ShowPlain(const QString& msg) = 0;
    virtual void ShowInfo(const QString& msg, const QString& caption = QString()) = 0;
    virtual void ShowError(const QString& msg, const QString& caption = QString()) = 0;
    virtual void ShowWarning(const QString& msg, const QString& caption = QString()) = 0;
    virtual bool AskYesNo(const QString& msg, const QString& caption = QString()) = 0;
    virtual bool AskWarningYesNo(const QString& msg, const QString& caption = QString()) = 0;
    // Closes the open question asking `msg`, if any, as answered No: what it asked about has
    // ended. Other questions stay.
    virtual void CloseQuestion(const QString& msg) = 0;
};

// Open, save and folder dialogs. Filters are written "Name|*.a;*.b|Other|*.c" with a 1-based
// index, as the system's texts give them; an empty result means the user cancelled.
class IFileDialogs {
  public:
    virtual ~IFileDialogs() = default;
    virtual QString OpenFileName(const QString& caption, const QString& folder,
                                 const QString& filter, int& filterIndex) = 0;
    virtual QString SaveFileName(const QString& caption, const QString& folder,
                                 const QString& fileName, const QString& filter,
                                 int& filterIndex) = 0;
    virtual QString SelectFolder(const QString& caption, const QString& folder) = 0;
};

// Opens files, folders and web pages with the desktop's handler; never through a shell.
class IDesktopOpener {
  public:
    virtual ~IDesktopOpener() = default;
    virtual bool Open(const QUrl& url) = 0;
};

class IClock {
  public:
    virtual ~IClock() = default;
    // For intervals and time-outs.
    virtual std::chrono::steady_clock::time_point Now() const = 0;
    // For texts and file names.
    virtual QDateTime CurrentDateTime() const = 0;
};

// Ends the process at the end of the close steps.
class IProcessExit {
  public:
    virtual ~IProcessExit() = default;
    virtual void Exit(int code) = 0;
};

// The 30-second power-off question; powers off once on Yes or when the countdown runs out.
// Returns whether power-off was asked for.
class IPowerOffQuestion {
  public:
    virtual ~IPowerOffQuestion() = default;
    virtual bool AskAndPowerOff(const QString& caption) = 0;
};

// What controllers need of the map page. Script texts come from page/page_scripts.h.
class IMapPage {
  public:
    virtual ~IMapPage() = default;
    // Runs a script and hands `then` the text the page returned through setJsReturnValue,
    // once the page has answered and the callbacks the script made have arrived; an empty
    // text when no answer came in time or the page went first. Never waits: `then` runs
    // later, on the UI thread, never inside this call. A script sent while a page loads waits
    // until it has started. Steps go through PageWait, which keeps the controls off.
    virtual void ExecJavaScript(const QString& code, std::function<void(const QString&)> then) = 0;
    // Runs a script without waiting for it. Scripts sent while a page loads wait, in order,
    // until it has started.
    virtual void RunScript(const QString& code) = 0;
    virtual engine::TMapType MapType() const = 0;
    virtual void SetMapType(engine::TMapType mapType) = 0;
    // Layers 45 to 48 are shown on the Baidu page.
    virtual bool IsBaiduMap() const = 0;
    // Loads the page for the current layer again from the settings store.
    virtual void LoadMaps() = 0;
};

// Passed by reference into every controller; owned by the main window (or a test).
struct Services {
    IMessages& messages;
    IFileDialogs& fileDialogs;
    IDesktopOpener& opener;
    IClock& clock;
    IProcessExit& processExit;
    IPowerOffQuestion& powerOff;
    IMapPage& page;
    // Over `page`: the page calls a step waits for, and whether one does now.
    PageWait& pageWait;
};

}  // namespace app
