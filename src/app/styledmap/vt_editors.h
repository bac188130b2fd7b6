#pragma once
// In-place editors for the cells of a tree or table view, one delegate class per kind of
// control. The base drives the edit: it makes the control over the cell, loads the cell's text
// into it, writes the edited text back only when it changed (so Enter in an unchanged cell
// writes nothing), ends the edit on Enter and cancels it on Escape. The members differ in the
// control they make and in how they convert between the cell's text and the control.
#include <QCheckBox>
#include <QIcon>
#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QPainter;

namespace styledmap {

// The short name of an edit-link class: without a leading "T" and a trailing "EditLink"
// ("TComboEditLink" gives "Combo"; "TFancy" gives "Fancy").
QString EditLinkName(const QString& className);
// The same for a class's meta-object (its namespace left out).
QString EditLinkName(const QMetaObject& linkClass);

class TCustomEditLink : public QStyledItemDelegate {
    Q_OBJECT

  public:
    explicit TCustomEditLink(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    // The short name of the link's class (GetName).
    QString GetName() const { return EditLinkName(*metaObject()); }

    // Maximum text length of the control; 0: none.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length) { maxLength_ = length; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The conversions, public so that a test can drive a control without a view.
    virtual QWidget* CreateEditControl(QWidget* parent) const = 0;
    virtual QString GetEditText(QWidget* editor) const = 0;
    virtual void SetEditText(QWidget* editor, const QString& text) const = 0;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    virtual void PrepareEditControl(QWidget*) const {}
    virtual void SetEditMaxLength(QWidget*, int) const {}
    // The editor's rectangle for the cell's rectangle.
    virtual QRect EditorBounds(QWidget*, const QRect& cell) const { return cell; }
    // True when Enter and Escape belong to the control at this moment (an open drop-down).
    virtual bool KeepsEnterAndEscape(QWidget*) const { return false; }

  private:
    int maxLength_ = 0;
};

class TEditEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    explicit TEditEditLink(bool readOnly = false, QObject* parent = nullptr)
        : TCustomEditLink(parent), readOnly_(readOnly) {}
    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;

  protected:
    void SetEditMaxLength(QWidget* editor, int length) const override;

  private:
    bool readOnly_;
};

class TMemoEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    explicit TMemoEditLink(bool readOnly = false, QObject* parent = nullptr)
        : TCustomEditLink(parent), readOnly_(readOnly) {}
    int ExtentX = 0;
    int ExtentY = 0;
    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;

  protected:
    QRect EditorBounds(QWidget* editor, const QRect& cell) const override;

  private:
    bool readOnly_;
};

// A spin text held within the bounds: an empty text stays empty, a text that is no number
// reads as 0 first.
QString SpinTextWithin(const QString& text, qint64 minimum, qint64 maximum);

class TSpinEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    TSpinEditLink(bool editorEnabled, int increment, qint64 minValue, qint64 maxValue,
                  QObject* parent = nullptr);
    bool EditorEnabled = true;
    int Increment = 1;
    qint64 MinValue = 0;
    qint64 MaxValue = 100;
    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;
};

// The owner-drawn styles are drop-down lists whose field and rows the link's owner draws.
enum class ComboStyle {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed,
    csOwnerDrawVariable
};
bool IsOwnerDrawn(ComboStyle style);
enum class TAutoCompleteMode { acNone, acComplete, acLimit };

// The auto-completion of a typed prefix: the prefix followed by the rest of the first pick-list
// entry that begins with it (letter case ignored); nothing when no entry does.
std::optional<QString> CompleteFromPickList(const QStringList& pickList, const QString& prefix);
// The entries that begin with the text (letter case ignored); all of them for an empty text.
QStringList LimitPickList(const QStringList& pickList, const QString& text);

class TComboEditLink;

