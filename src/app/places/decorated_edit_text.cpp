// The decorated edit box's text between its fixed parts, the caret kept there, the clipboard
// with its events, and the selection and position helpers.
#include "decorated_edit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QTextLayout>
#include <algorithm>

namespace app {

QString DecoratedEdit::Text() const {
    QString value = QLineEdit::text();
    if (!prefix_.isEmpty() && value.startsWith(prefix_)) {
        value.remove(0, prefix_.size());
    }
    value.chop(suffix_.size());
    return value;
}

void DecoratedEdit::SetText(const QString& value) {
    setText(prefix_ + value + suffix_);
    SetModified(false);
}

void DecoratedEdit::SetPrefix(const QString& prefix) {
    const QString value = Text();
    prefix_ = prefix;
    SetText(value);
}

void DecoratedEdit::SetSuffix(const QString& suffix) {
    const QString value = Text();
    suffix_ = suffix;
    SetText(value);
}

int DecoratedEdit::TextEnd() const {
    return std::max(TextStart(), static_cast<int>(QLineEdit::text().size() - suffix_.size()));
}

void DecoratedEdit::KeepCaretInText() {
    if (keepingCaret_ || (prefix_.isEmpty() && suffix_.isEmpty())) {
        return;
    }
    keepingCaret_ = true;
    const int low = TextStart();
    const int high = TextEnd();
    if (hasSelectedText()) {
        const int start = selectionStart();
        const int end = selectionEnd();
        const int from = std::clamp(start, low, high);
        const int to = std::clamp(end, low, high);
        if (from != start || to != end) {
            if (to == from) {
                setCursorPosition(from);
            } else if (cursorPosition() == start) {
                setSelection(to, from - to);  // the caret stays at the selection's start
            } else {
                setSelection(from, to - from);
            }
        }
    } else if (cursorPosition() < low || cursorPosition() > high) {
        setCursorPosition(std::clamp(cursorPosition(), low, high));
    }
    keepingCaret_ = false;
}

void DecoratedEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's clipboard and select-all items go through the box's own events: each item
    // found by its connection to the edit's own slot.
    for (QAction* action : menu->actions()) {
        const auto takeOver = [this, action](auto slot, const char* slotName,
                                             void (DecoratedEdit::*own)()) {
            if (disconnect(action, &QAction::triggered, this, slot) ||
                disconnect(action, SIGNAL(triggered()), this, slotName)) {
                connect(action, &QAction::triggered, this, own);
            }
        };
        takeOver(&QLineEdit::cut, SLOT(cut()), &DecoratedEdit::Cut);
        takeOver(&QLineEdit::copy, SLOT(copy()), &DecoratedEdit::Copy);
        takeOver(&QLineEdit::paste, SLOT(paste()), &DecoratedEdit::Paste);
        takeOver(&QLineEdit::selectAll, SLOT(selectAll()), &DecoratedEdit::SelectAll);
    }
    menu->popup(event->globalPos());
}

void DecoratedEdit::Copy() {
    if (!hasSelectedText() || echoMode() != QLineEdit::Normal) {
        return;
    }
    bool allow = true;
    if (onClipboardCopy) {
        onClipboardCopy(selectedText(), allow);
    }
    if (allow) {
        copy();
    }
}

void DecoratedEdit::Cut() {
    if (!hasSelectedText() || isReadOnly() || echoMode() != QLineEdit::Normal) {
        return;
    }
    bool allow = true;
    if (onClipboardCut) {
        onClipboardCut(selectedText(), allow);
    }
    if (allow) {
        cut();
    }
}

void DecoratedEdit::Paste() {
    PasteText(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

void DecoratedEdit::PasteText(QString text) {
    if (isReadOnly() || text.isNull()) {
        return;
    }
    const auto lineEnd = std::find_if(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    text.truncate(lineEnd - text.cbegin());
    const QString window = QLineEdit::text();
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    const int replaced = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    QString result = window;
    result.replace(from, replaced, text);
    if (!prefix_.isEmpty() && result.startsWith(prefix_)) {
        result.remove(0, prefix_.size());
    }
    result.chop(suffix_.size());
    bool allow = true;
    if (onClipboardPaste) {
        onClipboardPaste(result, allow);
    }
    if (!allow || window.size() - replaced + text.size() > maxLength()) {
        return;  // refused: the text stays, nothing is looked up
    }
    insert(text);  // over the selection, with the edit's undo and its edit signal
    TabWhenFull();
}

void DecoratedEdit::TabWhenFull() {
    if (tabOnFullLength && lengthLimit > 0 && !hasSelectedText() && Text().size() == lengthLimit &&
        cursorPosition() == TextStart() + lengthLimit) {
        focusNextChild();
    }
}

void DecoratedEdit::SelectAll() {
    int from = TextStart();
    const int to = TextEnd();
    if (showUrl_) {
        const QString value = Text();
        const qsizetype scheme = value.indexOf(QStringLiteral("://"));
        if (scheme >= 0) {
            from += static_cast<int>(scheme) + 3;
        } else if (value.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive)) {
            from += 7;
        }
    }
    setSelection(from, std::max(0, to - from));
}

void DecoratedEdit::PutCaretAtDecimal(bool after) {
    const QString point = QLocale().decimalPoint();
    const qsizetype at = Text().indexOf(point);
    setCursorPosition(TextStart() +
                      (at < 0 ? 0 : static_cast<int>(at + (after ? point.size() : 0))));
}

void DecoratedEdit::SelectBeforeDecimal() {
    PutCaretAtDecimal(false);
}

void DecoratedEdit::SelectAfterDecimal() {
    PutCaretAtDecimal(true);
}

int DecoratedEdit::GetTextSize() const {
    return fontMetrics().horizontalAdvance(displayText());
}

int DecoratedEdit::CharFromPos(const QPoint& point) {
    return cursorPositionAt(point);
}

QPoint DecoratedEdit::PosFromChar(int index) const {
    // The caret's place is known on screen; other characters lie at their layout distance
    // from it. Qt's caret rectangle reaches 5 pixels to the caret's left.
    QTextLayout layout(displayText(), font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const int length = static_cast<int>(displayText().size());
    const QRect caret = cursorRect();
    const qreal offset = line.cursorToX(std::clamp(index, 0, length)) -
                         line.cursorToX(std::clamp(cursorPosition(), 0, length));
    return {caret.left() + 5 + qRound(offset), caret.top()};
}

}  // namespace app
