#pragma once
// The services as the running program provides them: the program's message dialogs, Qt's
// own (non-native) file dialogs, the desktop's URL handler, the system clock, _Exit, the
// power-off countdown over logind, and the page host.
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "app/services/services.h"

namespace engine {
class TSettings;
}

namespace app {

class TChromium;

class DialogMessages final : public IMessages {
  public:
    void ShowPlain(const QString& msg) override;
    void ShowInfo(const QString& msg, const QString& caption) override;
    void ShowError(const QString& msg, const QString& caption) override;
    void ShowWarning(const QString& msg, const QString& caption) override;
    bool AskYesNo(const QString& msg, const QString& caption) override;
    bool AskWarningYesNo(const QString& msg, const QString& caption) override;
    void CloseQuestion(const QString& msg) override;
};

class QtFileDialogs final : public IFileDialogs {
  public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    QString OpenFileName(const QString& caption, const QString& folder, const QString& filter,
                         int& filterIndex) override;
    QString SaveFileName(const QString& caption, const QString& folder, const QString& fileName,
                         const QString& filter, int& filterIndex) override;
    QString SelectFolder(const QString& caption, const QString& folder) override;

  private:
    QPointer<QWidget> parent_;
};

class DesktopOpener final : public IDesktopOpener {
  public:
    bool Open(const QUrl& url) override;
};

class SystemClock final : public IClock {
  public:
    std::chrono::steady_clock::time_point Now() const override;
    QDateTime CurrentDateTime() const override;
};

class ImmediateExit final : public IProcessExit {
  public:
    void Exit(int code) override;
};

class CountdownPowerOff final : public IPowerOffQuestion {
  public:
    explicit CountdownPowerOff(QWidget* parent = nullptr) : parent_(parent) {}
    bool AskAndPowerOff(const QString& caption) override;

  private:
    QPointer<QWidget> parent_;
};

class ChromiumPage final : public IMapPage {
  public:
    ChromiumPage(TChromium& crm, engine::TSettings& settings) : crm_(crm), settings_(settings) {}
    void ExecJavaScript(const QString& code, std::function<void(const QString&)> then) override;
    void RunScript(const QString& code) override;
    engine::TMapType MapType() const override;
    void SetMapType(engine::TMapType mapType) override;
    bool IsBaiduMap() const override;
    void LoadMaps() override;

  private:
    TChromium& crm_;
    engine::TSettings& settings_;
};

}  // namespace app
