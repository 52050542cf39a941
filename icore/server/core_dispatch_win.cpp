#include "server/core_dispatch_win.h"

#include <windows.h>
#include <oleauto.h>

#include <initializer_list>

#include "com/com_ptr.h"

namespace quorallion::icore {
namespace {

// Failures that say the object's process is gone for good.
bool IsDisconnected(HRESULT hr) {
    switch (hr) {
        case RPC_E_DISCONNECTED:
        case RPC_E_SERVER_DIED:
        case RPC_E_SERVER_DIED_DNE:
        case CO_E_OBJNOTCONNECTED:
        case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
            return true;
        default:
            return false;
    }
}

// BSTRs passed by reference: the callee may replace them, so whatever is there at the end is freed.
struct ByRefTexts {
    explicit ByRefTexts(std::initializer_list<const std::wstring*> texts) {
        int i = 0;
        for (const std::wstring* text : texts)
            items[i++] = ::SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    }
    ByRefTexts(const ByRefTexts&) = delete;
    ByRefTexts& operator=(const ByRefTexts&) = delete;
    ~ByRefTexts() {
        for (BSTR item : items) ::SysFreeString(item);
    }
    BSTR items[5] = {};
};

class DispatchCore final : public CoreObject {
public:
    explicit DispatchCore(com::ComPtr<IDispatch> object) : object_(std::move(object)) {}

    CallOutcome GetInfo(const CoreCall& call, std::wstring& reply) override {
        // Held across the call: a call dispatched meanwhile may drop this core from the table.
        com::ComPtr<IDispatch> object = object_;
        if (getInfoId_ == DISPID_UNKNOWN) {
            // Looked up once per object: a second round trip on every call would double the cost.
            LPOLESTR names[] = {const_cast<LPOLESTR>(L"GetInfo")};
            HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &getInfoId_);
            if (FAILED(hr)) {
                getInfoId_ = DISPID_UNKNOWN;
                return IsDisconnected(hr) ? CallOutcome::Disconnected : CallOutcome::Failed;
            }
        }
        // Each string passed by reference, as the core's callers always have; IDispatch takes
        // its arguments last to first.
        ByRefTexts texts({&call.config, &call.action, &call.param1, &call.param2, &call.param3});
        VARIANT args[5];
        for (int i = 0; i < 5; ++i) {
            ::VariantInit(&args[i]);
            args[i].vt = VT_BSTR | VT_BYREF;
            args[i].pbstrVal = &texts.items[4 - i];
        }
        DISPPARAMS params{args, nullptr, 5, 0};
        com::Variant result;
        EXCEPINFO exception{};
        UINT argError = 0;
        HRESULT hr = object->Invoke(getInfoId_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                    &params, result.put(), &exception, &argError);
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
        if (FAILED(hr)) return IsDisconnected(hr) ? CallOutcome::Disconnected : CallOutcome::Failed;
        reply = result.str();
        return CallOutcome::Answered;
    }

private:
    com::ComPtr<IDispatch> object_;
    DISPID getInfoId_ = DISPID_UNKNOWN;
};

}  // namespace

std::shared_ptr<CoreObject> DispatchCoreCreator::CreateCore(const std::wstring& progId) {
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(progId.c_str(), &clsid))) return nullptr;
    com::ComPtr<IDispatch> object;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, object.put_void())))
        return nullptr;
    return std::make_shared<DispatchCore>(std::move(object));
}

}  // namespace quorallion::icore
