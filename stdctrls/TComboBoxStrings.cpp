#include "TComboBoxStrings.h"

#include "TCustomComboBox.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <vector>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TComboBoxStrings, TStrings, "StdCtrls")

LRESULT TComboBoxStrings::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(comboBox_->Handle(), message, wParam, lParam);
}

// The buffer is sized to the item, so no text, however long, overruns it.
std::string TComboBoxStrings::Get(std::int32_t index) const {
    const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied <= 0) {
        return {};
    }
    return std::string(buffer.data(), std::min<std::size_t>(copied, length));
}

std::int32_t TComboBoxStrings::GetCount() const {
    return static_cast<std::int32_t>(Send(CB_GETCOUNT, 0, 0));
}

TObject* TComboBoxStrings::GetObject(std::int32_t index) const {
    const LRESULT data = Send(CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<TObject*>(data);
}

void TComboBoxStrings::PutObject(std::int32_t index, TObject* object) {
    Send(CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

std::int32_t TComboBoxStrings::Add(const std::string& s) {
    const LRESULT index = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (index < 0) {
        throw ResourceError<EOutOfResources>(SInsertLineError);
    }
    return static_cast<std::int32_t>(index);
}

void TComboBoxStrings::Insert(std::int32_t index, const std::string& s) {
    if (Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str())) <
        0) {
        throw ResourceError<EOutOfResources>(SInsertLineError);
    }
}

void TComboBoxStrings::Delete(std::int32_t index) {
    Send(CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBoxStrings::Clear() {
    const std::string text = comboBox_->Text();
    Send(CB_RESETCONTENT, 0, 0);
    comboBox_->SetText(text);
    comboBox_->Update();
}

void TComboBoxStrings::BatchStateChanged(bool updating) {
    Send(WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) {
        comboBox_->Repaint();
    }
}

} // namespace velbrin
