#pragma once

#include <span>

// One toolbar position: a command and the resource path of its image, or a
// separator (id 0, no image).
struct ToolBarButton {
    int nId = 0;
    const char* pszImage = nullptr;

    bool IsSeparator() const { return nId == 0; }
};

// A toolbar as data: the size of every button image and the buttons in order.
struct ToolBarResource {
    int nId;
    int cxButton;
    int cyButton;
    std::span<const ToolBarButton> buttons;

    // The registered toolbar with this id, or nullptr.
    static const ToolBarResource* Find(int nId);
};
