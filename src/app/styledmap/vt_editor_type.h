#pragma once
// The kind of in-place editor a tree row asks for.

namespace styledmap {

enum class TVSTEditorType {
    vtNone,
    vtEditEdit,
    vtButtonedEdit,
    vtSpinEdit,
    vtComboEdit,
    vtDateEdit,
    vtCheckEdit,
    vtMemoEdit
};

}  // namespace styledmap
