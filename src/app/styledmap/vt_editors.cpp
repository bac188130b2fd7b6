#include "vt_editors.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStylePainter>
#include <algorithm>
#include <limits>
#include <map>
#include <mutex>

#include "app/settings/bounded_spin_box.h"
#include "app/widgets/size_grip.h"

namespace styledmap {
namespace {

constexpr char kOldEditText[] = "vtOldEditText";

// Up and Down move the caret as Left and Right do, so that they never leave the cell.
class LinkLineEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
            QKeyEvent moved(event->type(),
                            event->key() == Qt::Key_Up ? Qt::Key_Left : Qt::Key_Right,
                            event->modifiers());
            QLineEdit::keyPressEvent(&moved);
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

QStringList SplitList(const QString& list) {
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(','));
}

// An owner-drawn combo box: the style draws the frame and the button, the link's owner the
// field with the current item.
class OwnerDrawComboBox : public QComboBox {
  public:
    OwnerDrawComboBox(TComboEditLink& link, QWidget* parent) : QComboBox(parent), link_(&link) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionComboBox box;
        initStyleOption(&box);
        box.currentText.clear();
        box.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, box);
        if (!link_) {
            return;
        }
        QStyleOptionViewItem item;
        item.initFrom(this);
        item.rect =
            style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, this);
        if (hasFocus()) {
            item.state |= QStyle::State_Selected | QStyle::State_HasFocus;
        }
        link_->DrawItem(*this, currentIndex(), painter, item, true);
    }

  private:
    QPointer<TComboEditLink> link_;
};

// The rows of an owner-drawn combo box's list, drawn and measured through the link.
class OwnerDrawItemDelegate : public QStyledItemDelegate {
  public:
    OwnerDrawItemDelegate(TComboEditLink& link, QComboBox& combo)
        : QStyledItemDelegate(&combo), link_(&link), combo_(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (link_) {
            link_->DrawItem(combo_, index.row(), *painter, option, false);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (link_ && link_->Style == ComboStyle::csOwnerDrawVariable) {
            int height = size.height();
            link_->MeasureItem(combo_, index.row(), height);
            size.setHeight(std::max(height, 0));
        }
        return size;
    }

  private:
    QPointer<TComboEditLink> link_;
    QComboBox& combo_;
};

}  // namespace

QString EditLinkName(const QMetaObject& linkClass) {
    QString className = QString::fromLatin1(linkClass.className());
    const qsizetype scope = className.lastIndexOf(QStringLiteral("::"));
    if (scope >= 0) {
        className.remove(0, scope + 2);
    }
    return EditLinkName(className);
}

QString EditLinkName(const QString& className) {
    QString name = className;
    if (name.startsWith(QLatin1Char('T'))) {
        name.remove(0, 1);
    }
    if (name.endsWith(QLatin1String("EditLink"))) {
        name.chop(8);
    }
    return name;
}

// ---- the edit protocol ----

QWidget* TCustomEditLink::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex&) const {
    QWidget* editor = CreateEditControl(parent);
    if (editor == nullptr) {
        return nullptr;  // the view does not edit
    }
    PrepareEditControl(editor);
    SetEditMaxLength(editor, maxLength_);
    return editor;
}

void TCustomEditLink::setEditorData(QWidget* editor, const QModelIndex& index) const {
    SetEditText(editor, index.data(Qt::EditRole).toString());
    editor->setProperty(kOldEditText, GetEditText(editor));
}

void TCustomEditLink::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    const QString text = GetEditText(editor);
    if (text != editor->property(kOldEditText).toString()) {
        model->setData(index, text, Qt::EditRole);
        editor->setProperty(kOldEditText, text);
    }
}

void TCustomEditLink::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const {
    editor->setGeometry(EditorBounds(editor, option.rect));
}

bool TCustomEditLink::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if ((enter || key->key() == Qt::Key_Escape) && KeepsEnterAndEscape(editor)) {
            return false;
        }
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return true;
        }
        // Every key belongs to the control while it edits: Tab neither moves the edit to
        // another cell nor the focus to another widget, nor is it typed into the text.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

