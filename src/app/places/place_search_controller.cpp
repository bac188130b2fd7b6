#include "place_search_controller.h"

#include <algorithm>

#include "off_ui_thread.h"

namespace app {

PlaceSearchController::PlaceSearchController(QObject* parent) : QObject(parent) {}

void PlaceSearchController::SetNumChars(int value) {
    if (value > 0) {
        numChars_ = value;
    }
}

void PlaceSearchController::QuerySuggestions(const QString& text) {
    if (!lookupEnabled) {
        return;
    }
    const int serial = ++serial_;
    if (text.size() < numChars_) {
        Hide();
        return;
    }
    const std::string url =
        SuggestionUrl(text.toStdString(), region.toStdString(), apiKey.toStdString());
    RunOffUiThread<SuggestionAnswer>(
        this, [cache = cachePath, url] { return FetchSuggestions(cache, url); },
        [this, serial, text](SuggestionAnswer answer) {
            Answered(serial, text, std::move(answer));
        });
}

void PlaceSearchController::Answered(int serial, const QString& text, SuggestionAnswer answer) {
    // An answer to an older text may arrive after a newer one: it is not shown.
    if (serial != serial_) {
        return;
    }
    if (answer.kind != SuggestionAnswer::Kind::Found) {
        // No rows outlive the answer they came from.
        values_.clear();
        Hide();
        if (answer.kind != SuggestionAnswer::Kind::Empty) {
            emit lookupFailed(QStringLiteral("地名搜索失败：无法读取地名提示服务的答复。"));
        }
        return;
    }
    values_ = std::move(answer.values);
    FillDropDown(text);
}

void PlaceSearchController::FillDropDown(const QString& text) {
    rows_.clear();
    const QString typed = text.toUpper();
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const QString display = QString::fromStdString(SuggestionDisplayText(values_[i]));
        const QString upper = display.toUpper();
        if (fullTextSearch ? upper.contains(typed) : upper.startsWith(typed)) {
            rows_.push_back({display, static_cast<int>(i)});
        }
    }
    std::stable_sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
    current_ = rows_.empty() ? -1 : 0;
    visible_ = !rows_.empty();
    emit rowsChanged();
    emit dropDownChanged();
}

void PlaceSearchController::Hide() {
    rows_.clear();
    current_ = -1;
    visible_ = false;
    emit rowsChanged();
    emit dropDownChanged();
}

void PlaceSearchController::Navigate(Nav nav) {
    if (!visible_ || rows_.empty()) {
        return;
    }
    const int last = static_cast<int>(rows_.size()) - 1;
    int row = current_;
    switch (nav) {
        case Nav::Up:
            row = std::max(0, row - 1);
            break;
        case Nav::Down:
            row = std::min(last, row + 1);
            break;
        case Nav::Home:
            row = 0;
            break;
        case Nav::End:
            row = last;
            break;
        case Nav::PageDown:
            row = std::min(last, row + displayCount);
            break;
        case Nav::PageUp:
            row = row > displayCount ? row - displayCount : 0;
            break;
    }
    SetCurrentRow(row);
}

void PlaceSearchController::SetCurrentRow(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || row == current_) {
        return;
    }
    current_ = row;
    emit dropDownChanged();
}

void PlaceSearchController::CloseLookup() {
    if (visible_) {
        visible_ = false;
        emit dropDownChanged();
    }
}

QString PlaceSearchController::AcceptLookup() {
    const bool shown = visible_;
    CloseLookup();
    if (!shown || current_ < 0 || current_ >= static_cast<int>(rows_.size())) {
        return QString();
    }
    const int index = rows_[static_cast<std::size_t>(current_)].index;
    // A copy: the handler may start a new lookup that replaces the values.
    TResponseData value = values_.at(static_cast<std::size_t>(index));
    if (onLookupSelect) {
        onLookupSelect(value);
    }
    if (onLookupIndexSelect) {
        onLookupIndexSelect(index, value);
    }
    return QString::fromStdString(value.Title);
}

}  // namespace app
