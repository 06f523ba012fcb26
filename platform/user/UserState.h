#pragma once
// The user part of the platform context: window classes, the window tree, the
// message queue, timers, focus, activation, capture, keyboard and mouse state,
// and the screen backend. Windows are reached by handle only: code that sends
// a message looks its window up again afterwards, since the receiver may have
// destroyed it.

#include <windows.h>

#include "../backends/Backend.h"
#include "../core/Context.h"
#include "../core/HandleTable.h"
#include "../gdi/Region.h"
#include "../gdi/Surface.h"
#include "platform/UserTesting.h"

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::user {

using gdi::Region;
using gdi::Surface;

struct WindowClass {
    std::string name;
    // lpszClassName points at `name`; the menu name is not kept.
    WNDCLASSA info{};
    ATOM atom = 0;
    bool system = false;
    int liveWindows = 0;
    // The IDC_ cursor of a system class, loaded into info.hCursor when the
    // class is first looked up: the system classes are registered before
    // cursors can be loaded.
    LPCSTR systemCursor = nullptr;
};

struct ScrollBar {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    bool tracking = false;
};

struct MenuItem {
    UINT id;
    UINT state;
};
struct Menu {
    std::vector<MenuItem> items;
};

// What a system control ("EDIT", "COMBOBOX" and its list) keeps of its own;
// it lives as long as its window.
struct ControlState {
    virtual ~ControlState() = default;
};

struct Window {
    HWND handle = nullptr;
    WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HWND owner = nullptr;
    // Top of the z-order first.
    std::vector<HWND> children;
    // In the parent's client coordinates; the screen's for a top-level window.
    RECT rect{};
    // In window coordinates (0, 0 is the window's top-left corner).
    RECT client{};
    // Where the window goes back to when it is restored.
    RECT normalRect{};
    POINT minPosition{-1, -1};
    POINT maxPosition{-1, -1};
    std::string text;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    // The caption's icons, big and small, as WM_SETICON gave them.
    std::array<HICON, 2> icons{};
    HINSTANCE instance = nullptr;
    std::vector<BYTE> extraBytes;
    struct Property {
        HANDLE data;
        // Properties named by a string hold a reference on the string's atom.
        bool ownsAtom;
    };
    std::map<ATOM, Property> properties;
    // In client coordinates; empty when nothing waits to be painted.
    Region update;
    bool erasePending = false;
    bool framePending = false;
    bool internalPaint = false;
    bool destroying = false;
    bool created = false;
    // An overlapped window hears its size and place (WM_SIZE, WM_MOVE) when
    // it is first shown, unless a move or resize told them before.
    bool sizeUntold = false;
    ScrollBar horizontal;
    ScrollBar vertical;
    HMENU systemMenu = nullptr;
    // Only top-level windows own a frame buffer; children draw into it.
    std::shared_ptr<Surface> surface;
    SurfaceId backendSurface = 0;
    // Surface pixels changed since the screen last showed them.
    Region unpresented;
    std::unique_ptr<ControlState> control;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    DWORD due;
};

// A piece of input not yet turned into a message; it is routed when it is
// retrieved, so the capture and focus of that moment decide where it goes.
struct InputEvent {
    // A close request is the window manager's close button: it keeps its
    // place among the clicks and keys before and after it.
    enum class Kind { MouseMove, MouseDown, MouseUp, MouseWheel, KeyDown, KeyUp, CloseRequest };
    enum class Button { None, Left, Right, Middle };
    Kind kind = Kind::MouseMove;
    Button button = Button::None;
    POINT point{};
    // The window a close request is for.
    HWND target = nullptr;
    BYTE virtualKey = 0;
    // The character a key types, one or two Shift-JIS bytes: always set for
    // a VK_PACKET key; for another key, set when a display's keyboard map
    // says it, and 0 to leave it to the platform's own layout.
    WORD packetChar = 0;
    // A wheel's turn (WHEEL_DELTA a notch) and which wheel turned.
    int wheelDelta = 0;
    bool horizontalWheel = false;
    // Mouse: the MK_ flags after the event; keys: the lParam key data.
    WORD keyFlags = 0;
    LPARAM keyData = 0;
    bool altDown = false;
    DWORD time = 0;
    std::uint64_t serial = 0;
    // The message it became, once routed; nullopt while not yet routed.
    std::optional<MSG> message;
};

struct MessageBoxRun {
    HWND box = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    // The identifier of the default button (DM_GETDEFID).
    int defaultId = 0;
    int answer = 0;
};

struct Hook {
    HHOOK handle = nullptr;
    int type = 0;
    HOOKPROC proc = nullptr;
};

struct UserState {
    UserState();
    ~UserState();

    std::vector<std::unique_ptr<WindowClass>> classes;
    ATOM nextClassAtom = 0xC100;
    HandleTable<Window> windows{8};
    HandleTable<Menu> menus{9};
    // Top of the z-order first; topmost windows stand before the others.
    std::vector<HWND> topLevels;
    // Top-level windows whose changes the screen has yet to show.
    std::vector<HWND> awaitingPresent;

    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    // Whether the screen's input has been read since the queue last ran dry.
    // The message loop looks at the queue several times a turn, and reading
    // the display server's connection each time finds nothing new: input
    // arriving meanwhile is read when the turn ends, a moment later.
    bool inputReadThisTurn = false;
    std::uint64_t nextInputSerial = 1;
    bool quitPosted = false;
    int quitCode = 0;
    // GetQueueStatus: the kinds of message (QS_) that arrived since the
    // program last looked at the queue, and what it saw then.
    DWORD arrivedSinceLook = 0;
    DWORD statusAtLook = 0;
    // The thread's hooks, the newest first.
    std::vector<Hook> hooks;
    std::uintptr_t nextHook = 1;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimerId = 0x7FF0;
    MSG lastMessage{};
    WORD lastPacketChar = 0;
    // The last key pressed, to tell an Alt pressed and released alone.
    int lastKeyDown = 0;
    // The caption button under a press of the left button, until it is released.
    int pressedCaptionButton = HTNOWHERE;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    bool appActive = false;
    std::array<BYTE, 256> keyState{};
    std::array<BYTE, 256> asyncKeyState{};
    POINT cursorPos{0, 0};
    HCURSOR cursor = nullptr;
    int cursorShowCount = 0;

    // The last button press, to tell a double click.
    HWND lastClickWindow = nullptr;
    UINT lastClickMessage = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint{};
    bool lastClickWasDouble = false;

    BOOL animation = FALSE;
    std::vector<MessageBoxRun*> messageBoxes;
    int beeps = 0;
    std::vector<platform::HelpRequest> helpRequests;
    bool imeEnabled = true;

    // Device contexts given out by GetDC, GetDCEx and BeginPaint, by window.
    std::map<HDC, HWND> handedOutDCs;
    // Loaded cursors and icons, shared by every load, by system id or group
    // resource; they are gdi icon handles.
    std::map<ULONG_PTR, HICON> sharedCursors;
    std::map<ULONG_PTR, HICON> sharedIcons;

    std::unique_ptr<Backend> backend;
    // False when the program wanted a display server and found none: the
    // headless screen then stands in for no monitor at all.
    bool monitor = true;
};

inline UserState& State() {
    return Ctx().User();
}

// The window behind a handle; null for a stale or foreign one.
inline Window* Find(HWND window) {
    return State().windows.Find(reinterpret_cast<std::uintptr_t>(window));
}
inline HWND ToHwnd(std::uintptr_t value) {
    return reinterpret_cast<HWND>(value);
}

// Sets the last error and returns `result`.
// Window positions and sizes are held within this bound, so that no sum of a
// position, a size, a frame and an origin overflows.
constexpr int kCoordinateLimit = 1 << 27;
// The lines a notch of the wheel scrolls (SPI_GETWHEELSCROLLLINES).
constexpr UINT kWheelScrollLines = 3;
inline int BoundedCoordinate(int value) {
    return value < -kCoordinateLimit  ? -kCoordinateLimit
           : value > kCoordinateLimit ? kCoordinateLimit
                                      : value;
}

template <class R> R Fail(DWORD error, R result) {
    SetLastError(error);
    return result;
}

// Geometry shared by the API areas (Geometry.cpp).
POINT ClientOriginOnScreen(const Window& window);
POINT WindowOriginOnScreen(const Window& window);
RECT ScreenRect(const Window& window);
HWND TopLevelOf(HWND window);
bool IsVisibleChain(HWND window);
bool IsDescendant(HWND ancestor, HWND window);
// The non-client frame that the style asks for, as thicknesses per side.
RECT FrameInsets(DWORD style, DWORD exStyle);
// The window without its border and caption (the client area with the
// scroll bars), in window coordinates.
RECT InsideFrame(const Window& window);
// The client rectangle a window rectangle leaves, the system metrics applied.
RECT ClientFromWindow(const RECT& windowRect, DWORD style, DWORD exStyle);
// Caption rectangle in window coordinates; empty without a caption.
RECT CaptionRect(const Window& window);
struct CaptionButtons {
    RECT icon;
    RECT minimize;
    RECT maximize;
    RECT close;
};
// In window coordinates; a button the style does not ask for is empty.
CaptionButtons CaptionButtonRects(const Window& window);
RECT VerticalScrollRect(const Window& window);
RECT HorizontalScrollRect(const Window& window);
// The deepest visible and enabled window at a screen point.
HWND DeepestWindowAt(POINT screenPoint);
// Moves the window among its siblings without messages; true when it moved.
bool PlaceInZOrder(HWND window, HWND after);
// Invalidates the whole window, frame included.
void RepaintWholeWindow(HWND window);

// Painting shared by the areas (Painting.cpp).
void DrawFrame(HWND window);
HBRUSH BrushOf(HBRUSH classBrush);
void InvalidateArea(HWND window, const Region& area, bool erase, bool children);
// Which children an erase that cannot wait reaches.
enum class EraseChildren { None, WhereClipped, All };
// Paints now the frame and the background that wait (WM_NCPAINT, then
// WM_ERASEBKGND of the update region); the paint itself stays pending. A
// child follows its parent when asked for all children, or when the parent
// clips it out of its own painting (WS_CLIPCHILDREN): a parent that paints
// over its children has them erased after its own paint instead.
void EraseNow(HWND window, EraseChildren children);
void DiscardPainting(Window& window);
void PrepareSurface(Window& window);

// Showing the frame buffers (Presenting.cpp). `surfaceArea` of the window's
// frame buffer changed; the screen shows it at the next PresentPending.
void Present(HWND window, const Region& surfaceArea);
// Shows every change not yet shown, each top-level window's in one go: once
// a turn of the message loop, when the queue runs dry.
void PresentPending();
// Shows what changed, then waits for input or `deadline`; false when
// nothing can ever arrive.
bool WaitForInput(std::optional<DWORD> deadline);
// Tells the screen where a top-level window is and whether it shows.
void PlaceOnScreen(const Window& window);
// Tells the screen the title of a top-level window that has a surface.
void NameOnScreen(const Window& window);
// Tells the screen who a top-level window with a surface is: its role, the
// program's icon and the sizes it accepts (ScreenIdentity.cpp).
void DescribeOnScreen(HWND window);
bool HasPaintPending(HWND window);
HWND FindWindowToPaint(HWND filter);

// Focus and activation (Input.cpp).
void Activate(HWND window, WORD how);
void ForgetWindow(HWND window);
// The message an input event becomes now; nullopt when it is eaten.
std::optional<MSG> RouteInput(const InputEvent& event);
// Calls the newest hook of `type` (0 when there is none) and whether any is set.
LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int type);
// The queue-status flag (QS_KEY, QS_MOUSEMOVE, QS_MOUSEBUTTON) of an input event.
DWORD QueueStatusOf(const InputEvent& event);
void ApplyKeyMessage(const MSG& message);

