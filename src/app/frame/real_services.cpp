#include "real_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <cstdlib>

#include "app/page/page_host.h"
#include "app/power/force_power_off.h"
#include "app/power/shutdown_countdown.h"
#include "app/widgets/custom_dialogs.h"
#include "app/widgets/file_filters.h"

namespace app {

void DialogMessages::ShowPlain(const QString& msg) {
    ShowPlainMsg(msg);
}
void DialogMessages::ShowInfo(const QString& msg, const QString& caption) {
    ShowInfoMsg(msg, caption);
}
void DialogMessages::ShowError(const QString& msg, const QString& caption) {
    ShowErrorMsg(msg, caption);
}
void DialogMessages::ShowWarning(const QString& msg, const QString& caption) {
    ShowWarningMsg(msg, caption);
}
bool DialogMessages::AskYesNo(const QString& msg, const QString& caption) {
    return app::AskYesNo(msg, caption);
}
bool DialogMessages::AskWarningYesNo(const QString& msg, const QString& caption) {
    return app::AskWarningYesNo(msg, caption);
}
void DialogMessages::CloseQuestion(const QString& msg) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<TMsgForm*>(window);
        if (form && form->isVisible() && form->DlgMessage()->text() == msg) {
            form->SetModalResult(mrNo);
        }
    }
}

namespace {

// Runs a non-native dialog so that skins reach it; selects the 1-based filter and reads
// back the one chosen.
QString RunFileDialog(QFileDialog& dialog, const QString& filter, int& filterIndex) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList filters = QtNameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (filterIndex >= 1 && filterIndex <= filters.size()) {
            dialog.selectNameFilter(filters.at(filterIndex - 1));
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0) {
        filterIndex = chosen + 1;
    }
    return dialog.selectedFiles().first();
}

}  // namespace

QString QtFileDialogs::OpenFileName(const QString& caption, const QString& folder,
                                    const QString& filter, int& filterIndex) {
    QFileDialog dialog(parent_, caption, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog, filter, filterIndex);
}

QString QtFileDialogs::SaveFileName(const QString& caption, const QString& folder,
                                    const QString& fileName, const QString& filter,
                                    int& filterIndex) {
    QFileDialog dialog(parent_, caption, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
    }
    return RunFileDialog(dialog, filter, filterIndex);
}

QString QtFileDialogs::SelectFolder(const QString& caption, const QString& folder) {
    QFileDialog dialog(parent_, caption, folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

bool DesktopOpener::Open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

std::chrono::steady_clock::time_point SystemClock::Now() const {
    return std::chrono::steady_clock::now();
}

QDateTime SystemClock::CurrentDateTime() const {
    return QDateTime::currentDateTime();
}

void ImmediateExit::Exit(int code) {
    std::_Exit(code);
}

bool CountdownPowerOff::AskAndPowerOff(const QString& caption) {
    LogindPowerOff powerOff;
    return PowerOffAfterCountdown(powerOff, caption, 30, 1000, parent_);
}

void ChromiumPage::ExecJavaScript(const QString& code, std::function<void(const QString&)> then) {
    crm_.ExecJavaScript(code, std::move(then));
}

void ChromiumPage::RunScript(const QString& code) {
    crm_.RunScript(code);
}

engine::TMapType ChromiumPage::MapType() const {
    return crm_.MapType();
}

void ChromiumPage::SetMapType(engine::TMapType mapType) {
    crm_.SetMapType(mapType);
}

bool ChromiumPage::IsBaiduMap() const {
    return crm_.IsBaiduMap();
}

void ChromiumPage::LoadMaps() {
    crm_.LoadMaps(settings_);
}

}  // namespace app
