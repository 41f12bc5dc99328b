// Message maps without macros: ordered tables of typed handlers, searched class by class.
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

class CCmdTarget;

// One decoded call of a handler; `target` is always an object of the handler's class.
using MessageThunk = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

enum class EntryKind : unsigned char { Message, Command, UpdateCommand };

struct MessageEntry {
    UINT message; // window message; 0 for command entries
    UINT id; // command id; 0 for window messages
    EntryKind kind;
    MessageThunk thunk;
};

// A class's entries in priority order, then its base class's map.
struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;
    std::size_t count;
};

template <std::size_t N> constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageEntry (&entries)[N])
{
    return { base, entries, N };
}

// Asks a menu item or a pending command whether it is enabled and checked.
class CCmdUI {
public:
    explicit CCmdUI(HMENU menu = nullptr, UINT index = 0)
        : m_hMenu(menu)
        , m_nIndex(index)
    {
    }

    void Enable(BOOL on = TRUE);
    void SetCheck(int check = 1);

    HMENU m_hMenu; // null when a command is about to run rather than a menu opening
    UINT m_nIndex;
    BOOL m_bEnabled = TRUE;
};

namespace message_map_detail {

template <class> struct MemberOf;
template <class T, class F> struct MemberOf<F T::*> {
    using Class = T;
};

// A message parameter as the handler's type: a handle or pointer as it was packed, a number converted.
template <class P, class V> P Unpack(V value)
{
    if constexpr (std::is_pointer_v<P>)
        return reinterpret_cast<P>(value);
    else
        return P(value);
}

// One decoder per message the program handles: it fixes the handler's signature and
// unpacks wParam/lParam in this one place.
// clang-format off
template <UINT Message> struct Decode;

struct DecodeNoArgs {
    template <class T> using Handler = void (T::*)();
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM, LPARAM) { (t.*H)(); return 0; }
};
struct DecodeQueryBool {
    template <class T> using Handler = BOOL (T::*)();
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM, LPARAM) { return (t.*H)(); }
};
// wParam alone, as the handler's parameter.
template <class W> struct DecodeWParam {
    template <class T> using Handler = void (T::*)(W);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM w, LPARAM) { (t.*H)(Unpack<W>(w)); return 0; }
};
// lParam alone, as the handler's parameter.
template <class L> struct DecodeLParam {
    template <class T> using Handler = void (T::*)(L);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM, LPARAM l) { (t.*H)(Unpack<L>(l)); return 0; }
};
// wParam and lParam, each as the handler's parameter; the message's result is `Result`.
template <class W, class L, LRESULT Result = 0> struct DecodeParams {
    template <class T> using Handler = void (T::*)(W, L);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM w, LPARAM l)
    {
        (t.*H)(Unpack<W>(w), Unpack<L>(l));
        return Result;
    }
};
// wParam, then lParam's low and high words, each as the handler's parameter.
template <class W, class Low, class High> struct DecodeWords {
    template <class T> using Handler = void (T::*)(W, Low, High);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM w, LPARAM l)
    {
        (t.*H)(Unpack<W>(w), Low(LOWORD(l)), High(HIWORD(l)));
        return 0;
    }
};

