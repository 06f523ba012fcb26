#pragma once
// What every control shares: the library's own control messages, the types of
// the control properties and events, and the style and state bits.

#include "core/Events.h"
#include "core/TObject.h"

#include <windows.h>

#include <cstdint>

namespace velbrin {

// The library's control messages. Numbers from 0xB000 are notices between
// controls; 0xBC00 plus n is Windows message n reflected to the child control
// it concerns.
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_APP_ACTIVATE = 0xB000;
inline constexpr UINT CM_APP_DEACTIVATE = 0xB001;
inline constexpr UINT CM_CANCEL_MODE = 0xB004;
inline constexpr UINT CM_DIALOG_KEY = 0xB005;
inline constexpr UINT CM_DIALOG_CHAR = 0xB006;
inline constexpr UINT CM_FOCUS_CHANGED = 0xB007;
inline constexpr UINT CM_PARENT_FONT_CHANGED = 0xB008;
inline constexpr UINT CM_PARENT_COLOR_CHANGED = 0xB009;
inline constexpr UINT CM_HIT_TEST = 0xB00A;
inline constexpr UINT CM_VISIBLE_CHANGED = 0xB00B;
inline constexpr UINT CM_ENABLED_CHANGED = 0xB00C;
inline constexpr UINT CM_COLOR_CHANGED = 0xB00D;
inline constexpr UINT CM_FONT_CHANGED = 0xB00E;
inline constexpr UINT CM_CURSOR_CHANGED = 0xB00F;
inline constexpr UINT CM_CTL3D_CHANGED = 0xB010;
inline constexpr UINT CM_PARENT_CTL3D_CHANGED = 0xB011;
inline constexpr UINT CM_TEXT_CHANGED = 0xB012;
inline constexpr UINT CM_MOUSE_ENTER = 0xB013;
inline constexpr UINT CM_MOUSE_LEAVE = 0xB014;
inline constexpr UINT CM_MENU_CHANGED = 0xB015;
inline constexpr UINT CM_APP_KEY_DOWN = 0xB016;
inline constexpr UINT CM_APP_SYS_COMMAND = 0xB017;
inline constexpr UINT CM_SHOWING_CHANGED = 0xB019;
inline constexpr UINT CM_ENTER = 0xB01A;
inline constexpr UINT CM_EXIT = 0xB01B;
inline constexpr UINT CM_DESIGNER_HIT = 0xB01C;
inline constexpr UINT CM_ICON_CHANGED = 0xB01D;
inline constexpr UINT CM_WANT_SPECIAL_KEY = 0xB01E;
inline constexpr UINT CM_INVOKE_HELP = 0xB01F;
inline constexpr UINT CM_WINDOW_HOOK = 0xB020;
inline constexpr UINT CM_RELEASE = 0xB021;
inline constexpr UINT CM_SHOW_HINT_CHANGED = 0xB022;
inline constexpr UINT CM_PARENT_SHOW_HINT_CHANGED = 0xB023;
inline constexpr UINT CM_SYS_COLOR_CHANGE = 0xB024;
inline constexpr UINT CM_WIN_INI_CHANGE = 0xB025;
inline constexpr UINT CM_FONT_CHANGE = 0xB026;
inline constexpr UINT CM_TIME_CHANGE = 0xB027;
inline constexpr UINT CM_TAB_STOP_CHANGED = 0xB028;
inline constexpr UINT CM_FORM_FOCUSED = 0xB029;
inline constexpr UINT CM_CONTROL_LIST_CHANGE = 0xB02C;
inline constexpr UINT CM_CHILD_KEY = 0xB02E;
inline constexpr UINT CM_DRAG = 0xB02F;
inline constexpr UINT CM_HINT_SHOW = 0xB030;
inline constexpr UINT CM_DIALOG_HANDLE = 0xB031;
inline constexpr UINT CM_RECREATE_WND = 0xB033;
inline constexpr UINT CM_INVALIDATE = 0xB034;

// Reflected notifications: the Windows message plus CN_BASE.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
inline constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
inline constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
inline constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
inline constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
struct TypeInfo;
// How descendants that publish Align and DragMode name their values.
const TypeInfo& TypeInfoOf(TAlign*);
const TypeInfo& TypeInfoOf(TDragMode*);
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1 << 0;
inline constexpr TShiftState ssAlt = 1 << 1;
inline constexpr TShiftState ssCtrl = 1 << 2;
inline constexpr TShiftState ssLeft = 1 << 3;
inline constexpr TShiftState ssRight = 1 << 4;
inline constexpr TShiftState ssMiddle = 1 << 5;
inline constexpr TShiftState ssDouble = 1 << 6;

// How a control wants the input method while it has the focus.
enum TImeMode : std::uint8_t {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata
};

using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;

// Where a drag stands for the control under the mouse.
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };

// The control style: what kind of control a class makes.
using TControlStyle = std::uint16_t;
inline constexpr TControlStyle csAcceptsControls = 1 << 0;
inline constexpr TControlStyle csCaptureMouse = 1 << 1;
inline constexpr TControlStyle csClickEvents = 1 << 3;
inline constexpr TControlStyle csFramed = 1 << 4;
inline constexpr TControlStyle csSetCaption = 1 << 5;
inline constexpr TControlStyle csOpaque = 1 << 6;
inline constexpr TControlStyle csDoubleClicks = 1 << 7;
inline constexpr TControlStyle csFixedWidth = 1 << 8;
inline constexpr TControlStyle csFixedHeight = 1 << 9;
inline constexpr TControlStyle csNoDesignVisible = 1 << 10;
inline constexpr TControlStyle csNoStdEvents = 1 << 12;

// The control state: what a control is going through.
using TControlState = std::uint8_t;
inline constexpr TControlState csLButtonDown = 1 << 0;
inline constexpr TControlState csClicked = 1 << 1;
inline constexpr TControlState csPalette = 1 << 2;
inline constexpr TControlState csReadingState = 1 << 3;
inline constexpr TControlState csAlignmentNeeded = 1 << 4;
inline constexpr TControlState csFocusing = 1 << 5;
inline constexpr TControlState csPaintCopy = 1 << 7;

// Which bounds and the font were set while loading, and so may be scaled.
using TScalingFlags = std::uint8_t;
inline constexpr TScalingFlags sfLeft = 1 << 0;
inline constexpr TScalingFlags sfTop = 1 << 1;
inline constexpr TScalingFlags sfWidth = 1 << 2;
inline constexpr TScalingFlags sfHeight = 1 << 3;
inline constexpr TScalingFlags sfFont = 1 << 4;
inline constexpr TScalingFlags sfAll = sfLeft | sfTop | sfWidth | sfHeight | sfFont;

// The procedure a control's messages pass through.
using TWndMethod = TEvent<TMessage&>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;
// Sender, source (the control dragged, or the object it named), x, y in the
// sender's client coordinates, the drag state, and whether it accepts.
using TDragOverEvent = TEvent<TObject*, TObject*, int, int, TDragState, bool&>;
using TDragDropEvent = TEvent<TObject*, TObject*, int, int>;
// Sender, the control that took the drop or null, x, y in the target's
// client coordinates.
using TEndDragEvent = TEvent<TObject*, TObject*, int, int>;
// Sender, and the object to drag instead of the sender (null for itself).
using TStartDragEvent = TEvent<TObject*, TObject*&>;

// The mouse messages that controls take as mouse input: moves and the three
// buttons' presses, releases and double clicks, whose lParam is a point in
// client coordinates. The wheel's messages, later in Windows' mouse range,
// carry a point in screen coordinates and go to the control as they are.
inline bool IsClientMouseMessage(UINT number) {
    return number >= WM_MOUSEFIRST && number <= WM_MBUTTONDBLCLK;
}

// The point of a mouse message: two signed 16-bit coordinates.
inline POINT PointOfMessage(const TMessage& message) {
    return {static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
}
inline LPARAM PointToLParam(POINT point) {
    return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

} // namespace velbrin
