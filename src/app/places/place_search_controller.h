#pragma once
// The suggestion lookup of the place-search box, without the widget: which request a typed
// text sends, which answer fills the drop-down, the drop-down's rows and keys, and the choice.
#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <vector>

#include "suggestions.h"

namespace app {

class PlaceSearchController : public QObject {
    Q_OBJECT

  public:
    enum class Nav { Up, Down, Home, End, PageUp, PageDown };

    struct Row {
        QString text;
        int index = 0;  // in Values()
    };

    explicit PlaceSearchController(QObject* parent = nullptr);

    // Published settings of the box.
    QString region = QStringLiteral("北京市");
    QString apiKey = QString::fromLatin1(kSuggestionKey.data(), kSuggestionKey.size());
    std::filesystem::path cachePath;
    bool fullTextSearch = false;
    bool lookupEnabled = false;
    int displayCount = 10;
    // Tab with the drop-down shown chooses the current row.
    bool acceptOnTab = false;
    // Background of the drop-down's list; invalid: the system's window colour.
    QColor color;
    // Kept with the settings; the requests do not send it.
    QString language = QStringLiteral("zh-CN");
    void SetNumChars(int value);
    int NumChars() const { return numChars_; }

    // QuerySuggestions: after a typed character, Backspace, a paste or a click. Sends the
    // request off the UI thread; only the answer to the latest request is shown.
    void QuerySuggestions(const QString& text);

    const std::vector<TResponseData>& Values() const { return values_; }
    const std::vector<Row>& Rows() const { return rows_; }
    int CurrentRow() const { return current_; }
    bool LookupVisible() const { return visible_; }

    void Navigate(Nav nav);
    void SetCurrentRow(int row);
    // AcceptLookup: hides the drop-down and raises onLookupSelect with the current row's
    // suggestion; returns the title the box then shows (empty when nothing was chosen).
    QString AcceptLookup();
    void CloseLookup();

    // OnLookupSelect, then OnLookupIndexSelect with the suggestion's index in Values(); the
    // handlers may change the value, whose title the box then shows.
    std::function<void(TResponseData&)> onLookupSelect;
    std::function<void(int index, TResponseData&)> onLookupIndexSelect;

    // Requests sent so far (for tests and logs).
    int RequestCount() const { return serial_; }

  signals:
    // The rows were filled anew (emitted before dropDownChanged).
    void rowsChanged();
    // The rows, the current row or the visibility changed.
    void dropDownChanged();
    // The latest request got no answer that could be read (not: one without suggestions).
    void lookupFailed(const QString& message);

  private:
    void Answered(int serial, const QString& text, SuggestionAnswer answer);
    void FillDropDown(const QString& text);
    void Hide();

    int numChars_ = 2;
    int serial_ = 0;
    std::vector<TResponseData> values_;
    std::vector<Row> rows_;
    int current_ = -1;
    bool visible_ = false;
};

}  // namespace app
