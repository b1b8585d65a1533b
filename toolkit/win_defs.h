#pragma once

// Numbers of the Windows toolkit that the windows of Quillbridge pass around,
// with the values they have there, so code written against that toolkit reads
// the same here. On Windows they come from the system's own headers.

#ifdef _WIN32
#include <windows.h>
// List views and toolbars; the browser control's navigation flags.
#include <commctrl.h>
#include <exdisp.h>
// The property sheet's Apply button, which the system's headers do not name.
#ifndef ID_APPLY_NOW
#define ID_APPLY_NOW 0x3021
#endif
#else

// A window of the window system; what it points at is the platform's own.
struct HWND__;
typedef HWND__* HWND;

// The toolkit's 32-bit booleans, as event handlers pass them on.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Dialog results and the standard command ids.
enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDRETRY = 4,
    IDHELP = 9,
    ID_APPLY_NOW = 0x3021,
};

// Message box types: buttons and icons.
enum : unsigned {
    MB_OK = 0x00000000,
    MB_RETRYCANCEL = 0x00000005,
    MB_TYPEMASK = 0x0000000F,
    MB_ICONHAND = 0x00000010,
    MB_ICONSTOP = MB_ICONHAND,
    MB_ICONERROR = MB_ICONHAND,
    MB_ICONQUESTION = 0x00000020,
    MB_ICONEXCLAMATION = 0x00000030,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONASTERISK = 0x00000040,
    MB_ICONINFORMATION = MB_ICONASTERISK,
    MB_ICONMASK = 0x000000F0,
};

// ShowWindow commands.
enum : int {
    SW_HIDE = 0,
    SW_SHOW = 5,
};

// Window and toolbar styles that the toolbar's Create understands.
enum : unsigned {
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    TBSTYLE_TOOLTIPS = 0x0100,
    TBSTYLE_FLAT = 0x0800,
    CCS_BOTTOM = 0x0003,
    CCS_NODIVIDER = 0x0040,
};

// Toolbar button states and styles.
enum : unsigned char {
    TBSTATE_ENABLED = 0x04,
    TBSTYLE_BUTTON = 0x00,
};

// List view: item states, search flags, column formats and widths.
enum : unsigned {
    LVIS_FOCUSED = 0x0001,
    LVIS_SELECTED = 0x0002,
    LVNI_ALL = 0x0000,
    LVNI_FOCUSED = 0x0001,
    LVNI_SELECTED = 0x0002,
    LVFI_STRING = 0x0002,
};

enum : int {
    LVCFMT_LEFT = 0,
    LVCFMT_RIGHT = 1,
    LVCFMT_CENTER = 2,
    LVSCW_AUTOSIZE = -1,
    LVSCW_AUTOSIZE_USEHEADER = -2,
};

// ShowWindow commands beyond hide and show.
enum : int {
    SW_SHOWMAXIMIZED = 3,
    SW_MAXIMIZE = 3,
    SW_SHOWNORMAL = 1,
};

// Virtual key codes: letters and digits are their upper-case ASCII codes.
enum : unsigned {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_F1 = 0x70,
    VK_F3 = 0x72,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_MINUS = 0xBD,
};

// Modifier keys held with a key, as hot keys name them.
enum : unsigned {
    MOD_ALT = 0x0001,
    MOD_CONTROL = 0x0002,
    MOD_SHIFT = 0x0004,
    MOD_WIN = 0x0008,
};

// Menu items and the tracking of a popup menu.
enum : unsigned {
    MF_STRING = 0x0000,
    MF_ENABLED = 0x0000,
    MF_GRAYED = 0x0001,
    MF_SEPARATOR = 0x0800,
    TPM_LEFTALIGN = 0x0000,
    TPM_RETURNCMD = 0x0100,
};

// Browser navigation flag: do not read the page from the cache.
enum : int {
    navNoReadFromCache = 0x04,
};

#endif // _WIN32