// ---- Edit ----

QWidget* TEditEditLink::CreateEditControl(QWidget* parent) const {
    auto* edit = new LinkLineEdit(parent);
    edit->setReadOnly(readOnly_);
    edit->setFrame(false);
    return edit;
}

QString TEditEditLink::GetEditText(QWidget* editor) const {
    return static_cast<QLineEdit*>(editor)->text();
}

void TEditEditLink::SetEditText(QWidget* editor, const QString& text) const {
    static_cast<QLineEdit*>(editor)->setText(text);
}

void TEditEditLink::SetEditMaxLength(QWidget* editor, int length) const {
    static_cast<QLineEdit*>(editor)->setMaxLength(length > 0 ? length : 32767);
}

// ---- Memo ----

QWidget* TMemoEditLink::CreateEditControl(QWidget* parent) const {
    auto* memo = new QPlainTextEdit(parent);
    memo->setReadOnly(readOnly_);
    memo->setFrameShape(QFrame::Box);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Lets the user drag the editor larger, one pixel inside its lower right corner.
    new app::TSizeGrip(memo, 1);
    return memo;
}

QString TMemoEditLink::GetEditText(QWidget* editor) const {
    return static_cast<QPlainTextEdit*>(editor)->toPlainText();
}

void TMemoEditLink::SetEditText(QWidget* editor, const QString& text) const {
    auto* memo = static_cast<QPlainTextEdit*>(editor);
    memo->setPlainText(text);
    memo->selectAll();
}

QRect TMemoEditLink::EditorBounds(QWidget* editor, const QRect& cell) const {
    QRect r = cell;
    if (ExtentX > 0 || ExtentY > 0) {
        if (ExtentX > 0) {
            r.setWidth(ExtentX);
        }
        if (ExtentY > 0) {
            r.setHeight(ExtentY);
        }
    } else {
        r.setHeight(r.height() * 2);
    }
    const QRect client = editor->parentWidget() ? editor->parentWidget()->rect() : r;
    if (r.bottom() > client.bottom()) {
        r.translate(0, client.bottom() - r.bottom());
    }
    return r.intersected(client);
}

// ---- Spin ----

QString SpinTextWithin(const QString& text, qint64 minimum, qint64 maximum) {
    if (text.trimmed().isEmpty()) {
        return {};
    }
    bool ok = false;
    qint64 value = text.trimmed().toLongLong(&ok, 10);
    if (!ok) {
        value = 0;
    }
    return QString::number(std::clamp(value, minimum, std::max(minimum, maximum)));
}

TSpinEditLink::TSpinEditLink(bool editorEnabled, int increment, qint64 minValue, qint64 maxValue,
                             QObject* parent)
    : TCustomEditLink(parent),
      EditorEnabled(editorEnabled),
      Increment(increment),
      MinValue(minValue),
      MaxValue(maxValue) {}

QWidget* TSpinEditLink::CreateEditControl(QWidget* parent) const {
    constexpr qint64 kIntMax = std::numeric_limits<int>::max();
    constexpr qint64 kIntMin = std::numeric_limits<int>::min();
    const app::SpinBounds bounds{static_cast<int>(std::clamp(MinValue, kIntMin, kIntMax)),
                                 static_cast<int>(std::min(MaxValue, kIntMax)), Increment};
    auto* spin = new app::BoundedSpinBox(bounds, parent);
    spin->setReadOnly(!EditorEnabled);
    spin->setFrame(false);
    return spin;
}

QString TSpinEditLink::GetEditText(QWidget* editor) const {
    return SpinTextWithin(static_cast<QSpinBox*>(editor)->cleanText(), MinValue, MaxValue);
}

void TSpinEditLink::SetEditText(QWidget* editor, const QString& text) const {
    auto* spin = static_cast<QSpinBox*>(editor);
    const QString held = SpinTextWithin(text, MinValue, MaxValue);
    if (held.isEmpty()) {
        spin->clear();
    } else {
        spin->setValue(static_cast<int>(
            std::clamp<qint64>(held.toLongLong(), spin->minimum(), spin->maximum())));
    }
}

