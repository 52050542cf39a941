#pragma once
// Fake Word objects for in-process tests of the Word worker's document procedures: the Office
// stand-ins' plain IDispatch objects (dispatch_object.h), each made from a list of named members
// (matched without regard to case, as Office's are). Tests build a small fake document from them.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "com/com_ptr.h"
#include "standins/office/dispatch_object.h"

namespace quorallion::testing::fake {

using Call = standin::DispatchCall;
using Member = standin::Member;
using Members = std::vector<std::pair<std::wstring, Member>>;

// A member that fails the way an automation server's does (an exception of the server).
inline HRESULT Raise() { return DISP_E_EXCEPTION; }

class Object final : public standin::DispatchObject {
public:
    static com::ComPtr<IDispatch> Make(Members members) {
        return com::ComPtr<IDispatch>::Attach(new Object(std::move(members)));
    }

private:
    explicit Object(Members members) : DispatchObject(L"Fake") {
        for (auto& [name, body] : members)
            Add(name, [body = std::move(body)](Call& call) -> HRESULT {
                const HRESULT hr = body(call);
                // A bare Raise() fails as Word's "This method or property is not available".
                if (hr == DISP_E_EXCEPTION && call.failNumber_ == 0) return call.Fail(4605, L"fake member failed");
                return hr;
            });
    }
};

}  // namespace quorallion::testing::fake
