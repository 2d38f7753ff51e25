// The drop-down list that model code fills: an interface without a window
// system, implemented by the user interface (and by fakes in tests).
#pragma once

// A combo box's list: texts with one pointer of item data each.
class CComboBox {
public:
    virtual ~CComboBox() = default;
    // Appends a text; its index, or a negative value on failure.
    virtual int AddString(const wchar_t* text) = 0;
    // Index of the first item after `startAfter` (-1: from the start) whose
    // text begins with `prefix`, ignoring case; -1 when none.
    virtual int FindString(int startAfter, const wchar_t* prefix) const = 0;
    // Attaches a pointer to the item; negative on failure.
    virtual int SetItemDataPtr(int index, void* data) = 0;
    // Selects the item (-1: none); negative when the index is out of range.
    virtual int SetCurSel(int index) = 0;
    // Scrolls the list so that the item is the first visible; negative on failure.
    virtual int SetTopIndex(int index) = 0;
};