// Messages (Messages.cpp).
bool HasTimerDue(HWND filter);
// Waits until a message can be retrieved; false when none ever can.
bool WaitForMessage();
void KillTimersOf(HWND window);

// Scroll bars (ScrollBars.cpp).
void DrawScrollBars(HWND window, HDC windowDC);
bool TrackScrollClick(HWND window, int hit, POINT screenPoint);

// Classes (Windows.cpp, MessageBox.cpp).
ATOM RegisterClass(UserState& state, const WNDCLASSA& info, bool system);
// What WM_GETMINMAXINFO starts from.
MINMAXINFO DefaultSizeLimits(const Window& window);
// Whether a window of this style has size limits: an overlapped window or
// one with a sizing frame.
bool HasSizeLimits(DWORD style);
// The size limits the window answers (WM_GETMINMAXINFO); nothing when it
// went away meanwhile.
std::optional<MINMAXINFO> AskSizeLimits(HWND window);
// Sends WM_SIZE, then WM_MOVE, with the window's client size and place;
// false when the window did not survive them.
bool TellSizeAndPlace(HWND window);

// The mouse loop of SC_MOVE and SC_SIZE, from the press at `screenPoint`
// (MoveSize.cpp).
void TrackMoveSize(HWND window, WPARAM command, POINT screenPoint);
void RegisterSystemClasses(UserState& state);
// "EDIT" (Edit.cpp); "COMBOBOX" and its list, "ComboLBox" (ComboBox.cpp).
void RegisterEditClass(UserState& state);
void RegisterComboBoxClasses(UserState& state);
void RegisterStaticClass(UserState& state);
// "LISTBOX" (ListBox.cpp).
void RegisterListBoxClass(UserState& state);

} // namespace platform::user
