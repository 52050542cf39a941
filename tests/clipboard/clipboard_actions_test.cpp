// The clipboard actions from the page's side: this process puts on the clipboard what browsers,
// Word, WPS and file managers put there, then calls QuorallionCore2's GetInfo over COM.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "clipboard_fill.h"
#include "shared_fixtures.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
const UINT kHtmlFormat = RegisteredFormat(L"HTML Format");

// Chinese text as the pages carry it: "中文段落" in UTF-8 and as UTF-16.
const std::string kChineseUtf8 = "\xe4\xb8\xad\xe6\x96\x87\xe6\xae\xb5\xe8\x90\xbd";
const std::wstring kChinese = L"\x4e2d\x6587\x6bb5\x843d";

class ClipboardActions : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        ASSERT_TRUE(EmptyTheClipboard());
    }
    void TearDown() override { EmptyTheClipboard(); }

    // The reply's members, after checking that it is strict JSON.
    Members Call(const std::wstring& action, const std::wstring& p1 = L"",
                 const std::wstring& p2 = L"", const std::wstring& config = L"{}") {
        std::wstring reply = core_.Core(action, p1, p2, config);
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members.has_value()) << action << " gave no strict JSON: "
                                         << ::testing::PrintToString(reply.substr(0, 300));
        return members.value_or(Members{});
    }
    std::wstring Value(const std::wstring& action, const std::wstring& key) {
        Members members = Call(action);
        EXPECT_EQ(Member(members, L"state").value_or(L"<none>"), L"ok") << action;
        return Member(members, key).value_or(L"<missing>");
    }

    ComApartment apartment_;
    DispatchClient core_;
};

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

std::wstring Widen(const std::string& utf8) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// What a Chromium-based browser writes for a selection of a page with a script, relative links
// and images, and Chinese text.
std::string ChromiumPayload() {
    return CFHtml("0.9", "SourceURL:https://news.example.cn:8443/world/asia/story.html?id=7\r\n",
                  "<html>\r\n<body>\r\n<!--StartFragment--><p>" + kChineseUtf8 +
                      "</p><script type=\"text/javascript\">alert('x')</script>"
                      "<a href=\"../index.html\">home</a> <a href=\"mailto:desk@example.cn\">mail</a>"
                      "<img src=\"img/photo.jpg\" alt=\"p\"><a href=\"//cdn.example.cn/v.mp4\">v</a>"
                      "<!--EndFragment-->\r\n</body>\r\n</html>");
}

// Firefox: its own header layout, the html and body tags on one line, a <meta> charset.
std::string FirefoxPayload() {
    return CFHtml("0.9", "SourceURL:http://docs.example.org/guide/intro.html\r\n",
                  "<html><body>\r\n<!--StartFragment--><meta charset=\"utf-8\"><h2>Intro</h2>"
                  "<SCRIPT>var a = '<b>';</SCRIPT><IMG SRC=\"/static/logo.png\">"
                  "<a href=\"#top\">top</a><a href='single.html'>s</a>"
                  "<!--EndFragment-->\r\n</body>\r\n</html>");
}

std::optional<std::string> ReadFixture(const std::string& name) {
    std::ifstream in(quorallion::testing::SharedFixturePath("word-clipboard", name),
                     std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

TEST_F(ClipboardActions, BrowserHtmlComesBackWithoutScriptsAndWithAbsoluteAddresses) {
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, ChromiumPayload()},
                               {CF_UNICODETEXT, Utf16Block(kChinese + L" home mail")}}));
    std::wstring html = Value(L"gcbhtml", L"html");
    EXPECT_EQ(html.rfind(L"<html>", 0), 0u) << "starts at the html element";
    EXPECT_EQ(html.substr(html.size() - 7), L"</html>");
    EXPECT_FALSE(Contains(html, L"<script")) << ::testing::PrintToString(html);
    EXPECT_TRUE(Contains(html, L"<p>" + kChinese + L"</p>"));
    EXPECT_TRUE(Contains(html, L"href=\"https://news.example.cn:8443/world/index.html\""));
    EXPECT_TRUE(Contains(html, L"src=\"https://news.example.cn:8443/world/asia/img/photo.jpg\""));
    EXPECT_TRUE(Contains(html, L"href=\"mailto:desk@example.cn\""));
    EXPECT_TRUE(Contains(html, L"href=\"https://cdn.example.cn/v.mp4\""));

    Members formats = Call(L"gcbformat");
    EXPECT_EQ(Keys(formats), (std::vector<std::wstring>{L"text", L"html", L"source", L"state"}));
    EXPECT_EQ(Member(formats, L"source"), L"");
    EXPECT_EQ(Value(L"gcbsource", L"source"), L"");

    ASSERT_TRUE(FillClipboard({{kHtmlFormat, FirefoxPayload()}}));
    html = Value(L"gcbhtml", L"html");
    EXPECT_FALSE(Contains(html, L"SCRIPT")) << ::testing::PrintToString(html);
    EXPECT_TRUE(Contains(html, L"<IMG SRC=\"http://docs.example.org/static/logo.png\">"));
    EXPECT_TRUE(Contains(html, L"href=\"http://docs.example.org/guide/#top\""));
    EXPECT_TRUE(Contains(html, L"href='single.html'"));
    EXPECT_EQ(Keys(Call(L"gcbformat")), (std::vector<std::wstring>{L"html", L"source", L"state"}));
}