template <> struct Decode<WM_CREATE> {
    template <class T> using Handler = int (T::*)(LPCREATESTRUCT);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM, LPARAM l)
    {
        return (t.*H)(reinterpret_cast<LPCREATESTRUCT>(l));
    }
};
template <> struct Decode<WM_DESTROY> : DecodeNoArgs {};
template <> struct Decode<WM_CLOSE> : DecodeNoArgs {};
template <> struct Decode<WM_PAINT> : DecodeNoArgs {};
template <> struct Decode<WM_SETFOCUS> : DecodeWParam<HWND> {};
template <> struct Decode<WM_PALETTECHANGED> : DecodeWParam<HWND> {};
template <> struct Decode<WM_PALETTEISCHANGING> : DecodeWParam<HWND> {};
template <> struct Decode<WM_QUERYNEWPALETTE> : DecodeQueryBool {};
template <> struct Decode<WM_INITDIALOG> : DecodeQueryBool {};
// The timer's id.
template <> struct Decode<WM_TIMER> : DecodeWParam<UINT_PTR> {};
// The edge being dragged and the window rectangle, which the handler may change.
template <> struct Decode<WM_SIZING> : DecodeParams<UINT, LPRECT, TRUE> {};
// The kind of change, then the new client width and height.
template <> struct Decode<WM_SIZE> : DecodeWords<UINT, int, int> {};
// Whether this program becomes the active one, and the thread of the one that was or will be.
template <> struct Decode<WM_ACTIVATEAPP> : DecodeParams<BOOL, DWORD> {};
// Colour depth, then the new width and height as unsigned 16-bit values.
template <> struct Decode<WM_DISPLAYCHANGE> : DecodeWords<UINT, UINT, UINT> {};
// Whether the session really ends.
template <> struct Decode<WM_ENDSESSION> : DecodeWParam<BOOL> {};
template <> struct Decode<WM_ERASEBKGND> {
    template <class T> using Handler = BOOL (T::*)(HDC);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM w, LPARAM) { return (t.*H)(reinterpret_cast<HDC>(w)); }
};
struct DecodeMouse {
    // Key flags and the pointer position in client coordinates (signed: it may lie left of or above the window).
    template <class T> using Handler = void (T::*)(UINT, POINT);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM w, LPARAM l)
    {
        (t.*H)(UINT(w), POINT{short(LOWORD(l)), short(HIWORD(l))});
        return 0;
    }
};
template <> struct Decode<WM_MOUSEMOVE> : DecodeMouse {};
template <> struct Decode<WM_LBUTTONDOWN> : DecodeMouse {};
// The virtual key, the repeat count, and the flags (KF_REPEAT: the key was already down, auto-repeat).
template <> struct Decode<WM_KEYDOWN> : DecodeWords<UINT, UINT, UINT> {};
// The proposed position, size and flags, which the handler may change.
template <> struct Decode<WM_WINDOWPOSCHANGING> : DecodeLParam<WINDOWPOS*> {};
template <> struct Decode<WM_GETOBJECT> {
    // The flags to hand on with the object, and which object is asked for (OBJID_CLIENT, ...).
    template <class T> using Handler = LRESULT (T::*)(WPARAM, LONG);
    template <class T, Handler<T> H> static LRESULT Call(T& t, WPARAM w, LPARAM l) { return (t.*H)(w, LONG(l)); }
};
// The popup menu, its position in its parent menu, and whether it is the window menu.
template <> struct Decode<WM_INITMENUPOPUP> : DecodeWords<HMENU, UINT, BOOL> {};
// clang-format on

// The thunk that unpacks the message with decoder `D` and calls `Handler` on the object of its class.
template <class D, auto Handler> constexpr MessageThunk Thunk()
{
    using T = typename MemberOf<decltype(Handler)>::Class;
    return [](CCmdTarget& t, WPARAM w, LPARAM l) { return D::template Call<T, Handler>(static_cast<T&>(t), w, l); };
}

} // namespace message_map_detail

// An entry for window message `Message`, e.g. OnMessage<WM_SIZE, &CMainFrame::OnSize>().
template <UINT Message, auto Handler> constexpr MessageEntry OnMessage()
{
    using namespace message_map_detail;
    return { Message, 0, EntryKind::Message, Thunk<Decode<Message>, Handler>() };
}

// An entry that runs command `Id` (a menu item or accelerator).
template <UINT Id, auto Handler> constexpr MessageEntry OnCommand()
{
    using namespace message_map_detail;
    return { 0, Id, EntryKind::Command, Thunk<DecodeNoArgs, Handler>() };
}

// An entry that enables and checks command `Id`'s menu item (lParam carries the CCmdUI).
template <UINT Id, auto Handler> constexpr MessageEntry OnUpdateCommand()
{
    using namespace message_map_detail;
    return { 0, Id, EntryKind::UpdateCommand, Thunk<DecodeLParam<CCmdUI*>, Handler>() };
}

// What a routed command asks of a target.
enum class CmdAction { Run, Update, Probe };

// Base of everything that receives commands: the application, document, frame and view.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Offers command `id` along the routing chain; TRUE when some target has a handler.
    // Update asks the update handler (with `ui`); Probe only asks whether a command handler exists.
    virtual BOOL OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui);

    virtual const MessageMap* GetMessageMap() const { return &messageMap; }
    static const MessageMap messageMap;

protected:
    // The first entry of this object's maps, most derived class first.
    const MessageEntry* FindEntry(EntryKind kind, UINT message, UINT id) const;
};
