#include "city_tree_panel.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "places_controller.h"
#include "web_gmaps_lookup_edit.h"

namespace app {
namespace {

// A district: a small outlined area. The styles have no icon of their own for it, and their
// folder-like ones would look like places with sub-places.
QIcon DistrictIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF outline(
        {{2.5, 5.5}, {7.5, 1.5}, {13.5, 3.5}, {14.5, 10.5}, {8.5, 14.5}, {3.5, 12.5}});
    painter.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 1.5));
    painter.setBrush(QColor(0x8f, 0xbf, 0xef));
    painter.drawPolygon(outline);
    return QIcon(pixmap);
}

}  // namespace

CityTreePanel::CityTreePanel(PlacesController& controller, QWidget* parent, QAction* exportAction)
    : QWidget(parent), controller_(controller) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    search_ = new TWebGMapsLookupEdit(this);
    search_->Lookup().lookupEnabled = true;
    layout->addWidget(search_);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("tvCity"));
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(tree_, 1);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("pmCity"));
    actGetPartitionDistrict = menu_->addAction(QStringLiteral("查询边界线"));
    actGetPartitionDistrict->setObjectName(QStringLiteral("actGetPartitionDistrict"));
    actSavePartitionDistrict = menu_->addAction(QStringLiteral("更新边界线"));
    actSavePartitionDistrict->setObjectName(QStringLiteral("actSavePartitionDistrict"));
    if (exportAction != nullptr) {
        actExportBoundary = exportAction;
        menu_->addAction(actExportBoundary);
    } else {
        actExportBoundary = menu_->addAction(QStringLiteral("导出边界线"));
        actExportBoundary->setObjectName(QStringLiteral("actExportBoundary"));
    }

    // "查询边界线" asks for the place the menu was opened on: the one the user sees selected.
    connect(actGetPartitionDistrict, &QAction::triggered, this, [this] {
        if (menuPlace_.isEmpty()) {
            controller_.GetPartitionDistrict();
        } else {
            controller_.GetPartitionDistrict(menuPlace_);
        }
    });
    connect(actSavePartitionDistrict, &QAction::triggered, &controller_,
            &PlacesController::SavePartitionDistrict);
    connect(actExportBoundary, &QAction::triggered, &controller_,
            &PlacesController::ExportBoundary);
    // "更新边界线" only while an outline and the name it was set with go together.
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        actSavePartitionDistrict->setEnabled(controller_.CanSavePartitionDistrict());
        actExportBoundary->setEnabled(controller_.CanExportBoundary());
    });
    // Right-click selects the row under the mouse before the menu opens.
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        menuPlace_.clear();
        if (QTreeWidgetItem* item = tree_->itemAt(pos)) {
            tree_->setCurrentItem(item);
            menuPlace_ = item->text(0);
        }
        menu_->popup(tree_->viewport()->mapToGlobal(pos));
    });
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        controller_.SelectNode(item->data(0, Qt::UserRole).toInt());
        controller_.CityClick();
    });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr && item->data(0, Qt::UserRole).toInt() != controller_.SelectedNode()) {
            controller_.SelectNode(item->data(0, Qt::UserRole).toInt());
        }
    });
    connect(&controller_, &PlacesController::selectionChanged, this, &CityTreePanel::ShowSelection);
    connect(&controller_, &PlacesController::regionChanged, this,
            [this](const QString& region) { search_->Lookup().region = region; });
    search_->Lookup().onLookupSelect = [this](TResponseData& value) {
        controller_.LookupSelect(value);
    };
}

QTreeWidgetItem* CityTreePanel::Item(int node) const {
    return node >= 0 && node < static_cast<int>(items_.size())
               ? items_[static_cast<std::size_t>(node)]
               : nullptr;
}

void CityTreePanel::LoadCityTree(const QByteArray& bytes) {
    setEnabled(false);
    tree_->clear();
    items_.clear();
    controller_.LoadCityTree(bytes);
    const QIcon icons[] = {style()->standardIcon(QStyle::SP_DirIcon),
                           style()->standardIcon(QStyle::SP_FileIcon), DistrictIcon()};
    const auto& nodes = controller_.Nodes();
    items_.reserve(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        QTreeWidgetItem* parentItem = Item(nodes[i].parent);
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree_);
        item->setText(0, nodes[i].text);
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setIcon(0, icons[controller_.Image(static_cast<int>(i))]);
        items_.push_back(item);
    }
    if (!items_.empty()) {
        items_.front()->setExpanded(true);
    }
    ShowSelection(controller_.SelectedNode());
    setEnabled(true);
}

void CityTreePanel::ShowSelection(int node) {
    QTreeWidgetItem* item = Item(node);
    if (item == nullptr) {
        return;
    }
    for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
        up->setExpanded(true);
    }
    item->setExpanded(true);
    tree_->setCurrentItem(item);
    tree_->scrollToItem(item);
}

}  // namespace app
