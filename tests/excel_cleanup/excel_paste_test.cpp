// "excelpaste2html" from the page's side: this process puts on the clipboard the "HTML Format"
// that copying cells leaves there, then calls QuorallionCore2's GetInfo over COM and reads the
// cleaned sheet fragment from "asyncresult".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "clipboard/clipboard_fill.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/utf8.h"
#include "tests/excel_like_html.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
const UINT kHtmlFormat = RegisteredFormat(L"HTML Format");

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

class ExcelPaste : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        ASSERT_TRUE(EmptyTheClipboard());
    }
    void TearDown() override { EmptyTheClipboard(); }

    // The job's reply, after checking that it is strict JSON with exactly the keys of success.
    std::wstring Paste() {
        EXPECT_EQ(core_.Core(L"excelpaste2html"), L"{\"state\":\"wait\"}");
        std::wstring reply;
        for (int i = 0; i < 6000; ++i) {
            reply = core_.Core(L"asyncresult");
            if (reply != L"{\"state\":\"wait\"}") break;
            ::Sleep(10);
        }
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members) << ::testing::PrintToString(reply.substr(0, 300));
        if (!members) return L"";
        EXPECT_EQ(Member(*members, L"state"), L"ok");
        EXPECT_EQ(Keys(*members), (std::vector<std::wstring>{L"state", L"html"})) << "no actkey";
        return Member(*members, L"html").value_or(L"");
    }

    ComApartment apartment_;
    DispatchClient core_;
};

// The fragment's id, checked to be "Quorallion_Sheet" and five digits in both places.
std::wstring RandomId(const std::wstring& fragment) {
    const std::wstring prefix = L"<style id=\"Quorallion_Sheet";
    if (fragment.rfind(prefix, 0) != 0 || fragment.size() < prefix.size() + 5) return L"<no id>";
    const std::wstring digits = fragment.substr(prefix.size(), 5);
    if (digits.find_first_not_of(L"0123456789") != std::wstring::npos || digits[0] == L'0') return L"<no digits>";
    const std::wstring id = L"Quorallion_Sheet" + digits;
    if (!Contains(fragment, L"</style><div id=\"" + id + L"\" align=\"center\">")) return L"<ids differ>";
    return id;
}

}  // namespace

TEST_F(ExcelPaste, CopiedCellsComeBackAsOneCleanedSheetFragment) {
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, CFHtml("1.0", "", Utf8(quorallion::excel::testing::ClipboardSheet(3)))},
                               {CF_UNICODETEXT, Utf16Block(L"1\t1.50\tItem 1\r\n")}}));
    const std::wstring html = Paste();
    const std::wstring id = RandomId(html);
    ASSERT_EQ(id.rfind(L"Quorallion_Sheet", 0), 0u) << id << " " << ::testing::PrintToString(html.substr(0, 200));
    const size_t divAt = html.find(L"</style><div");
    const std::wstring styles = html.substr(0, divAt), body = html.substr(divAt);
    struct Expect {
        const char* why;
        const std::wstring& part;
        std::wstring text;
        bool present;
    };
    const Expect expects[] = {
        {"cell colours", styles, L"\r\n.xl65 {color:red;}\r\n", true},
        {"cell backgrounds", styles, L".xl66 {background:#FFFF00;}", true},
        {"Office-only properties", styles, L"mso-", false},
        {"the page rule", styles, L"@page", false},
        {"the table", body, L"<table border=0 cellpadding=0 cellspacing=0 width=360", true},
        {"values", body, L"<td class=xl65 align=right>3.50</td>", true},
        {"Chinese with its colour", body, L"<td style='color:#0000FF'>\x4e2d\x6587 2</td>", true},
        {"number attributes", body, L"x:num", false},
        {"Office-only attribute properties", body, L"mso-", false},
        {"fragment comments", body, L"<!--", false},
        {"the hidden row", body, L"display:none", false},
    };
    for (const Expect& e : expects)
        EXPECT_EQ(Contains(e.part, e.text), e.present) << e.why << ": " << Utf8(e.text);
    const std::wstring end = L"</table>\r\n\r\n</div>";
    EXPECT_EQ(html.substr(html.size() - std::min(html.size(), end.size())), end);

    // Another paste makes another id.
    std::wstring second;
    for (int i = 0; i < 5 && (second.empty() || RandomId(second) == id); ++i) second = Paste();
    EXPECT_NE(RandomId(second), id);
}

TEST_F(ExcelPaste, ClipboardWithoutSheetHtmlStillGivesAFragment) {
    struct Case {
        const char* why;
        std::vector<ClipboardItem> items;
        std::wstring body;
    };
    // Without an html element the whole "HTML Format" text is what is cleaned, header and all.
    const std::string bare = CFHtml("0.9", "", "<table><tr><td x:num=\"2\" style='mso-x:y'>2</td></tr></table>");
    const Case cases[] = {
        {"an empty clipboard", {}, L""},
        {"text only", {{CF_UNICODETEXT, Utf16Block(L"1\t2")}}, L""},
        {"HTML without html, head or body", {{kHtmlFormat, bare}},
         Wide(bare.substr(0, bare.find("<table"))) + L"<table><tr><td >2</td></tr></table>"},
        {"HTML with a body and no head",
         {{kHtmlFormat, CFHtml("0.9", "", "<html><body>\r\n<!--StartFragment--><b>\xe4\xb8\xad</b><!--EndFragment-->\r\n</body></html>")}},
         L"\r\n<b>\x4e2d</b>\r\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard(c.items)) << c.why;
        const std::wstring html = Paste();
        const std::wstring id = RandomId(html);
        EXPECT_EQ(html, L"<style id=\"" + id + L"_Styles\">\r\n\r\n</style><div id=\"" + id +
                            L"\" align=\"center\">" + c.body + L"</div>")
            << c.why;
    }
}

TEST_F(ExcelPaste, TwentyThousandCopiedRows) {
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, CFHtml("1.0", "", Utf8(quorallion::excel::testing::ClipboardSheet(20000)))}}));
    const std::wstring html = Paste();
    EXPECT_NE(RandomId(html).rfind(L"Quorallion_Sheet", 0), std::wstring::npos);
    EXPECT_TRUE(Contains(html, L"<td class=xl67>Item 20000</td>"));
    EXPECT_FALSE(Contains(html, L"x:num"));
    EXPECT_FALSE(Contains(html, L"mso-"));
}
