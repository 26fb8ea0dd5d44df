#pragma once

#include <span>

// One control of a dialog template: what it is, its id, its first text, its
// style and where it stands, in dialog units (a quarter of the dialog font's
// average character width across, an eighth of its height down).
struct DialogControl {
    enum Class : unsigned char { Static, GroupBox, PushButton, CheckBox, Edit, ComboBox };

    // Only the styles the program's dialogs use; each is honoured by the
    // builder.
    enum Style : unsigned {
        TabStop = 0x0001,
        Sunken = 0x0002,      // static: sunken frame
        NoPrefix = 0x0004,    // static: an '&' is shown, not taken as a mnemonic
        ReadOnly = 0x0008,    // edit: text can be selected and copied, not changed
        Number = 0x0010,      // edit: typing takes digits only
        Border = 0x0020,      // edit: framed
        AutoHScroll = 0x0040, // edit: text may run past the right edge
        DefaultButton = 0x0080,
        AutoCheck = 0x0100,    // check box: a click toggles it
        DropDownList = 0x0200, // combo box: pick from the list, no typing
        VScroll = 0x0400,      // combo box: its list scrolls
        Sort = 0x0800,         // combo box: items kept in alphabetical order
    };

    int nId; // -1 (IDC_STATIC) for controls that nobody looks up
    Class nClass;
    const char* pszText;
    unsigned nStyle;
    int x;
    int y;
    int cx;
    int cy;
};

// One item of a template's initialisation data: a string added to a list.
struct DialogInitItem {
    int nControlId;
    const char* pszText;
};

// A dialog as data: title, size in dialog units, font, controls in tab order
// and the items its lists start with.
struct DialogTemplate {
    int nId;
    const char* pszTitle;
    int cx;
    int cy;
    const char* pszFontName;
    int nPointSize;
    std::span<const DialogControl> controls;
    std::span<const DialogInitItem> initData;

    // The registered template with this id, or nullptr.
    static const DialogTemplate* Find(int nId);
};
