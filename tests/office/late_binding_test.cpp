// The Office workers' late-binding module against plain IDispatch objects in this process: calls
// by dotted path, omitted and by-reference arguments, and the trapped error state.
#include <gtest/gtest.h>

#include "office/dispatch_object.h"
#include "office/late_binding_win.h"

namespace {

using quorallion::office::Arg;
using quorallion::office::AutoObject;
using quorallion::office::ByRefValue;
using quorallion::office::ErrorState;
using quorallion::standin::DispatchCall;
using quorallion::standin::DispatchObject;

// A small tree: Application.ActiveWindow.view.Type (read-write) and a few methods on the root.
struct Tree {
    DispatchObject* app = new DispatchObject(L"Application");
    DispatchObject* window = new DispatchObject(L"Window");
    DispatchObject* view = new DispatchObject(L"View");
    long viewType = 1;
    std::vector<std::wstring> seen;  // what Open received, as the journal writes each argument

    Tree() {
        view->Add(L"Type", [this](DispatchCall& c) {
            if (c.IsPut()) viewType = c.Long(0);
            else c.Return(viewType);
            return S_OK;
        });
        window->Add(L"View", [this](DispatchCall& c) { c.Return(static_cast<IDispatch*>(view)); return S_OK; });
        app->Add(L"ActiveWindow", [this](DispatchCall& c) { c.Return(static_cast<IDispatch*>(window)); return S_OK; });
        app->Add(L"Version", [](DispatchCall& c) { c.Return(std::wstring(L"16.0")); return S_OK; });
        app->Add(L"Open", [this](DispatchCall& c) {
            seen.clear();
            for (size_t i = 0; i < c.Count(); ++i)
                seen.push_back(quorallion::standin::Journal::Describe(c.Original(i)));
            c.Return(static_cast<IDispatch*>(window));
            return S_OK;
        });
        // Doubles a number and appends "!" to a text it gets by reference; flips a Boolean.
        app->Add(L"Change", [](DispatchCall& c) {
            VARIANT& n = const_cast<VARIANT&>(c.Original(0));
            VARIANT& t = const_cast<VARIANT&>(c.Original(1));
            VARIANT& b = const_cast<VARIANT&>(c.Original(2));
            if (n.vt != (VT_BYREF | VT_I4) || t.vt != (VT_BYREF | VT_BSTR) || b.vt != (VT_BYREF | VT_BOOL))
                return DISP_E_TYPEMISMATCH;
            *n.plVal *= 2;
            std::wstring text(*t.pbstrVal, ::SysStringLen(*t.pbstrVal));
            ::SysFreeString(*t.pbstrVal);
            *t.pbstrVal = ::SysAllocString((text + L"!").c_str());
            *b.pboolVal = *b.pboolVal ? VARIANT_FALSE : VARIANT_TRUE;
            return S_OK;
        });
        app->Add(L"PasteAndFormat", [](DispatchCall& c) { return c.Fail(6102, L"Paste failed"); });
        app->Add(L"Number", [](DispatchCall& c) { c.Return(7L); return S_OK; });
    }
    ~Tree() {
        view->Release();
        window->Release();
        app->Release();
    }
};

TEST(LateBinding, DottedPathsReadAndWriteThroughEveryStep) {
    Tree tree;
    ErrorState err;
    AutoObject app(tree.app, err);
    EXPECT_EQ(app.Get(L"ActiveWindow.View.Type").Long(), 1);
    app.Put(L"activewindow.view.type", 3);  // names without regard to case, as Office
    EXPECT_EQ(tree.viewType, 3);
    EXPECT_EQ(app.Object(L"ActiveWindow").Get(L"View.Type").Long(), 3);
    EXPECT_EQ(app.Get(L"Version").Text(), L"16.0");
    EXPECT_EQ(app.Get(L"Version").Double(), 16.0);
    EXPECT_FALSE(err.Pending()) << err.Description();
}

TEST(LateBinding, OmittedArgumentsArriveAsLeftOut) {
    Tree tree;
    ErrorState err;
    AutoObject app(tree.app, err);
    AutoObject doc = app.Object(L"Open", {L"C:\\a b.doc", Arg::Missing(), true});
    EXPECT_TRUE(doc);
    EXPECT_EQ(tree.seen, (std::vector<std::wstring>{L"BSTR:C:\\a b.doc", L"missing", L"BOOL:true"}));
    EXPECT_FALSE(err.Pending());
}

TEST(LateBinding, ByReferenceArgumentsCarryTheirTypeAndComeBackChanged) {
    Tree tree;
    ErrorState err;
    AutoObject app(tree.app, err);
    ByRefValue number(21), text(std::wstring(L"ab")), flag(true);
    app.Call(L"Change", {number.Ref(), text.Ref(), flag.Ref()});
    ASSERT_FALSE(err.Pending()) << err.Description();
    EXPECT_EQ(number.Value().lVal, 42);
    EXPECT_STREQ(text.Value().bstrVal, L"ab!");
    EXPECT_EQ(flag.Value().boolVal, VARIANT_FALSE);
}

TEST(LateBinding, ErrorsAreTrappedKeptAndClearedOnlyOnRequest) {
    Tree tree;
    ErrorState err;
    AutoObject app(tree.app, err);

    app.Call(L"PasteAndFormat", {0});
    EXPECT_EQ(err.Number(), 6102);  // Office's own number, not the HRESULT
    EXPECT_EQ(err.Description(), L"Paste failed");
    app.Get(L"Version");  // a later success leaves the error standing
    EXPECT_EQ(err.Number(), 6102);
    err.Clear();
    EXPECT_FALSE(err.Pending());

    EXPECT_TRUE(app.Get(L"NoSuchMember").IsEmpty());
    EXPECT_EQ(err.Number(), ErrorState::kNoSuchMember);
    err.Clear();

    // A step of a path that is no object stops the path before its last name.
    tree.viewType = 5;
    app.Put(L"Number.Type", 9);
    EXPECT_EQ(err.Number(), ErrorState::kTypeMismatch);
    EXPECT_EQ(tree.viewType, 5);
    err.Clear();

    AutoObject none = app.Object(L"Number");  // a number is no object
    EXPECT_FALSE(none);
    EXPECT_EQ(err.Number(), ErrorState::kTypeMismatch);
    err.Clear();
    none.Call(L"Close", {0});
    EXPECT_EQ(err.Number(), ErrorState::kObjectNotSet);
}

TEST(LateBinding, CreatingAnUnknownApplicationRecordsTheRuntimeError) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    {
        ErrorState err;
        AutoObject app = quorallion::office::CreateObject(L"Quorallion.NoSuchApplication", err);
        EXPECT_FALSE(app);
        EXPECT_EQ(err.Number(), 429);
        err.Clear();
        AutoObject running = quorallion::office::GetActiveObject(L"Quorallion.NoSuchApplication", err);
        EXPECT_FALSE(running);
        EXPECT_EQ(err.Number(), 429);
    }
    ::CoUninitialize();
}

TEST(LateBinding, ByteArraysComeBackAsBytes) {
    DispatchObject* object = new DispatchObject(L"Selection");
    object->Add(L"EnhMetaFileBits", [](DispatchCall& c) {
        c.ReturnBytes({1, 2, 3, 250});
        return S_OK;
    });
    ErrorState err;
    AutoObject selection(object, err);
    EXPECT_EQ(selection.Get(L"EnhMetaFileBits").Bytes(), (std::vector<uint8_t>{1, 2, 3, 250}));
    object->Release();
}

}  // namespace