// Offered by the owner (the QObject parent) of a combo link with an owner-drawn style, which
// hands the drawing and measuring of the combo box's items to it.
class IComboItemPainter {
  public:
    virtual ~IComboItemPainter() = default;
    // One item: `option` holds its rectangle and state; `inField` is true for the closed box's
    // field (the current item, -1 for none), false for a row of the drop-down list.
    virtual void DrawItem(TComboEditLink& link, QComboBox& combo, int index, QPainter& painter,
                          const QStyleOptionViewItem& option, bool inField) = 0;
    // A row's height in csOwnerDrawVariable; `height` comes in as the row's default height.
    virtual void MeasureItem(TComboEditLink& link, QComboBox& combo, int index, int& height) = 0;
};

class TComboEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    explicit TComboEditLink(QObject* parent = nullptr) : TCustomEditLink(parent) {}
    // From a comma-separated list or from strings; both complete typed text.
    TComboEditLink(const QString& list, ComboStyle style, bool sorted, QObject* parent = nullptr);
    TComboEditLink(const QStringList& pickList, ComboStyle style, bool sorted,
                   QObject* parent = nullptr);
    ComboStyle Style = ComboStyle::csDropDown;
    bool Sorted = false;
    QStringList PickList;
    TAutoCompleteMode AutoCompleteMode = TAutoCompleteMode::acNone;

    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;

    // Handed to the owner's IComboItemPainter; without one nothing is drawn or measured.
    void DrawItem(QComboBox& combo, int index, QPainter& painter,
                  const QStyleOptionViewItem& option, bool inField);
    void MeasureItem(QComboBox& combo, int index, int& height);

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void PrepareEditControl(QWidget* editor) const override;
    QRect EditorBounds(QWidget* editor, const QRect& cell) const override;
    bool KeepsEnterAndEscape(QWidget* editor) const override;

  private:
    void Limit(QWidget* combo) const;
};

enum class DateTimeKind { dtkDate, dtkTime };

class TDateEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    // `dateFormat` in Qt's date format notation; empty: the locale's short form. A separator
    // replaces the separators of the format.
    TDateEditLink(DateTimeKind kind, const QString& dateFormat, QChar dateSeparator,
                  QObject* parent = nullptr)
        : TCustomEditLink(parent),
          Kind(kind),
          DateFormat(dateFormat),
          DateSeparator(dateSeparator) {}
    DateTimeKind Kind;
    QString DateFormat;
    QChar DateSeparator;
    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;
    QString EffectiveFormat() const;
};

class TCheckEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    explicit TCheckEditLink(QObject* parent = nullptr) : TCustomEditLink(parent) {}
    bool AllowGrayed = false;
    QString ValueFalse = QStringLiteral("False");
    QString ValueTrue = QStringLiteral("True");
    QString ValueGrayed;
    Qt::CheckState StateFromText(const QString& text) const;
    QString TextFromState(Qt::CheckState state) const;
    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;
};

class TButtonedEditLink : public TCustomEditLink {
    Q_OBJECT
  public:
    TButtonedEditLink(const QIcon& icon = QIcon(), bool readOnly = false, QObject* parent = nullptr)
        : TCustomEditLink(parent), icon_(icon), readOnly_(readOnly) {}
    // Called with the cell's index when the button at the right is clicked.
    std::function<void(const QModelIndex&)> OnButtonClick;
    QWidget* CreateEditControl(QWidget* parent) const override;
    QString GetEditText(QWidget* editor) const override;
    void SetEditText(QWidget* editor, const QString& text) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

  private:
    QIcon icon_;
    bool readOnly_;
};

using EditLinkFactory = std::function<std::unique_ptr<TCustomEditLink>()>;

// Adds a link class to the registry under its short name, made by `make`; false, and nothing
// added, when that name is taken. The seven links of this file are registered first.
bool RegisterEditLinkClass(const QMetaObject& linkClass, EditLinkFactory make);
template <class Link>
bool RegisterEditLinkClass() {
    return RegisterEditLinkClass(Link::staticMetaObject, [] { return std::make_unique<Link>(); });
}
// The registered link classes by short name, in name order.
QStringList RegisteredEditLinkNames();
// A link of the named class with its default settings; nothing for an unknown name.
std::unique_ptr<TCustomEditLink> CreateEditLink(const QString& name);

}  // namespace styledmap