TEST_F(ClipboardActions, WordHtmlIsReadAndCleanedThroughThePasteJob) {
    std::optional<std::string> document = ReadFixture("list-simple.html");
    if (!document) GTEST_SKIP() << "Word fixtures are not on this machine";
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, CFHtml("1.0", "", *document)},
                               {CF_UNICODETEXT, Utf16Block(L"list")}}));
    std::wstring html = Value(L"gcbhtml", L"html");
    EXPECT_EQ(html.rfind(L"<html", 0), 0u);
    EXPECT_TRUE(Contains(html, L"mso-")) << "the paste shape keeps Word's styles";

    EXPECT_EQ(core_.Core(L"wordpaste2html", L"cmode:1"), L"{\"state\":\"wait\"}");
    std::wstring reply;
    for (int i = 0; i < 3000; ++i) {
        reply = core_.Core(L"asyncresult");
        if (reply != L"{\"state\":\"wait\"}") break;
        ::Sleep(10);
    }
    std::optional<Members> members = StrictJson::ParseFlatObject(reply);
    ASSERT_TRUE(members) << ::testing::PrintToString(reply.substr(0, 300));
    EXPECT_EQ(Member(*members, L"state"), L"ok");
    std::wstring cleaned = Member(*members, L"html").value_or(L"");
    EXPECT_EQ(cleaned.rfind(L"<style>\r\n", 0), 0u) << ::testing::PrintToString(cleaned.substr(0, 200));
    const size_t bodyAt = cleaned.find(L"</style><body>");
    ASSERT_NE(bodyAt, std::wstring::npos);
    EXPECT_FALSE(Contains(cleaned.substr(0, bodyAt), L"mso-")) << "style rules without mso-";
    EXPECT_FALSE(Contains(cleaned, L"<!--[if"));
    EXPECT_TRUE(Contains(cleaned, L"Item1"));
}

namespace {

// 5 MB that a web page can put on the clipboard to make a backtracking engine go quadratic:
// unclosed script elements, named anchors, "<span" runs, comments and conditional comments,
// smart tags, and style text of unclosed rules with Office properties.
std::string CraftedPaste() {
    const char* const body[] = {"<script>", "<a name=x>", "<span", "<span x>", "<!--", "<!--[if",
                                "<!--[if gte vml 1]>", "<![if !vml]>", "<st1:a>", "<o:p>", "<b ",
                                "<a href=#x>", "<!--[if mso x>", "<![if supportMisalignedColumns]>"};
    const char* const style[] = {"{", "mso-a:b", "{mso-x:\"", "<!--", "/*a", "@list ", "p.x {"};
    std::string css, content;
    for (size_t i = 0; css.size() < 1024 * 1024; ++i) css += style[i % 7];
    for (size_t i = 0; content.size() < 4 * 1024 * 1024; ++i) content += body[i % 14];
    return "<html><head><style>" + css + "</style></head><body>" + content + "</body></html>";
}

}  // namespace

TEST_F(ClipboardActions, CraftedFiveMegabytePasteIsAnsweredPromptly) {
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, CFHtml("1.0", "", CraftedPaste())}}));
    // Generous bounds: a slow machine passes, a server stuck in backtracking (minutes) does not.
    auto start = std::chrono::steady_clock::now();
    const std::wstring html = Value(L"gcbhtml", L"html");
    const double pasteSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(pasteSeconds, 60.0);
    EXPECT_EQ(html.rfind(L"<html><head><style>{", 0), 0u);
    EXPECT_GT(html.size(), 5000000u) << "unclosed scripts remove nothing";

    start = std::chrono::steady_clock::now();
    EXPECT_EQ(core_.Core(L"wordpaste2html", L"cmode:1"), L"{\"state\":\"wait\"}");
    std::wstring reply;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(240)) {
        reply = core_.Core(L"asyncresult");
        if (reply != L"{\"state\":\"wait\"}") break;
        ::Sleep(50);
    }
    const double cleanSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(cleanSeconds, 120.0);
    std::optional<Members> members = StrictJson::ParseFlatObject(reply);
    ASSERT_TRUE(members) << ::testing::PrintToString(reply.substr(0, 300));
    EXPECT_EQ(Member(*members, L"state"), L"ok");
    const std::wstring cleaned = Member(*members, L"html").value_or(L"");
    EXPECT_EQ(cleaned.rfind(L"<style>\r\n", 0), 0u);
    // Nothing is closed, and the body links inside itself: the content stays as it was.
    EXPECT_TRUE(Contains(cleaned, L"</style><body><script><a name=x><span<span x><!--<!--[if"));
}

