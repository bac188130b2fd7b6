#include "web_gmaps_lookup_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/widgets/size_grip.h"

namespace app {
namespace {

// A key that puts a character into the box, or Backspace: those look up. Enter, Ctrl
// combinations, Delete and the other editing keys do not.
bool TypesCharacter(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Backspace) {
        return !key.modifiers().testFlag(Qt::ControlModifier);
    }
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           !key.modifiers().testFlag(Qt::ControlModifier);
}

}  // namespace

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
    list_->setFont(QFont(QStringLiteral("Arial"), 8, QFont::Normal));
    // The drop-down is sized by its rows; the list's own minimum would leave blank space below.
    list_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(list_);
    // The user may drag the drop-down larger by its lower right corner.
    new TSizeGrip(dropDown_, 0, TSizeGrip::Shape::Square, 10);

    connect(&lookup_, &PlaceSearchController::rowsChanged, this, &TWebGMapsLookupEdit::FillList);
    connect(&lookup_, &PlaceSearchController::dropDownChanged, this,
            &TWebGMapsLookupEdit::ShowDropDown);
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        lookup_.SetCurrentRow(list_->row(item));
        AcceptLookup();
    });
}

TWebGMapsLookupEdit::~TWebGMapsLookupEdit() = default;

bool TWebGMapsLookupEdit::LookupVisible() const {
    return dropDown_ && dropDown_->isVisible();
}

void TWebGMapsLookupEdit::QuerySuggestions() {
    lookup_.QuerySuggestions(Text());
}

// The rows of a new answer: the list, its colours and the drop-down's size.
void TWebGMapsLookupEdit::FillList() {
    QPalette window = dropDown_->palette();
    window.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    dropDown_->setPalette(window);
    QPalette rows = list_->palette();
    const QColor base =
        lookup_.color.isValid() ? lookup_.color : QApplication::palette().color(QPalette::Base);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        rows.setColor(group, QPalette::Base, base);
    }
    list_->setPalette(rows);

    list_->clear();
    for (const auto& row : lookup_.Rows()) {
        list_->addItem(row.text);
    }
    const auto count = static_cast<int>(lookup_.Rows().size());
    if (count == 0) {
        return;
    }
    const int shown = std::min(count, lookup_.displayCount);
    const int rowHeight = std::max(12, list_->sizeHintForRow(0));
    int width = 50;
    for (const auto& row : lookup_.Rows()) {
        width = std::max(width, list_->fontMetrics().horizontalAdvance(row.text));
    }
    width += 8;
    if (count > lookup_.displayCount) {
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    width = std::max(width, this->width());
    dropDown_->resize(width, rowHeight * shown + 4);
}

void TWebGMapsLookupEdit::ShowDropDown() {
    if (!lookup_.LookupVisible()) {
        dropDown_->hide();
        return;
    }
    list_->setCurrentRow(lookup_.CurrentRow());
    if (!dropDown_->isVisible()) {
        dropDown_->move(mapToGlobal(QPoint(-2, height() - 4)));
        dropDown_->show();
        dropDown_->raise();
    }
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
    activateWindow();
    setFocus();
    if (!title.isNull()) {
        SetText(title);
        SelectAll();
    }
}

bool TWebGMapsLookupEdit::event(QEvent* event) {
    // Tab reaches no key handler: the widget moves the focus before that.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier &&
            lookup_.acceptOnTab && LookupVisible()) {
            AcceptLookup();
            event->accept();
            return true;
        }
    }
    return DecoratedEdit::event(event);
}

void TWebGMapsLookupEdit::keyPressEvent(QKeyEvent* event) {
    // Pastes by key look up even when the clipboard held no text.
    const bool looksUp = TypesCharacter(*event) || event->matches(QKeySequence::Paste);
    if (LookupVisible()) {
        using Nav = PlaceSearchController::Nav;
        bool handled = true;
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
                handled = false;
                break;
        }
        if (handled) {
            event->accept();
            return;
        }
    }
    DecoratedEdit::keyPressEvent(event);
    if (looksUp) {
        QuerySuggestions();
    }
}

void TWebGMapsLookupEdit::inputMethodEvent(QInputMethodEvent* event) {
    DecoratedEdit::inputMethodEvent(event);
    // Characters composed by an input method are typed characters as well.
    if (!event->commitString().isEmpty()) {
        QuerySuggestions();
    }
}

void TWebGMapsLookupEdit::contextMenuEvent(QContextMenuEvent* event) {
    DecoratedEdit::contextMenuEvent(event);
    // The menu's paste looks up after it has pasted; its cut, delete and undo do not.
    const auto menus = findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    if (menus.isEmpty()) {
        return;
    }
    // The edit names its menu's paste item with its own translated caption.
    const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menus.constLast()->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == paste) {
            connect(action, &QAction::triggered, this, &TWebGMapsLookupEdit::QuerySuggestions);
        }
    }
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
    // A left click looks up unless it opened the shown address; a middle click pastes the
    // selection and looks up as every paste does.
    if ((event->button() == Qt::LeftButton && !UrlClicked()) ||
        (event->button() == Qt::MiddleButton &&
         QGuiApplication::clipboard()->supportsSelection())) {
        QuerySuggestions();
    }
}

}  // namespace app
