#pragma once
// The items of a combo box as a string list. They live in the combo box's
// window: every operation is one combo box message, sent after the window is
// made if it is missing.

#include "core/TStrings.h"

#include <cstdint>
#include <string>

namespace velbrin {

class TCustomComboBox;

class TComboBoxStrings : public TStrings {
    VELBRIN_CLASS(TComboBoxStrings, TStrings)

public:
    explicit TComboBoxStrings(TCustomComboBox* comboBox) : comboBox_(comboBox) {}

    // An index out of range, or an item without text, gives an empty text.
    std::string Get(std::int32_t index) const override;
    std::int32_t GetCount() const override;
    // The item data as an object; null for an index out of range.
    TObject* GetObject(std::int32_t index) const override;
    void PutObject(std::int32_t index, TObject* object) override;
    // The index the combo box gives: the sorted place in a sorted box.
    // EOutOfResources when the box refuses the item.
    std::int32_t Add(const std::string& s) override;
    void Insert(std::int32_t index, const std::string& s) override;
    void Delete(std::int32_t index) override;
    // The combo box keeps the text of its edit field.
    void Clear() override;

    TCustomComboBox* ComboBox() const { return comboBox_; }

protected:
    // The box stops redrawing for a batch and is repainted after it.
    void BatchStateChanged(bool updating) override;

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

    TCustomComboBox* comboBox_;
};

} // namespace velbrin
