#pragma once
// The place-search box: a decorated edit box whose typed text asks the suggestion service for
// places and lists them in a drop-down under the box (logic in PlaceSearchController).
#include <QFrame>
#include <QPointer>

#include "decorated_edit.h"
#include "place_search_controller.h"

class QListWidget;

namespace app {

class TWebGMapsLookupEdit : public DecoratedEdit {
    Q_OBJECT
    // The city that narrows the suggestions, also read by the POI search.
    Q_PROPERTY(QString region READ Region WRITE SetRegion)

  public:
    explicit TWebGMapsLookupEdit(QWidget* parent = nullptr);
    ~TWebGMapsLookupEdit() override;

    PlaceSearchController& Lookup() { return lookup_; }
    QString Region() const { return lookup_.region; }
    void SetRegion(const QString& region) { lookup_.region = region; }
    // The drop-down window and its list (FLookupList, FLookupListBox).
    QFrame* LookupList() const { return dropDown_; }
    QListWidget* LookupListBox() const { return list_; }
    bool LookupVisible() const;

    // AcceptLookup: raise the choice's events for the current row, then show its title
    // selected.
    void AcceptLookup();

  protected:
    bool HideDropDown() override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void FillList();
    void ShowDropDown();
    void QuerySuggestions();

    PlaceSearchController lookup_;
    QPointer<QFrame> dropDown_;
    QListWidget* list_ = nullptr;
};

}  // namespace app
