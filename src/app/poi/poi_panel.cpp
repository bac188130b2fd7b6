#include "poi_panel.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "app/widgets/progress_bar_ex.h"
#include "engine/settings/settings.h"
#include "poi_controller.h"

namespace app {
namespace {

constexpr int kRowHeight = 61;

// lstPOIDrawItem: four lines of a place in a framed box.
class PoiRowDelegate : public QStyledItemDelegate {
  public:
    PoiRowDelegate(PoiController& controller, QObject* parent)
        : QStyledItemDelegate(parent), controller_(controller) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        if (row < 0 || row >= static_cast<int>(controller_.Rows().size())) {
            return;
        }
        const auto& place = controller_.Rows()[static_cast<std::size_t>(row)];
        const QPalette& pal = option.palette;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, pal.color(QPalette::Mid));
        QRect box = option.rect.adjusted(-2, 0, 5, 0);
        if (row % 2 == 1) {
            box.adjust(0, -1, 0, 1);
        }
        const QColor text =
            selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
        painter->setPen(text);
        painter->setBrush(selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
        painter->drawRect(box);
        const QStringList lines = {
            QStringLiteral("名称：") + QString::fromStdString(place.name),
            QStringLiteral("地址：") + QString::fromStdString(place.address),
            QStringLiteral("电话：") + QString::fromStdString(place.telephone),
            QStringLiteral("标签：") + QString::fromStdString(place.detail.tag)};
        const int tops[] = {4, 18, 32, 46};
        for (int i = 0; i < 4; ++i) {
            painter->drawText(option.rect.left() + 4,
                              option.rect.top() + tops[i] + painter->fontMetrics().ascent(),
                              lines[i]);
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setBrush(Qt::NoBrush);
            painter->setPen(Qt::DotLine);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

  private:
    PoiController& controller_;
};

}  // namespace

PoiPanel::PoiPanel(PoiController& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
    auto* grid = new QGridLayout(this);
    lblPOICount = new QLabel(QStringLiteral("POI下载"), this);
    lblPOICount->setObjectName(QStringLiteral("lblPOICount"));
    lbl4 = new QLabel(QStringLiteral("X"), this);
    lbl4->setObjectName(QStringLiteral("lbl4"));
    lbl4->setToolTip(QStringLiteral("关闭"));
    lbl4->setCursor(Qt::PointingHandCursor);
    lbl4->installEventFilter(this);
    edtKeyWord = new QLineEdit(QStringLiteral("酒店"), this);
    edtKeyWord->setObjectName(QStringLiteral("edtKeyWord"));
    edtKeyWord->setToolTip(QStringLiteral("可输入多个关键字，用“$”隔开，最多10个关键字"));
    edtQueryTag = new QLineEdit(this);
    edtQueryTag->setObjectName(QStringLiteral("edtQueryTag"));
    btnSearchPOIs = new QPushButton(QStringLiteral("搜索"), this);
    btnSearchPOIs->setObjectName(QStringLiteral("btnSearchPOIs"));
    actPOIExport = new QAction(QStringLiteral("导出"), this);
    actPOIExport->setObjectName(QStringLiteral("actPOIExport"));
    btnPOIExport = new QPushButton(QStringLiteral("导出"), this);
    btnPOIExport->setObjectName(QStringLiteral("btnPOIExport"));
    btnPOICancel = new QPushButton(QStringLiteral("取消"), this);
    btnPOICancel->setObjectName(QStringLiteral("btnPOICancel"));
    btnPOICancel->hide();
    pbPOI = new TProgressBar(this);
    pbPOI->setObjectName(QStringLiteral("pbPOI"));
    pbPOI->hide();
    lblPOINotice = new QLabel(this);
    lblPOINotice->setObjectName(QStringLiteral("lblPOINotice"));
    lblPOINotice->setWordWrap(true);
    lblPOINotice->hide();
    lstPOI = new QListWidget(this);
    lstPOI->setObjectName(QStringLiteral("lstPOI"));
    lstPOI->setItemDelegate(new PoiRowDelegate(controller_, lstPOI));
    lstPOI->setUniformItemSizes(true);
    lstPOI->setContextMenuPolicy(Qt::CustomContextMenu);
    pmPOI = new QMenu(this);
    pmPOI->setObjectName(QStringLiteral("pmPOI"));
    QAction* exportItem = pmPOI->addAction(QStringLiteral("导出..."));
    actAllPOI2Map = pmPOI->addAction(QStringLiteral("在地图显示"));
    actAllPOI2Map->setObjectName(QStringLiteral("actAllPOI2Map"));
    pmPOI->addSeparator();

    grid->addWidget(lblPOICount, 0, 0, 1, 2);
    grid->addWidget(lbl4, 0, 2, Qt::AlignRight);
    grid->addWidget(edtKeyWord, 1, 0, 1, 3);
    grid->addWidget(edtQueryTag, 2, 0, 1, 3);
    grid->addWidget(btnSearchPOIs, 3, 0);
    grid->addWidget(pbPOI, 3, 0);  // over the search button while searching
    grid->addWidget(btnPOIExport, 3, 1);
    grid->addWidget(btnPOICancel, 3, 1);  // same place as the export button
    grid->addWidget(lblPOINotice, 4, 0, 1, 3);
    grid->addWidget(lstPOI, 5, 0, 1, 3);
    grid->setRowStretch(5, 1);

    connect(btnSearchPOIs, &QPushButton::clicked, this,
            [this] { controller_.Search(edtKeyWord->text(), edtQueryTag->text()); });
    connect(btnPOICancel, &QPushButton::clicked, &controller_, &PoiController::Cancel);
    connect(btnPOIExport, &QPushButton::clicked, actPOIExport, &QAction::trigger);
    connect(actPOIExport, &QAction::triggered, &controller_, &PoiController::Export);
    connect(exportItem, &QAction::triggered, &controller_, &PoiController::Export);
    connect(actAllPOI2Map, &QAction::triggered, &controller_, &PoiController::AllPOI2Map);
    connect(lstPOI, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { controller_.RowClick(lstPOI->row(item)); });
    connect(lstPOI, &QWidget::customContextMenuRequested, this,
            [this, exportItem](const QPoint& pos) {
                RefreshState();
                exportItem->setEnabled(controller_.CanExport());
                pmPOI->popup(lstPOI->viewport()->mapToGlobal(pos));
            });
    connect(&controller_, &PoiController::searchStateChanged, this, &PoiPanel::RefreshState);
    connect(&controller_, &PoiController::cancelHidden, btnPOICancel, &QWidget::hide);
    connect(&controller_, &PoiController::rowsReset, lstPOI, &QListWidget::clear);
    connect(&controller_, &PoiController::rowsAdded, this, &PoiPanel::AddRows);
    connect(&controller_, &PoiController::titleChanged, lblPOICount, &QLabel::setText);
    connect(&controller_, &PoiController::noticeChanged, this, [this](const QString& notice) {
        lblPOINotice->setText(notice);
        lblPOINotice->setVisible(!notice.isEmpty());
    });
    const auto showProgress = [this](int position, int max) {
        pbPOI->setMaximum(std::max(max, position));
        pbPOI->setValue(position);
    };
    connect(&controller_, &PoiController::progressChanged, this, showProgress);
    connect(&controller_, &PoiController::placeProgress, this, showProgress);
    connect(&controller_, &PoiController::placingChanged, this, &PoiPanel::RefreshState);
    RefreshState();
}

void PoiPanel::AddClearMapAction(QAction* action) {
    pmPOI->addAction(action);
}

void PoiPanel::SelectMarkerRow(const QString& id) {
    const int row = controller_.MarkerRow(id);
    if (row >= 0) {
        lstPOI->setCurrentRow(row);
    }
}

void PoiPanel::AddRows(int first, int count) {
    const auto& rows = controller_.Rows();
    for (int i = first; i < first + count && i < static_cast<int>(rows.size()); ++i) {
        lstPOI->addItem(QString::fromStdString(rows[static_cast<std::size_t>(i)].uid));
    }
}

void PoiPanel::RefreshState() {
    const bool searching = controller_.Searching();
    btnSearchPOIs->setEnabled(!searching);
    btnPOICancel->setVisible(searching);
    btnPOIExport->setVisible(!searching);
    // Over the search button while a search runs or the rows go on the map.
    const bool busy = searching || controller_.Placing();
    if (busy && pbPOI->isHidden()) {
        pbPOI->setValue(0);
        pbPOI->CaptionLabel()->setText(QStringLiteral("0.00%"));
        pbPOI->raise();
    }
    pbPOI->setVisible(busy);
    actAllPOI2Map->setEnabled(controller_.CanAllPOI2Map());
    actPOIExport->setEnabled(controller_.CanExport());
    btnPOIExport->setEnabled(controller_.CanExport());
    lstPOI->viewport()->update();
}

bool PoiPanel::eventFilter(QObject* watched, QEvent* event) {
    // lblCloseNavClick on the POI panel.
    if (watched == lbl4 && event->type() == QEvent::MouseButtonRelease) {
        controller_.ClosePanel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace app