// ---- Combo ----

std::optional<QString> CompleteFromPickList(const QStringList& pickList, const QString& prefix) {
    for (const QString& entry : pickList) {
        if (entry.startsWith(prefix, Qt::CaseInsensitive)) {
            return prefix + entry.mid(prefix.size());
        }
    }
    return std::nullopt;
}

QStringList LimitPickList(const QStringList& pickList, const QString& text) {
    QStringList candidates;
    for (const QString& entry : pickList) {
        if (entry.startsWith(text, Qt::CaseInsensitive)) {
            candidates << entry;
        }
    }
    return candidates;
}

TComboEditLink::TComboEditLink(const QString& list, ComboStyle style, bool sorted, QObject* parent)
    : TComboEditLink(SplitList(list), style, sorted, parent) {}

TComboEditLink::TComboEditLink(const QStringList& pickList, ComboStyle style, bool sorted,
                               QObject* parent)
    : TCustomEditLink(parent),
      Style(style),
      Sorted(sorted),
      PickList(pickList),
      AutoCompleteMode(TAutoCompleteMode::acComplete) {}

bool IsOwnerDrawn(ComboStyle style) {
    return style == ComboStyle::csOwnerDrawFixed || style == ComboStyle::csOwnerDrawVariable;
}

QWidget* TComboEditLink::CreateEditControl(QWidget* parent) const {
    if (IsOwnerDrawn(Style)) {
        return new OwnerDrawComboBox(*const_cast<TComboEditLink*>(this), parent);
    }
    return new QComboBox(parent);
}

void TComboEditLink::PrepareEditControl(QWidget* editor) const {
    auto* combo = static_cast<QComboBox*>(editor);
    combo->setEditable(Style == ComboStyle::csDropDown || Style == ComboStyle::csSimple);
    if (IsOwnerDrawn(Style)) {
        combo->setItemDelegate(
            new OwnerDrawItemDelegate(*const_cast<TComboEditLink*>(this), *combo));
    }
    QStringList items = PickList;
    if (Sorted) {
        items.sort(Qt::CaseInsensitive);
    }
    combo->addItems(items);
    if (QLineEdit* line = combo->lineEdit()) {
        combo->setCompleter(nullptr);  // the link completes from its own pick list
        combo->setInsertPolicy(QComboBox::NoInsert);
        line->installEventFilter(const_cast<TComboEditLink*>(this));
        if (AutoCompleteMode == TAutoCompleteMode::acLimit) {
            connect(line, &QLineEdit::textEdited, combo, [this, combo] { Limit(combo); });
        }
    }
}

QString TComboEditLink::GetEditText(QWidget* editor) const {
    return static_cast<QComboBox*>(editor)->currentText();
}

void TComboEditLink::SetEditText(QWidget* editor, const QString& text) const {
    auto* combo = static_cast<QComboBox*>(editor);
    if (!combo->isEditable()) {
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
    } else {
        combo->setEditText(text);
    }
}

void TComboEditLink::DrawItem(QComboBox& combo, int index, QPainter& painter,
                              const QStyleOptionViewItem& option, bool inField) {
    if (auto* owner = dynamic_cast<IComboItemPainter*>(parent())) {
        owner->DrawItem(*this, combo, index, painter, option, inField);
    }
}

void TComboEditLink::MeasureItem(QComboBox& combo, int index, int& height) {
    if (auto* owner = dynamic_cast<IComboItemPainter*>(parent())) {
        owner->MeasureItem(*this, combo, index, height);
    }
}

QRect TComboEditLink::EditorBounds(QWidget*, const QRect& cell) const {
    QRect r = cell;
    if (Style == ComboStyle::csSimple) {
        r.setHeight(104);
    }
    return r;
}

bool TComboEditLink::KeepsEnterAndEscape(QWidget* editor) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    return combo != nullptr && Style != ComboStyle::csSimple && combo->view() != nullptr &&
           combo->view()->isVisible();
}

