#include "frm_markers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "marker_list_controller.h"

namespace app {

namespace {

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption, bool enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setEnabled(enabled);
    return action;
}

}  // namespace

TfrmMarkers::TfrmMarkers(MarkerListController& controller, QWidget* mainWindow)
    : QFrame(mainWindow), controller_(controller) {
    setObjectName(QStringLiteral("frmMarkers"));
    setWindowTitle(QStringLiteral("我的标记"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    resize(206, 365);

    // A child window has no title bar of its own: its caption and close box are drawn here.
    auto* title = new QLabel(windowTitle(), this);
    auto* closeBox = new QToolButton(this);
    closeBox->setText(QStringLiteral("X"));
    closeBox->setToolTip(QStringLiteral("关闭"));
    closeBox->setAutoRaise(true);
    connect(closeBox, &QToolButton::clicked, this, &TfrmMarkers::hide);

    lvMarkers = new QTreeView(this);
    lvMarkers->setObjectName(QStringLiteral("lvMarkers"));
    lvMarkers->setModel(&controller_.Model());
    lvMarkers->setRootIsDecorated(false);
    lvMarkers->setUniformRowHeights(true);
    lvMarkers->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvMarkers->setSelectionMode(QAbstractItemView::SingleSelection);
    lvMarkers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMarkers->setColumnWidth(0, 95);
    lvMarkers->setColumnWidth(1, 100);
    lvMarkers->setContextMenuPolicy(Qt::CustomContextMenu);

    pm1 = new QMenu(this);
    pm1->setObjectName(QStringLiteral("pm1"));
    mniExport = MenuItem(pm1, "mniExport", QStringLiteral("导出标记"), false);
    pm1->addSeparator();
    mniDelete = MenuItem(pm1, "mniDelete", QStringLiteral("删除标记"), true);
    pm1->addSeparator();
    mniUpLoad = MenuItem(pm1, "mniUpLoad", QStringLiteral("上传到服务器"), false);
    mniDownload = MenuItem(pm1, "mniDownload", QStringLiteral("从服务器下载"), false);

    auto* header = new QHBoxLayout;
    header->addWidget(title, 1);
    header->addWidget(closeBox);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(header);
    layout->addWidget(lvMarkers, 1);

    connect(lvMarkers, &QTreeView::clicked, this, &TfrmMarkers::lvMarkersClick);
    connect(lvMarkers, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint& pos) { pm1->popup(lvMarkers->viewport()->mapToGlobal(pos)); });
    connect(mniDelete, &QAction::triggered, this,
            [this] { controller_.mniDeleteClick(SelectedRow() >= 0); });
}

void TfrmMarkers::showEvent(QShowEvent* event) {
    controller_.Refresh();
    QFrame::showEvent(event);
}

void TfrmMarkers::lvMarkersClick() {
    controller_.lvMarkersClick(SelectedRow());
}

int TfrmMarkers::SelectedRow() const {
    const QModelIndexList rows = lvMarkers->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace app
