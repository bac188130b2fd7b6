#pragma once
// The task actions of the main window: save, load and delete a task by the name in the task
// combo, the combo's list, and the tile root folder's change and open. No widget: the window
// copies the combo's text and selection in and shows what the signals say.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "engine/core/core_types.h"

namespace engine {
class TSettings;
class TProfiles;
}  // namespace engine

namespace app {

struct Services;

class TaskController : public QObject {
    Q_OBJECT

  public:
    // What the actions read from and hand to the rest of the window.
    struct Hooks {
        std::function<bool()> taskActive;                     // a task downloads or is paused
        std::function<QString()> coordinates;                 // FCoordinates
        std::function<engine::TZoomLevelArray()> zoomLevels;  // FZoomLevels
        std::function<int()> tileSize;                        // GetTileSize
        // Load: the area fields from a coordinate text (no recount).
        std::function<void(const QString&)> setArea;
        // Load: the selection, ticked where the level list allows it.
        std::function<void(const engine::TZoomLevelArray&)> setZoomLevels;
        std::function<void()> calculateStart;
        // Load: the switch to the task's layer as the map menu does it.
        std::function<void(engine::TMapType)> switchLayer;
    };

    struct Saved {
        QString fileName;  // full path of the task file written
        QString name;
    };

    TaskController(engine::TSettings& settings, Services& services,
                   std::unique_ptr<engine::TProfiles> profiles, Hooks hooks,
                   QObject* parent = nullptr);
    ~TaskController() override;

    engine::TProfiles& Profiles() { return *profiles_; }

    // The combo: its rows, its edit text and its selected row (-1: none).
    const QStringList& Names() const { return names_; }
    const QString& ProfileText() const { return text_; }
    void SetProfileText(const QString& text) { text_ = text; }
    void SetSelectedRow(int row) { row_ = row; }
    int SelectedRow() const { return row_; }
    // Fills the combo from the task folder.
    void RefreshNames();

    // actProfileSaveExecute; nothing when the task was not stored (no name, an unusable
    // name, a declined replace, a write failure).
    std::optional<Saved> Save();
    // The start's second save: the computed rectangles into the task just saved.
    void SaveTileBounds(const engine::TTileBounds& bounds);
    // actProfileLoadExecute: the window takes the task at once; the page follows call by
    // call, each waited for with save, load, delete and the start off (PageWait).
    void Load();
    void Delete();  // actProfileDeleteExecute
    // Draws the download area on the page again (a page just loaded shows none), announced by
    // areaRedrawn first; nothing without an area.
    void ShowArea();
    // ProfileNameExists: a row equal to the name, ignoring case.
    bool ProfileNameExists(const QString& name) const;

    bool CanSave() const;          // actProfileSaveUpdate
    bool CanLoadOrDelete() const;  // actProfileLoadUpdate (load and delete)

    void ChangeTilesDir();  // actChangeTilesDirExecute
    void OpenOutPutDir();   // actOpenOutPutDirExecute
    // The folder the open action shows for the shown layer.
    QString OutPutDirFor(engine::TMapType mapType, bool createMissing);

  signals:
    void namesChanged(const QStringList& names);
    // The combo's text (and selection: -1 for none) as an action left it.
    void profileTextChanged(const QString& text, int row);
    void focusProfileRequested();
    // A loaded task's area for the coordinate box.
    void coordinatesTextShown(const QString& text);
    // A task load made this area the outline (not empty).
    void areaLoaded(const QString& coordinates);
    // The page is given the download area again; its report back is this redraw's.
    void areaRedrawn(const QString& coordinates);
    void tileDirChanged(const QString& folder);
    // Anything that moves CanSave / CanLoadOrDelete.
    void stateChanged();

  private:
    QString ResolvedName(const QString& name) const;
    static QString BoundaryScript(const QString& coordinates);
    bool TaskActive() const { return hooks_.taskActive && hooks_.taskActive(); }

    engine::TSettings& settings_;
    Services& services_;
    std::unique_ptr<engine::TProfiles> profiles_;
    Hooks hooks_;
    QStringList names_;
    QString text_;
    int row_ = -1;
};

}  // namespace app
