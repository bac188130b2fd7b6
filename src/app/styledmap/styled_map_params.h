#pragma once
// What the styled-map wizard composes: the tree of map feature groups whose features or labels
// the user hides, and the style parameter text that the Google tile addresses take
// ("&apistyle=...&style=..."). Plain data and rules; the window shows and edits them.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "vt_editor_type.h"

namespace styledmap {

inline constexpr char kHidden[] = "不可见";              // hide the features
inline constexpr char kLabelsHidden[] = "仅标签不可见";  // hide only their labels

// The values a row can take, in the editor's order (the empty text first).
QStringList ValueChoices();

// The per-row record.
struct TPropertyData {
    QString Name;  // not filled
    TVSTEditorType ValueType = TVSTEditorType::vtComboEdit;
    QString Value;
    QString Text;  // not filled
    bool Changed = false;
    QString Id;
};

struct PropertyRow {
    QString caption;
    QString hint;
    TPropertyData data;
    std::vector<PropertyRow> children;
};

// The feature-type number of a map feature Id; -1 when there is none.
int FeatureCode(const QString& id);

// The six feature groups with their children, all values empty.
std::vector<PropertyRow> FeatureTree();

// The parameter text for the rows, walked in tree order; clears every row's Changed. A row
// whose parent is hidden adds nothing.
QString BuildStyleParams(std::vector<PropertyRow>& rows);

// The preset list and the text each preset sends; nothing for the default preset.
QStringList PresetNames();
std::optional<QString> PresetParams(int index);

// What a stored parameter text shows in the wizard. The preset whose text it is (0 for the
// empty text); or -1 for any other, when `rows` take the values of a text the tree made (all
// values empty for a text the tree cannot have made).
int ShowStyleParams(const QString& text, std::vector<PropertyRow>& rows);

}  // namespace styledmap
