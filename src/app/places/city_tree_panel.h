#pragma once
// The place panel's widgets: the place-search box over the place tree `tvCity` with its pop-up
// menu `pmCity` ("查询边界线", "更新边界线", "导出边界线"). Wiring only; PlacesController acts.
#include <QWidget>
#include <vector>

class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace app {

class PlacesController;
class TWebGMapsLookupEdit;

class CityTreePanel : public QWidget {
    Q_OBJECT

  public:
    // `exportAction`: the window's "导出边界线" when it has one (the file menu's), else the
    // panel makes its own.
    CityTreePanel(PlacesController& controller, QWidget* parent = nullptr,
                  QAction* exportAction = nullptr);

    TWebGMapsLookupEdit* SearchBox() const { return search_; }
    QTreeWidget* Tree() const { return tree_; }
    QAction* actGetPartitionDistrict = nullptr;
    QAction* actSavePartitionDistrict = nullptr;
    QAction* actExportBoundary = nullptr;

    // LoadCityTree: fills the tree from the controller's nodes (the panel is disabled meanwhile);
    // the first node is expanded and the LastNodeText node selected and expanded.
    void LoadCityTree(const QByteArray& bytes);
    QTreeWidgetItem* Item(int node) const;

  private:
    void ShowSelection(int node);

    PlacesController& controller_;
    TWebGMapsLookupEdit* search_;
    QTreeWidget* tree_;
    QMenu* menu_;
    std::vector<QTreeWidgetItem*> items_;
    // The place the pop-up menu was opened on; empty when it was opened on no place.
    QString menuPlace_;
};

}  // namespace app
