#pragma once
// The styled-map wizard: a preset list and a tree of map feature groups whose value column is
// edited with a drop-down list. Every change sends the composed style parameter text
// (reloadGoogleMap); the default preset sends an empty text. The preset list shows the preset
// whose text the map shows, and no preset once an edit of the tree has sent the tree's text.
// Closing only hides the window.
#include <QDialog>
#include <vector>

#include "styled_map_params.h"

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace styledmap {

class TComboEditLink;

class TfrmStyledMapWizard : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmStyledMapWizard(QWidget* parent = nullptr);
    ~TfrmStyledMapWizard() override;

    // Shows what the map shows with the stored text `params`: its preset, or no preset and
    // the tree's values for a text the tree made. Sends nothing.
    void ShowParams(const QString& params);
    // The text the tree's values give now (also clears the rows' Changed flags).
    QString BuildStyleParams();
    const std::vector<PropertyRow>& Rows() const { return rows_; }
    QTreeWidget* Tree() const { return vstProperty_; }

  signals:
    // The page's style parameters changed; empty for the default style.
    void reloadGoogleMap(const QString& params);

  private:
    void cbbStyleNamesChange(int index);
    void vstPropertyNewText(QTreeWidgetItem* item, int column);
    void WMEditProperty(QTreeWidgetItem* item);
    PropertyRow* RowOf(QTreeWidgetItem* item);

    QComboBox* cbbStyleNames_;
    QTreeWidget* vstProperty_;
    TComboEditLink* valueEditor_;
    std::vector<PropertyRow> rows_;
};

}  // namespace styledmap
