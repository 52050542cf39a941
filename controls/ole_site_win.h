#pragma once
// A small OLE container for one outside control in a window of ours: the control is created by
// its ProgID, given a client site (IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame and the
// ambient properties, UserMode True), initialised with IPersistStreamInit::InitNew when it offers
// it, and activated in place at a rectangle of the parent window. Its events are found as real
// hosts find them: IProvideClassInfo gives the coclass, whose default source interface is
// advised on the control's connection point; each event reaches the handler by its name, read
// from the source interface's type information.
//
// Teardown runs Unadvise, InPlaceDeactivate, Close, SetClientSite(null) and Release, in that
// order. A Destroy asked for while the control is raising an event runs only after that event's
// call has returned (posted to the site's own message window): the control is never released
// inside its own call.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

namespace quorallion::controls {

class OleSiteObject;

class OleControlSite {
public:
    // name: the event's name in the source interface; params: its arguments as the control
    // passed them (rgvarg in reverse order, as IDispatch::Invoke gives them).
    using EventHandler = std::function<void(const std::wstring& name, DISPPARAMS* params)>;

    OleControlSite() = default;
    OleControlSite(const OleControlSite&) = delete;
    OleControlSite& operator=(const OleControlSite&) = delete;
    ~OleControlSite();

    // Creates and activates the control; on failure nothing stays behind. An unknown ProgID
    // answers CO_E_CLASSSTRING.
    HRESULT Create(HWND parent, const std::wstring& progId, const RECT& rect, EventHandler onEvent);
    // Moves the control (IOleInPlaceObject::SetObjectRects).
    void SetRect(const RECT& rect);
    // The control's window while it is active in place, else nullptr.
    HWND ControlWindow() const;
    bool IsCreated() const;

    // Late-bound call by name; args in call order (by-reference variants stay by reference).
    HRESULT Invoke(const wchar_t* name, WORD flags, std::vector<VARIANT>& args, VARIANT* result);
    HRESULT CallMethod(const wchar_t* name, std::vector<VARIANT>& args, VARIANT* result = nullptr) {
        return Invoke(name, DISPATCH_METHOD, args, result);
    }
    HRESULT PutProperty(const wchar_t* name, const VARIANT& value);

    // Tears the control down (see above); the handler is not called any more.
    void Destroy();

private:
    OleSiteObject* site_ = nullptr;
};

}  // namespace quorallion::controls
