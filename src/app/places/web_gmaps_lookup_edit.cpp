#include "web_gmaps_lookup_edit.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace app {

TWebGMapsLookupEdit::TWebGMapsLookupEdit(QWidget* parent) : DecoratedEdit(parent) {
    setObjectName(QStringLiteral("WebGMapsLookupEdit1"));
    SetEmptyText(QStringLiteral("搜索地名"));
    // A tool-tip window: top-most, shown without taking the focus from the box.
    dropDown_ = new QFrame(this, Qt::ToolTip | Qt::FramelessWindowHint);
    dropDown_->setObjectName(QStringLiteral("FLookupList"));
    dropDown_->setAttribute(Qt::WA_ShowWithoutActivating);
    dropDown_->setFrameShape(QFrame::Box);
    dropDown_->setLineWidth(1);
    auto* layout = new QVBoxLayout(dropDown_);
    layout->setContentsMargins(1, 1, 1, 1);
    list_ = new QListWidget(dropDown_);
    list_->setObjectName(QStringLiteral("FLookupListBox"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setFocusPolicy(Qt::NoFocus);
    // The drop-down is sized by its rows; the list's own minimum would leave blank space below.
    list_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(list_);

    connect(&lookup_, &PlaceSearchController::dropDownChanged, this,
            &TWebGMapsLookupEdit::ShowDropDown);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!noLookup_) {
            lookup_.QuerySuggestions(Text());
        }
    });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        lookup_.SetCurrentRow(list_->row(item));
        AcceptLookup();
    });
}

TWebGMapsLookupEdit::~TWebGMapsLookupEdit() = default;

bool TWebGMapsLookupEdit::LookupVisible() const {
    return dropDown_ && dropDown_->isVisible();
}

void TWebGMapsLookupEdit::ShowDropDown() {
    if (!lookup_.LookupVisible()) {
        dropDown_->hide();
        return;
    }
    const auto& rows = lookup_.Rows();
    if (list_->count() != static_cast<int>(rows.size()) ||
        (list_->count() > 0 && list_->item(0)->text() != rows.front().text)) {
        list_->clear();
        for (const auto& row : rows) {
            list_->addItem(row.text);
        }
    } else {
        for (int i = 0; i < list_->count(); ++i) {
            list_->item(i)->setText(rows[static_cast<std::size_t>(i)].text);
        }
    }
    list_->setCurrentRow(lookup_.CurrentRow());
    const int shown = std::min<int>(static_cast<int>(rows.size()), lookup_.displayCount);
    const int rowHeight = std::max(12, list_->sizeHintForRow(0));
    int width = 50;
    for (const auto& row : rows) {
        width = std::max(width, list_->fontMetrics().horizontalAdvance(row.text));
    }
    width += 8;
    if (static_cast<int>(rows.size()) > lookup_.displayCount) {
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    width = std::max(width, this->width());
    dropDown_->resize(width, rowHeight * shown + 4);
    dropDown_->move(mapToGlobal(QPoint(-2, height() - 4)));
    dropDown_->show();
    dropDown_->raise();
}

bool TWebGMapsLookupEdit::HideDropDown() {
    if (!LookupVisible()) {
        return false;
    }
    lookup_.CloseLookup();
    return true;
}

void TWebGMapsLookupEdit::AcceptLookup() {
    const QString title = lookup_.AcceptLookup();
    setFocus();
    if (!title.isNull()) {
        SetText(title);
        SelectAll();
    }
}

void TWebGMapsLookupEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete || event->matches(QKeySequence::Cut)) {
        noLookup_ = true;
        DecoratedEdit::keyPressEvent(event);
        noLookup_ = false;
        return;
    }
    if (!LookupVisible()) {
        DecoratedEdit::keyPressEvent(event);
        return;
    }
    using Nav = PlaceSearchController::Nav;
    switch (event->key()) {
        case Qt::Key_Up:
            lookup_.Navigate(Nav::Up);
            break;
        case Qt::Key_Down:
            lookup_.Navigate(Nav::Down);
            break;
        case Qt::Key_Home:
            lookup_.Navigate(Nav::Home);
            break;
        case Qt::Key_End:
            lookup_.Navigate(Nav::End);
            break;
        case Qt::Key_PageUp:
            lookup_.Navigate(Nav::PageUp);
            break;
        case Qt::Key_PageDown:
            lookup_.Navigate(Nav::PageDown);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            AcceptLookup();
            break;
        case Qt::Key_Alt:
            lookup_.CloseLookup();
            break;
        default:
            DecoratedEdit::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TWebGMapsLookupEdit::focusOutEvent(QFocusEvent* event) {
    DecoratedEdit::focusOutEvent(event);
    // A click into the drop-down is a choice, not a reason to close it.
    if (!dropDown_->underMouse()) {
        lookup_.CloseLookup();
    }
}

void TWebGMapsLookupEdit::mouseReleaseEvent(QMouseEvent* event) {
    DecoratedEdit::mouseReleaseEvent(event);
    // A click that opened the shown address looks nothing up.
    if (!UrlClicked()) {
        lookup_.QuerySuggestions(Text());
    }
}

}  // namespace app
