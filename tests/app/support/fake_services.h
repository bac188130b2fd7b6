#pragma once
// Services for controller tests: messages are recorded and questions answered from a queue,
// the clock is moved by hand, nothing opens, exits or powers off.
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/services/page_wait.h"
#include "app/services/services.h"

namespace testmainwindow {

struct RecordedMessage {
    QString kind;  // "plain", "info", "error", "warning", "ask", "askwarning"
    QString text;
    QString caption;
};

class FakeMessages final : public app::IMessages {
  public:
    std::vector<RecordedMessage> shown;
    // Answers for the questions, in order; an empty queue answers `defaultAnswer`.
    std::deque<bool> answers;
    bool defaultAnswer = false;
    // Runs inside every message, as a nested event loop would run timers and events.
    std::function<void()> duringMessage;

    void ShowPlain(const QString& msg) override { Record("plain", msg, QString()); }
    void ShowInfo(const QString& msg, const QString& caption) override {
        Record("info", msg, caption);
    }
    void ShowError(const QString& msg, const QString& caption) override {
        Record("error", msg, caption);
    }
    void ShowWarning(const QString& msg, const QString& caption) override {
        Record("warning", msg, caption);
    }
    bool AskYesNo(const QString& msg, const QString& caption) override {
        Record("ask", msg, caption);
        return NextAnswer();
    }
    bool AskWarningYesNo(const QString& msg, const QString& caption) override {
        Record("askwarning", msg, caption);
        return NextAnswer();
    }
    void CloseQuestion(const QString& msg) override {
        ++closedQuestions;
        closedQuestionTexts << msg;
    }
    QStringList closedQuestionTexts;
    int closedQuestions = 0;
    QStringList Texts() const {
        QStringList texts;
        for (const auto& message : shown)
            texts << message.text;
        return texts;
    }

  private:
    void Record(const char* kind, const QString& msg, const QString& caption) {
        shown.push_back({QString::fromLatin1(kind), msg, caption});
        if (duringMessage)
            duringMessage();
    }
    bool NextAnswer() {
        if (answers.empty())
            return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeFileDialogs final : public app::IFileDialogs {
  public:
    QString nextFile;         // returned by the open and save dialogs
    int nextFilterIndex = 0;  // 0 keeps the caller's index
    QString nextFolder;       // returned by the folder dialog
    QStringList captions;

    QString OpenFileName(const QString& caption, const QString&, const QString&,
                         int& filterIndex) override {
        captions << caption;
        if (nextFilterIndex > 0)
            filterIndex = nextFilterIndex;
        return nextFile;
    }
    QString SaveFileName(const QString& caption, const QString&, const QString&, const QString&,
                         int& filterIndex) override {
        captions << caption;
        if (nextFilterIndex > 0)
            filterIndex = nextFilterIndex;
        return nextFile;
    }
    QString SelectFolder(const QString& caption, const QString&) override {
        captions << caption;
        return nextFolder;
    }
};

class FakeOpener final : public app::IDesktopOpener {
  public:
    std::vector<QUrl> opened;
    bool Open(const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
};

class FakeClock final : public app::IClock {
  public:
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    QDateTime dateTime{QDate(2026, 1, 2), QTime(3, 4, 5)};

    std::chrono::steady_clock::time_point Now() const override { return now; }
    QDateTime CurrentDateTime() const override { return dateTime; }
    void Advance(std::chrono::milliseconds by) {
        now += by;
        dateTime = dateTime.addMSecs(by.count());
    }
};

class FakeExit final : public app::IProcessExit {
  public:
    std::vector<int> codes;
    void Exit(int code) override { codes.push_back(code); }
};

class FakePowerOff final : public app::IPowerOffQuestion {
  public:
    bool answer = false;
    QStringList captions;
    int poweredOff = 0;
    bool AskAndPowerOff(const QString& caption) override {
        captions << caption;
        if (answer)
            ++poweredOff;
        return answer;
    }
};

class FakePage final : public app::IMapPage {
  public:
    QStringList scripts;  // every script, waited for or not, in order
    QString answer;       // what the page hands back to a waited call
    // Waited calls the page has not answered yet, oldest first: the page answers when the
    // test says so.
    std::deque<std::function<void(const QString&)>> unanswered;
    engine::TMapType mapType = engine::TMapType::mtGoogleSatellite;
    int loads = 0;

    void ExecJavaScript(const QString& code, std::function<void(const QString&)> then) override {
        scripts << code;
        unanswered.push_back(std::move(then));
    }
    // Answers the oldest waited call; false when none waits.
    bool AnswerNext() {
        if (unanswered.empty())
            return false;
        auto then = std::move(unanswered.front());
        unanswered.pop_front();
        if (then)
            then(answer);
        return true;
    }
    // Answers until nothing waits, also the calls that the answers make.
    int AnswerAll() {
        int answered = 0;
        while (AnswerNext())
            ++answered;
        return answered;
    }
    void RunScript(const QString& code) override { scripts << code; }
    engine::TMapType MapType() const override { return mapType; }
    void SetMapType(engine::TMapType type) override { mapType = type; }
    bool IsBaiduMap() const override {
        const int index = static_cast<int>(mapType);
        return index >= 45 && index <= 48;
    }
    void LoadMaps() override { ++loads; }
};

// One of each, and the struct that controllers take.
struct FakeServices {
    FakeMessages messages;
    FakeFileDialogs fileDialogs;
    FakeOpener opener;
    FakeClock clock;
    FakeExit processExit;
    FakePowerOff powerOff;
    FakePage page;
    app::PageWait pageWait{page};
    app::Services services{messages,    fileDialogs, opener, clock,
                           processExit, powerOff,    page,   pageWait};
};

}  // namespace testmainwindow