bool TComboEditLink::eventFilter(QObject* object, QEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(object);
    if (line != nullptr && event->type() == QEvent::KeyPress &&
        AutoCompleteMode == TAutoCompleteMode::acComplete && Style != ComboStyle::csDropDownList) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed.at(0).unicode() >= 32 && typed.at(0).unicode() <= 255) {
            const QString prefix = line->text().left(line->cursorPosition()) + typed;
            if (const auto completed = CompleteFromPickList(PickList, prefix)) {
                line->setText(*completed);
                // The caret after the typed text, the completed rest selected.
                line->setSelection(static_cast<int>(completed->size()),
                                   -static_cast<int>(completed->size() - prefix.size()));
                return true;
            }
        }
        return false;
    }
    return TCustomEditLink::eventFilter(object, event);
}

void TComboEditLink::Limit(QWidget* editor) const {
    auto* combo = static_cast<QComboBox*>(editor);
    QLineEdit* line = combo->lineEdit();
    const QString text = line->text();
    const int caret = line->cursorPosition();
    const QStringList candidates = LimitPickList(PickList, text);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    if (items != candidates) {
        const QSignalBlocker block(combo);
        combo->clear();
        combo->addItems(candidates);
        line->setText(text);
        line->setCursorPosition(caret);
    }
}

// ---- Date ----

QString TDateEditLink::EffectiveFormat() const {
    const QLocale locale;
    QString format = DateFormat;
    if (format.isEmpty()) {
        format = Kind == DateTimeKind::dtkDate ? locale.dateFormat(QLocale::ShortFormat)
                                               : locale.timeFormat(QLocale::ShortFormat);
    }
    if (!DateSeparator.isNull() && Kind == DateTimeKind::dtkDate) {
        for (QChar separator : {QLatin1Char('/'), QLatin1Char('-'), QLatin1Char('.')}) {
            format.replace(separator, DateSeparator);
        }
    }
    return format;
}

QWidget* TDateEditLink::CreateEditControl(QWidget* parent) const {
    auto* picker = new QDateTimeEdit(parent);
    picker->setDisplayFormat(EffectiveFormat());
    picker->setCalendarPopup(Kind == DateTimeKind::dtkDate);
    return picker;
}

QString TDateEditLink::GetEditText(QWidget* editor) const {
    const auto* picker = static_cast<QDateTimeEdit*>(editor);
    return Kind == DateTimeKind::dtkDate ? picker->date().toString(EffectiveFormat())
                                         : picker->time().toString(EffectiveFormat());
}

void TDateEditLink::SetEditText(QWidget* editor, const QString& text) const {
    if (text.isEmpty()) {
        return;
    }
    auto* picker = static_cast<QDateTimeEdit*>(editor);
    if (Kind == DateTimeKind::dtkDate) {
        const QDate date = QDate::fromString(text, EffectiveFormat());
        if (date.isValid()) {
            picker->setDate(date);
        }
    } else {
        const QTime time = QTime::fromString(text, EffectiveFormat());
        if (time.isValid()) {
            picker->setTime(time);
        }
    }
}

// ---- Check ----

Qt::CheckState TCheckEditLink::StateFromText(const QString& text) const {
    if (text.compare(ValueFalse, Qt::CaseInsensitive) == 0) {
        return Qt::Unchecked;
    }
    if (text.compare(ValueTrue, Qt::CaseInsensitive) == 0) {
        return Qt::Checked;
    }
    return AllowGrayed ? Qt::PartiallyChecked : Qt::Unchecked;
}

QString TCheckEditLink::TextFromState(Qt::CheckState state) const {
    switch (state) {
        case Qt::Unchecked:
            return ValueFalse;
        case Qt::Checked:
            return ValueTrue;
        default:
            return ValueGrayed;
    }
}

QWidget* TCheckEditLink::CreateEditControl(QWidget* parent) const {
    auto* check = new QCheckBox(parent);
    check->setTristate(AllowGrayed);
    check->setAutoFillBackground(true);
    return check;
}

QString TCheckEditLink::GetEditText(QWidget* editor) const {
    return TextFromState(static_cast<QCheckBox*>(editor)->checkState());
}

