// Equation placeholders in the saved page's img alt values replaced by the stored codes, in-process:
// the platform's pattern engine over a table of pages, then a stand-in engine registered for this
// process only (under the engine's own class) that fails at one member each time: the replacement
// must raise, never answer an empty or half-replaced page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "regex/basRegExp.h"
#include "support/dispatch_client.h"
#include "word/clsOfficeWord.h"

namespace {

using quorallion::clsOfficeWord;
using quorallion::RegExpError;
using quorallion::com::ComPtr;
using namespace quorallion::testing;
namespace fake = quorallion::testing::fake;

class EquationPlaceholders : public ::testing::Test {
    ComApartment apartment_;
};

const std::vector<std::wstring> kOmath = {L"QuorallionWordEQ;omath;AAA", L"QuorallionWordEQ;omath;BBB"};
const std::vector<std::wstring> kFields = {L"QuorallionWordEQ;formula;FFF"};

TEST_F(EquationPlaceholders, AltValuesGetTheStoredCodes) {
    struct Case {
        const char* name;
        std::wstring html;
        std::wstring expected;
    } cases[] = {
        {"both lists, text between kept",
         L"<p>a<img width=3 alt=\"QuorallionWordEQ:OMath:2\" src=\"x.png\">b<img alt=\"QuorallionWordEQ:EQ:1\">c</p>",
         L"<p>a<img width=3 alt=\"QuorallionWordEQ;omath;BBB\" src=\"x.png\">b"
         L"<img alt=\"QuorallionWordEQ;formula;FFF\">c</p>"},
        {"type in any case", L"<IMG ALT = \"QuorallionWordEQ:omath:1\"><img alt=\"QuorallionWordEQ:eq:1\">",
         L"<IMG ALT = \"QuorallionWordEQ;omath;AAA\"><img alt=\"QuorallionWordEQ;formula;FFF\">"},
        {"what the alt held before the placeholder is dropped",
         L"<img alt=\"Equation 3 QuorallionWordEQ:OMath:1\" id=e>", L"<img alt=\"QuorallionWordEQ;omath;AAA\" id=e>"},
        {"number past the list", L"<img alt=\"QuorallionWordEQ:OMath:3\">", L"<img alt=\"\">"},
        {"number zero", L"<img alt=\"QuorallionWordEQ:EQ:0\">", L"<img alt=\"\">"},
        {"number of twenty digits", L"<img alt=\"QuorallionWordEQ:EQ:18446744073709551617\">", L"<img alt=\"\">"},
        {"unknown type", L"<img alt=\"QuorallionWordEQ:Chart:1\">", L"<img alt=\"\">"},
        {"placeholder outside an img", L"<p title=\"x\">QuorallionWordEQ:OMath:1\"></p>",
         L"<p title=\"x\">QuorallionWordEQ:OMath:1\"></p>"},
        {"img without a placeholder", L"<img alt=\"picture\"><imgx alt=\"QuorallionWordEQ:OMath:1\">",
         L"<img alt=\"picture\"><imgx alt=\"QuorallionWordEQ:OMath:1\">"},
        {"empty page", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(clsOfficeWord::ReplaceEquationPlaceholders(c.html, kOmath, kFields), c.expected);
    }
}

// The worker's next step then gives equation attributes only to pictures that got a code.
TEST_F(EquationPlaceholders, APlaceholderPastTheListGetsNoEquationAttributes) {
    const std::wstring html = clsOfficeWord::EquationAttributes(clsOfficeWord::ReplaceEquationPlaceholders(
        L"<img src=a alt=\"QuorallionWordEQ:OMath:1\"><img src=b alt=\"QuorallionWordEQ:OMath:9\">", kOmath, {}));
    EXPECT_EQ(html, L"<img src=a  _tag=\"wordeq\" _eqtype=\"omath\" _eqcode=\"AAA\"><img src=b alt=\"\">");
}

// --- a pattern engine that fails -----------------------------------------------------------------

enum class Failing { kCreate, kPattern, kExecute, kCount, kItem, kSubMatches, kSubMatchItem, kPositions, kReplace };

// A stand-in for the engine: one match over the whole text, with the four groups of a placeholder,
// and the failure asked for.
ComPtr<IDispatch> StandInEngine(Failing failing) {
    auto fails = [failing](Failing at, auto then) {
        return [failing, at, then](fake::Call& call) -> HRESULT { return failing == at ? fake::Raise() : then(call); };
    };
    auto accept = [](fake::Call&) { return S_OK; };
    auto execute = [fails](fake::Call& call) -> HRESULT {
        const VARIANT& text = call.Original(0);
        const long length = text.vt == VT_BSTR ? static_cast<long>(::SysStringLen(text.bstrVal)) : 0;
        ComPtr<IDispatch> groups = fake::Object::Make({
            {L"Count", [](fake::Call& c) { return c.Return(4L); }},
            {L"Item", fails(Failing::kSubMatchItem, [](fake::Call& c) {
                 static const wchar_t* parts[] = {L"<img alt=\"", L"OMath", L"1", L"\">"};
                 return c.Return(std::wstring(parts[c.Long(0) & 3]));
             })},
        });
        ComPtr<IDispatch> match = fake::Object::Make({
            {L"FirstIndex", fails(Failing::kPositions, [](fake::Call& c) { return c.Return(0L); })},
            {L"Length", [length](fake::Call& c) { return c.Return(length); }},
            {L"Value", [](fake::Call& c) { return c.Return(std::wstring()); }},
            {L"SubMatches", fails(Failing::kSubMatches, [groups](fake::Call& c) { return c.Return(groups); })},
        });
        return call.Return(fake::Object::Make({
            {L"Count", fails(Failing::kCount, [](fake::Call& c) { return c.Return(1L); })},
            {L"Item", fails(Failing::kItem, [match](fake::Call& c) { return c.Return(match); })},
        }));
    };
    return fake::Object::Make({
        {L"Pattern", fails(Failing::kPattern, accept)},
        {L"IgnoreCase", accept},
        {L"Global", accept},
        {L"Execute", fails(Failing::kExecute, execute)},
        {L"Replace", fails(Failing::kReplace, [](fake::Call& c) { return c.Return(std::wstring(L"replaced")); })},
        {L"Test", [](fake::Call& c) { return c.Return(0L); }},
    });
}

// The stand-in's class factory, registered for this process under the engine's class: creation
// within the process reaches it first; the rest of the prefix keeps the platform's engine.
class StandInFactory final : public IClassFactory {
public:
    explicit StandInFactory(Failing failing) : failing_(failing) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (failing_ == Failing::kCreate) return E_OUTOFMEMORY;
        ++created;
        return StandInEngine(failing_)->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    int created = 0;

private:
    Failing failing_;
};

class RegisteredStandIn {
public:
    explicit RegisteredStandIn(StandInFactory& factory) {
        CLSID clsid;
        hr_ = ::CLSIDFromProgID(L"VBScript.RegExp", &clsid);
        if (SUCCEEDED(hr_))
            hr_ = ::CoRegisterClassObject(clsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    RegisteredStandIn(const RegisteredStandIn&) = delete;
    RegisteredStandIn& operator=(const RegisteredStandIn&) = delete;
    ~RegisteredStandIn() {
        if (SUCCEEDED(hr_)) ::CoRevokeClassObject(cookie_);
    }
    HRESULT hr() const { return hr_; }

private:
    HRESULT hr_;
    DWORD cookie_ = 0;
};

TEST_F(EquationPlaceholders, AFailingEngineRaisesInsteadOfAnsweringEmpty) {
    const std::wstring html = L"<p>text</p><img alt=\"QuorallionWordEQ:OMath:1\">";
    struct Case {
        const char* name;
        Failing failing;
    } cases[] = {
        {"cannot be created", Failing::kCreate},
        {"refuses the pattern", Failing::kPattern},
        {"Execute raises", Failing::kExecute},
        {"the matches cannot be counted", Failing::kCount},
        {"a match cannot be read", Failing::kItem},
        {"SubMatches raises", Failing::kSubMatches},
        {"a group cannot be read", Failing::kSubMatchItem},
        {"positions that cannot be read", Failing::kPositions},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandInFactory factory(c.failing);
        RegisteredStandIn registered(factory);
        ASSERT_TRUE(SUCCEEDED(registered.hr())) << std::hex << registered.hr();
        bool raised = false;
        std::wstring out = L"<not set>";
        try {
            out = clsOfficeWord::ReplaceEquationPlaceholders(html, kOmath, kFields);
        } catch (const RegExpError&) {
            raised = true;
        }
        EXPECT_TRUE(raised) << "answered " << ::testing::PrintToString(out);
        if (c.failing != Failing::kCreate) {
            EXPECT_EQ(factory.created, 1) << "the stand-in was not the engine used";
        }
    }

    // The same stand-in, failing nowhere, gives the one replacement: the cases above failed where
    // they were meant to.
    StandInFactory working(Failing::kReplace);
    RegisteredStandIn registered(working);
    EXPECT_EQ(clsOfficeWord::ReplaceEquationPlaceholders(html, kOmath, kFields),
              L"<img alt=\"QuorallionWordEQ;omath;AAA\">");
}

// The worker's other replacements on the saved page raise the same way.
TEST_F(EquationPlaceholders, TheWorkersOtherReplacementsRaiseToo) {
    const std::wstring html = L"<img src=\"Quorallion_Temp_Doc_files/image001.png\" alt=\"QuorallionWordEQ;omath;A\">";
    for (Failing failing : {Failing::kCreate, Failing::kPattern, Failing::kReplace}) {
        SCOPED_TRACE(static_cast<int>(failing));
        StandInFactory factory(failing);
        RegisteredStandIn registered(factory);
        EXPECT_THROW(clsOfficeWord::EquationAttributes(html), RegExpError);
        EXPECT_THROW(clsOfficeWord::PictureAddresses(html, L"12345678901234567890"), RegExpError);
        EXPECT_THROW(clsOfficeWord::UnwrapSingleBodyElement(L"<body><div>x</div></body>"), RegExpError);
    }
}

}  // namespace
