#pragma once
// The program's style manager: the registered skins and the one in force. "Windows" is the
// plain system style (the style, palette and style sheet the application started with); the
// skins come from the skins folder installed with the program. Switching applies the skin to
// the whole application, so every window and Qt's own dialogs follow it.
#include <QObject>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "skin_file.h"

inline constexpr char kSystemStyleName[] = "Windows";

namespace engine {
class TSettings;
}

namespace app {

// The skins folder: the installed data folder's "skins", else the source tree's.
QString SkinsFolder();

class SkinManager : public QObject {
    Q_OBJECT

  public:
    // Remembers the application's style, palette and style sheet as the system style.
    explicit SkinManager(QObject* parent = nullptr);
    ~SkinManager() override;

    // The process-wide manager, made on first use (after the QApplication).
    static SkinManager& Instance();

    // Registers every "*.skin" file directly in `folder`, in name order. A file that cannot be
    // read, or whose name is registered already, is skipped without a message.
    void LoadSkins(const QString& folder);
    // Registers one skin; false when its name is taken.
    bool Register(Skin skin);

    // "Windows" first, then the skins in the order they were registered.
    QStringList StyleNames() const;
    const Skin* Find(const QString& name) const;
    QString ActiveStyleName() const { return active_; }

    // Switches the application to the named style; false (the current style left in force,
    // no message) when the name is empty or not registered. "Windows" matches in any case.
    // The style in force is left as it is, without a notice.
    bool TrySetStyle(const QString& name);

  signals:
    // After every switch that took place (the style-changed notice).
    void styleChanged(const QString& name);

  private:
    std::vector<Skin> skins_;
    QString systemStyle_;
    QPalette systemPalette_;
    QString systemSheet_;
    QString active_ = QLatin1String(kSystemStyleName);
};

// At start-up, before the main window exists: registers the skins of the skins folder with
// the process-wide manager and switches to the one named by StyleName (a name that is not
// registered leaves the system style, without a message).
void ApplyStartupSkin(const engine::TSettings& settings);

}  // namespace app
