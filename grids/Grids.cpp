#include "Grids.h"

namespace velbrin {

const TypeInfo& TypeInfoOf(TGridOption*) {
    static const TypeInfo type = EnumerationTypeInfo(
        "TGridOption",
        {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
         "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
         "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"});
    return type;
}

const TypeInfo& TypeInfoOf(TGridOptions*) {
    static const TypeInfo type =
        SetTypeInfo("TGridOptions", TypeInfoOf(static_cast<TGridOption*>(nullptr)));
    return type;
}

const TypeInfo& TypeInfoOf(TScrollStyle*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    return type;
}

const TypeInfo& BorderStyleType() {
    static const TypeInfo type = EnumerationTypeInfo("TBorderStyle", {"bsNone", "bsSingle"});
    return type;
}

} // namespace velbrin