TEST_F(ClipboardActions, MalformedHtmlFormatHeadersGiveTheTextThatIsThere) {
    const std::string document = "<html><body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>";
    struct Case {
        const char* why;
        std::string block;
        std::wstring html;
    };
    const Case cases[] = {
        {"offsets beyond the data",
         "Version:0.9\r\nStartHTML:99999999\r\nEndHTML:99999999\r\nStartFragment:99999990\r\n"
         "EndFragment:99999999\r\n" + document,
         Widen(document)},
        {"offsets missing", "Version:0.9\r\n" + document, Widen(document)},
        {"offsets not numeric",
         "Version:0.9\r\nStartHTML:abc\r\nEndHTML:-5\r\nStartFragment:\r\nEndFragment:x\r\n" + document,
         Widen(document)},
        {"no header at all, no html element", "<b>bare</b>", L"<b>bare</b>"},
        {"header only", "Version:0.9\r\nStartHTML:00000010\r\n",
         L"Version:0.9\r\nStartHTML:00000010\r\n"},
        {"no terminating zero, nothing after the last tag", document, Widen(document)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard({{kHtmlFormat, c.block}})) << c.why;
        EXPECT_EQ(Value(L"gcbhtml", L"html"), c.html) << c.why;
    }
}

TEST_F(ClipboardActions, UnicodeTextWithControlCharactersStaysValidJson) {
    const std::wstring text = L"a\x0b" L"b\x0c" L"c\x07" L"d\t\"q\"\\" + kChinese;
    ASSERT_TRUE(FillClipboard({{CF_UNICODETEXT, Utf16Block(text) + "junk after the NUL"}}));
    EXPECT_EQ(Value(L"gcbtext", L"text"), text);
    EXPECT_EQ(Keys(Call(L"gcbformat")), (std::vector<std::wstring>{L"text", L"state"}))
        << "Unicode text alone still reports text (the system provides format 1 from it)";

    // Text bytes alone are read through the Unicode text the system makes of them.
    ASSERT_TRUE(FillClipboard({{CF_TEXT, std::string("plain\0junk", 10)}}));
    EXPECT_EQ(Value(L"gcbtext", L"text"), L"plain");
}

TEST_F(ClipboardActions, FileListOfThreeFilesComesBackSorted) {
    std::wstring list;
    for (const wchar_t* name : {L"C:\\copied\\c.txt", L"C:\\copied\\A.txt", L"C:\\copied\\b.txt"})
        list += std::wstring(name) + L'\0';
    std::string block(20, '\0');
    block[0] = 20;
    block[16] = 1;
    block += Utf16Block(list);
    ASSERT_TRUE(FillClipboard({{CF_HDROP, block}}));
    EXPECT_EQ(Value(L"gcbfilelist", L"filelist"),
              L"C:\\copied\\A.txt|C:\\copied\\b.txt|C:\\copied\\c.txt");
    EXPECT_EQ(Keys(Call(L"gcbformat")), (std::vector<std::wstring>{L"filelist", L"state"}));

    // A list offset that points outside the block is no file list.
    std::string broken(20, '\0');
    broken[0] = static_cast<char>(0xF0);
    ASSERT_TRUE(FillClipboard({{CF_HDROP, broken}}));
    EXPECT_EQ(Value(L"gcbfilelist", L"filelist"), L"");
}

