#pragma once

// Window styles, show commands and placement records as the program's code
// spells them. The numbers are the platform's own, so a call reads as it did
// on Windows; the framework honours the bits listed here and no others.

// Frame styles (LoadFrame, PreCreateWindow).
inline constexpr unsigned WS_CHILD = 0x40000000U;
inline constexpr unsigned WS_VISIBLE = 0x10000000U;
inline constexpr unsigned WS_OVERLAPPEDWINDOW = 0x00CF0000U;
// The frame puts its document's title into its caption.
inline constexpr unsigned FWS_ADDTOTITLE = 0x00008000U;

// Control bar styles (CToolBar, CStatusBar, docking).
inline constexpr unsigned CBRS_SIZE_DYNAMIC = 0x00000004U;
inline constexpr unsigned CBRS_TOOLTIPS = 0x00000010U;
inline constexpr unsigned CBRS_FLYBY = 0x00000020U;
inline constexpr unsigned CBRS_BORDER_TOP = 0x00000200U;
inline constexpr unsigned CBRS_BORDER_BOTTOM = 0x00000800U;
inline constexpr unsigned CBRS_ALIGN_LEFT = 0x00001000U;
inline constexpr unsigned CBRS_ALIGN_TOP = 0x00002000U;
inline constexpr unsigned CBRS_ALIGN_RIGHT = 0x00004000U;
inline constexpr unsigned CBRS_ALIGN_BOTTOM = 0x00008000U;
inline constexpr unsigned CBRS_ALIGN_ANY = 0x0000F000U;
inline constexpr unsigned CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr unsigned CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// Show commands (ShowWindow, WINDOWPLACEMENT::showCmd).
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// WINDOWPLACEMENT::flags: a minimized window comes back maximized.
inline constexpr unsigned WPF_RESTORETOMAXIMIZED = 0x0002U;

// Pop-up menu tracking (CMenu::TrackPopupMenu).
inline constexpr unsigned TPM_LEFTALIGN = 0x0000U;
inline constexpr unsigned TPM_RIGHTBUTTON = 0x0002U;

struct POINT {
    int x;
    int y;
};

// Right and bottom lie just outside the rectangle, as on the platform.
struct RECT {
    int left;
    int top;
    int right;
    int bottom;
};

// Where a top-level window stands when it is not minimized or maximized, and
// how it is shown. Positions are in screen pixels.
struct WINDOWPLACEMENT {
    unsigned length;
    unsigned flags;
    unsigned showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

// The record's size on the platform; callers set and check `length` with it.
inline constexpr unsigned kWindowPlacementLength = 44;

// What PreCreateWindow may change before a frame is made.
struct CREATESTRUCT {
    unsigned style;
};