void TCheckEditLink::SetEditText(QWidget* editor, const QString& text) const {
    static_cast<QCheckBox*>(editor)->setCheckState(StateFromText(text));
}

// ---- Buttoned ----

QWidget* TButtonedEditLink::CreateEditControl(QWidget* parent) const {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(readOnly_);
    edit->setFrame(false);
    QAction* button = edit->addAction(
        icon_.isNull() ? edit->style()->standardIcon(QStyle::SP_FileDialogContentsView) : icon_,
        QLineEdit::TrailingPosition);
    button->setObjectName(QStringLiteral("editButton"));
    return edit;
}

void TButtonedEditLink::setEditorData(QWidget* editor, const QModelIndex& index) const {
    TCustomEditLink::setEditorData(editor, index);
    auto* edit = qobject_cast<QLineEdit*>(editor);
    QAction* button =
        edit != nullptr && !edit->actions().isEmpty() ? edit->actions().constLast() : nullptr;
    if (button != nullptr) {
        button->disconnect(this);
        const QPersistentModelIndex cell(index);
        connect(button, &QAction::triggered, this, [this, cell] {
            if (OnButtonClick) {
                OnButtonClick(cell);
            }
        });
    }
}

QString TButtonedEditLink::GetEditText(QWidget* editor) const {
    return static_cast<QLineEdit*>(editor)->text();
}

void TButtonedEditLink::SetEditText(QWidget* editor, const QString& text) const {
    static_cast<QLineEdit*>(editor)->setText(text);
}

// ---- registry ----

namespace {

struct EditLinkRegistry {
    std::mutex lock;
    std::map<QString, EditLinkFactory> classes;  // by short name, so in name order

    bool Add(const QMetaObject& linkClass, EditLinkFactory make) {
        const std::lock_guard<std::mutex> hold(lock);
        return classes.emplace(EditLinkName(linkClass), std::move(make)).second;
    }
};

// The seven links of this file, in this order, before anything else can register.
void RegisterOwnLinks(EditLinkRegistry& r) {
    r.Add(TEditEditLink::staticMetaObject, [] { return std::make_unique<TEditEditLink>(); });
    r.Add(TMemoEditLink::staticMetaObject, [] { return std::make_unique<TMemoEditLink>(); });
    r.Add(TSpinEditLink::staticMetaObject,
          [] { return std::make_unique<TSpinEditLink>(true, 1, 0, 100); });
    r.Add(TComboEditLink::staticMetaObject, [] { return std::make_unique<TComboEditLink>(); });
    r.Add(TDateEditLink::staticMetaObject, [] {
        return std::make_unique<TDateEditLink>(DateTimeKind::dtkDate, QString(), QChar());
    });
    r.Add(TCheckEditLink::staticMetaObject, [] { return std::make_unique<TCheckEditLink>(); });
    r.Add(TButtonedEditLink::staticMetaObject,
          [] { return std::make_unique<TButtonedEditLink>(); });
}

EditLinkRegistry& Registry() {
    static EditLinkRegistry registry;
    static const bool seeded = (RegisterOwnLinks(registry), true);
    (void)seeded;
    return registry;
}

}  // namespace

bool RegisterEditLinkClass(const QMetaObject& linkClass, EditLinkFactory make) {
    return make && Registry().Add(linkClass, std::move(make));
}

QStringList RegisteredEditLinkNames() {
    EditLinkRegistry& registry = Registry();
    const std::lock_guard<std::mutex> hold(registry.lock);
    QStringList names;
    for (const auto& entry : registry.classes) {
        names << entry.first;
    }
    return names;
}

std::unique_ptr<TCustomEditLink> CreateEditLink(const QString& name) {
    EditLinkFactory make;
    {
        EditLinkRegistry& registry = Registry();
        const std::lock_guard<std::mutex> hold(registry.lock);
        const auto found = registry.classes.find(name);
        if (found == registry.classes.end()) {
            return nullptr;
        }
        make = found->second;
    }
    return make();
}

}  // namespace styledmap