TEST_F(ClipboardActions, SourceApplicationFromFormatNamesAndObjectDescriptors) {
    struct Case {
        const char* why;
        std::vector<ClipboardItem> items;
        std::wstring source;
    };
    const std::string html = CFHtml("0.9", "", "<html><body>x</body></html>");
    const Case cases[] = {
        {"WPS writer", {{RegisteredFormat(L"Kingsoft WPS 9.0 Format"), "x"},
                        {RegisteredFormat(L"ObjectLink"), std::string("Word.Document.8\0a\0\0", 19)}},
         L"wps"},
        {"WPS writer, any case", {{RegisteredFormat(L"KINGSOFT wps Office doc"), "x"}}, L"wps"},
        {"WPS spreadsheet", {{RegisteredFormat(L"Kingsoft ET 2019"), "x"}}, L"et"},
        {"WPS Spreadsheets", {{RegisteredFormat(L"WPS Spreadsheets Table"), "x"}}, L"et"},
        {"Word ObjectLink",
         {{RegisteredFormat(L"ObjectLink"), std::string("Word.Document.12\0C:\\d.docx\0OLE_LINK1\0\0", 38)}},
         L"word"},
        {"Word OwnerLink", {{RegisteredFormat(L"OwnerLink"), std::string("Word.Document.8\0\0", 17)}}, L"word"},
        {"WPS document object", {{RegisteredFormat(L"OwnerLink"), std::string("WPS.Doc.6\0\0", 11)}}, L"word"},
        {"Excel Link", {{RegisteredFormat(L"Link"), std::string("Excel\0[Book1]Sheet1\0R1C1\0\0", 27)}}, L"excel"},
        {"Excel ObjectLink", {{RegisteredFormat(L"ObjectLink"), std::string("Excel.Sheet.12\0x\0\0", 18)}}, L"excel"},
        {"ET object", {{RegisteredFormat(L"OwnerLink"), std::string("ET.Xls.6\0\0", 10)}}, L"excel"},
        {"Link that is not Excel", {{RegisteredFormat(L"Link"), std::string("Excel2\0\0", 8)}}, L""},
        {"descriptor in lower case", {{RegisteredFormat(L"ObjectLink"), std::string("word.document.12\0\0", 18)}}, L""},
        {"browser", {{kHtmlFormat, html}}, L""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard(c.items)) << c.why;
        EXPECT_EQ(Value(L"gcbsource", L"source"), c.source) << c.why;
    }
    // The formats report carries the source beside html.
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, html}, {RegisteredFormat(L"Kingsoft ET 2019"), "x"}}));
    Members formats = Call(L"gcbformat");
    EXPECT_EQ(Keys(formats), (std::vector<std::wstring>{L"html", L"source", L"state"}));
    EXPECT_EQ(Member(formats, L"source"), L"et");
}

TEST_F(ClipboardActions, ImageFromTheRegisteredPngFormat) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    ASSERT_TRUE(FillClipboard({{RegisteredFormat(L"PNG"), png}}));
    std::wstring image = Value(L"gcbimage", L"image");
    std::wstring compact;
    for (wchar_t c : image)
        if (c != L'\r' && c != L'\n') compact += c;
    EXPECT_EQ(compact, L"iVBORw0KGgoAAAANSUhEUg==");
    EXPECT_EQ(Keys(Call(L"gcbformat")), (std::vector<std::wstring>{L"image", L"state"}));

}

TEST_F(ClipboardActions, EmptyClipboardAnswersEmptyValues) {
    for (const auto& [action, key] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"gcbhtml", L"html"}, {L"gcbtext", L"text"}, {L"gcbfilelist", L"filelist"},
             {L"gcbsource", L"source"}, {L"gcbimage", L"image"}})
        EXPECT_EQ(Value(action, key), L"") << action;
    EXPECT_EQ(core_.Core(L"gcbformat"), L"{\"state\":\"ok\"}");
}

TEST_F(ClipboardActions, SetHtmlPutsHtmlFormatUnicodeAndAnsiText) {
    const std::wstring html = L"<p>" + kChinese + L" &amp; <b>bold</b></p>";
    const std::wstring text = kChinese + L" & bold";
    EXPECT_EQ(core_.Core(L"scbhtml", html, text), L"{\"state\":\"ok\"}");

    std::optional<std::string> block = ReadClipboardBlock(kHtmlFormat);
    ASSERT_TRUE(block);
    const std::string body = Utf8(html);
    const std::string expected = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:" +
                                 std::string(8 - std::to_string(body.size() + 167).size(), '0') +
                                 std::to_string(body.size() + 167) + "\r\n";
    EXPECT_EQ(block->substr(0, expected.size()), expected);
    EXPECT_EQ(block->substr(131, body.size()), body) << "StartFragment points at the html";
    EXPECT_EQ(block->substr(body.size() + 167 - 7, 7), "</html>") << "EndHTML is the end";

    std::optional<std::string> unicode = ReadClipboardBlock(CF_UNICODETEXT);
    ASSERT_TRUE(unicode);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(unicode->data())), text);
    std::optional<std::string> ansi = ReadClipboardBlock(CF_TEXT);
    ASSERT_TRUE(ansi);
    EXPECT_NE(ansi->find(" & bold"), std::string::npos);

    // What was put is read back by the core as the page will ask for it.
    EXPECT_EQ(Value(L"gcbtext", L"text"), text);
    std::wstring pasted = Value(L"gcbhtml", L"html");
    EXPECT_TRUE(Contains(pasted, html)) << ::testing::PrintToString(pasted);
}
