#include "frm_styled_map_wizard.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "vt_editors.h"

namespace styledmap {
namespace {

constexpr int kTopRole = Qt::UserRole;
constexpr int kChildRole = Qt::UserRole + 1;

// Column 0 holds the captions and is never edited.
class NoEditDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return nullptr;
    }
};

}  // namespace

TfrmStyledMapWizard::TfrmStyledMapWizard(QWidget* parent)
    : QDialog(parent, Qt::Tool), rows_(FeatureTree()) {
    setObjectName(QStringLiteral("frmStyledMapWizard"));
    setWindowTitle(QStringLiteral("地图样式"));
    resize(304, 330);
    setMinimumSize(300, 300);
    setMaximumWidth(320);

    cbbStyleNames_ = new QComboBox(this);
    cbbStyleNames_->setObjectName(QStringLiteral("cbbStyleNames"));
    cbbStyleNames_->addItems(PresetNames());
    cbbStyleNames_->setCurrentIndex(0);

    vstProperty_ = new QTreeWidget(this);
    vstProperty_->setObjectName(QStringLiteral("vstProperty"));
    vstProperty_->setColumnCount(2);
    vstProperty_->setHeaderLabels({QStringLiteral("元素名称"), QStringLiteral("值")});
    vstProperty_->header()->resizeSection(0, 160);
    vstProperty_->header()->setStretchLastSection(true);
    vstProperty_->setSelectionBehavior(QAbstractItemView::SelectRows);
    vstProperty_->setEditTriggers(QAbstractItemView::SelectedClicked |
                                  QAbstractItemView::DoubleClicked);
    vstProperty_->setItemDelegateForColumn(0, new NoEditDelegate(vstProperty_));
    valueEditor_ = new TComboEditLink(ValueChoices(), ComboStyle::csDropDownList, false, this);
    vstProperty_->setItemDelegateForColumn(1, valueEditor_);

    for (int top = 0; top < static_cast<int>(rows_.size()); ++top) {
        const PropertyRow& row = rows_[static_cast<size_t>(top)];
        auto* item = new QTreeWidgetItem(vstProperty_, {row.caption, row.data.Value});
        item->setData(0, kTopRole, top);
        item->setData(0, kChildRole, -1);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        for (int child = 0; child < static_cast<int>(row.children.size()); ++child) {
            const PropertyRow& sub = row.children[static_cast<size_t>(child)];
            auto* subItem = new QTreeWidgetItem(item, {sub.caption, sub.data.Value});
            subItem->setData(0, kTopRole, top);
            subItem->setData(0, kChildRole, child);
            subItem->setToolTip(0, sub.hint);
            subItem->setFlags(subItem->flags() | Qt::ItemIsEditable);
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(cbbStyleNames_);
    layout->addWidget(vstProperty_, 1);

    connect(cbbStyleNames_, &QComboBox::activated, this, &TfrmStyledMapWizard::cbbStyleNamesChange);
    connect(vstProperty_, &QTreeWidget::itemChanged, this,
            &TfrmStyledMapWizard::vstPropertyNewText);
    // One click on a row opens its value editor, once the view has finished the selection. The
    // rows live as long as the window, so the posted row is always valid.
    connect(vstProperty_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current == nullptr) {
            return;
        }
        QTimer::singleShot(0, this, [this, current] { WMEditProperty(current); });
    });
}

TfrmStyledMapWizard::~TfrmStyledMapWizard() = default;

PropertyRow* TfrmStyledMapWizard::RowOf(QTreeWidgetItem* item) {
    const int top = item->data(0, kTopRole).toInt();
    const int child = item->data(0, kChildRole).toInt();
    if (top < 0 || top >= static_cast<int>(rows_.size())) {
        return nullptr;
    }
    PropertyRow& row = rows_[static_cast<size_t>(top)];
    if (child < 0) {
        return &row;
    }
    return child < static_cast<int>(row.children.size()) ? &row.children[static_cast<size_t>(child)]
                                                         : nullptr;
}

void TfrmStyledMapWizard::WMEditProperty(QTreeWidgetItem* item) {
    if (vstProperty_->currentItem() == item) {
        vstProperty_->editItem(item, 1);
    }
}

void TfrmStyledMapWizard::vstPropertyNewText(QTreeWidgetItem* item, int column) {
    PropertyRow* row = column == 1 ? RowOf(item) : nullptr;
    if (row == nullptr) {
        return;
    }
    row->data.Value = item->text(1);
    cbbStyleNames_->setCurrentIndex(-1);  // the tree's text replaces any preset's
    emit reloadGoogleMap(BuildStyleParams());
}

void TfrmStyledMapWizard::ShowParams(const QString& params) {
    const int preset = ShowStyleParams(params, rows_);
    const QSignalBlocker blocker(vstProperty_);
    for (int top = 0; top < vstProperty_->topLevelItemCount(); ++top) {
        QTreeWidgetItem* item = vstProperty_->topLevelItem(top);
        item->setText(1, RowOf(item)->data.Value);
        for (int child = 0; child < item->childCount(); ++child) {
            item->child(child)->setText(1, RowOf(item->child(child))->data.Value);
        }
    }
    cbbStyleNames_->setCurrentIndex(preset);
}

QString TfrmStyledMapWizard::BuildStyleParams() {
    return styledmap::BuildStyleParams(rows_);
}

void TfrmStyledMapWizard::cbbStyleNamesChange(int index) {
    emit reloadGoogleMap(PresetParams(index).value_or(QString()));
}

}  // namespace styledmap
