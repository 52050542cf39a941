// An equation or embedded object as Word puts it into "HTML Format", read back by mode: the
// Office Math markup with its picture, the cleaned fragment, the object's HTML with its files.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "clipboard/basClipBoard_office.h"
#include "support/dispatch_client.h"
#include "support/imagemagick.h"

namespace {

using quorallion::basClipBoard::OfficeObjectFromHtml;
using namespace quorallion::testing;

// Base64 (lines ended by CR LF) back to the ANSI bytes' text.
std::string Decode(const std::wstring& base64) {
    DWORD size = 0;
    if (base64.empty() || !::CryptStringToBinaryW(base64.c_str(), 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return "";
    std::string out(size, '\0');
    ::CryptStringToBinaryW(base64.c_str(), 0, CRYPT_STRING_BASE64, reinterpret_cast<BYTE*>(out.data()), &size, nullptr,
                           nullptr);
    out.resize(size);
    return out;
}

std::vector<std::string> Fields(const std::wstring& result) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t bar = result.find(L'|', start);
        out.push_back(Decode(result.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start)));
        if (bar == std::wstring::npos) return out;
        start = bar + 1;
    }
}

std::wstring Document(const std::wstring& head, const std::wstring& fragment) {
    return L"Version:0.9\r\n<html><head>" + head + L"</head><body lang=EN-US>\r\n<!--StartFragment-->" + fragment +
           L"<!--EndFragment-->\r\n</body></html>";
}

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    return temp;
}

// The pattern engine is a COM object of this thread.
class OfficeObject : public ::testing::Test {
    ComApartment apartment_;
};

TEST_F(OfficeObject, OmathByTable) {
    const std::wstring para = L"<m:oMathPara><m:oMath><m:r><m:t>\u2211x</m:t></m:r></m:oMath></m:oMathPara>";
    const struct {
        std::wstring fragment;
        std::string expected;
    } cases[] = {
        // Both kinds: the m:oMathPara with everything inside; the sum sign kept as a reference.
        {L"<p>a</p>" + para + L"<p><m:oMath><m:r><m:t>y</m:t></m:r></m:oMath></p>",
         "<m:oMathPara><m:oMath><m:r><m:t>&#8721;x</m:t></m:r></m:oMath></m:oMathPara>"},
        {L"<p><m:oMath><m:r><m:t>y</m:t></m:r></m:oMath></p>", "<m:oMath><m:r><m:t>y</m:t></m:r></m:oMath>"},
        {L"<p>plain text</p>", "<p>plain text</p>"},  // no math: the whole fragment
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(OfficeObjectFromHtml(Document(L"", c.fragment), L"omath", L"")), c.expected);
    EXPECT_EQ(OfficeObjectFromHtml(Document(L"", para), L"OMath", L""), L"");  // mode in another case
    EXPECT_EQ(OfficeObjectFromHtml(L"", L"omath", L""), L"");                // no HTML
}

TEST_F(OfficeObject, OmathPictureFromAPercentEncodedName) {
    if (!UnixProgramsAvailable()) GTEST_SKIP() << "ImageMagick is not reachable from here";
    const std::wstring folder = TempFolder() + L"office object\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring picture = folder + L"eq 1.gif", png = folder + L"out.png";
    ::DeleteFileW(png.c_str());
    // A picture with transparent rows above and below: trimmed at the top and the bottom only.
    ASSERT_TRUE(MakeWithImageMagick({"-size", "20x30", "xc:none", "-fill", "blue", "-draw", "rectangle 0,10 19,19"},
                                    picture, "gif:"));
    std::wstring address = L"file:///" + folder;
    for (wchar_t& c : address)
        if (c == L'\\') c = L'/';
    const std::wstring fragment = L"<p><img width=20 height=30 src=\"" + address + L"eq%201.gif\"><m:oMath>z</m:oMath></p>";
    OfficeObjectFromHtml(Document(L"", fragment), L"omath", png);
    std::optional<RgbaImage> out = DecodeWithImageMagick(png);
    ASSERT_TRUE(out) << "no PNG written";
    EXPECT_EQ(out->width, 20);
    EXPECT_EQ(out->height, 10);
}

TEST_F(OfficeObject, FormulaDropsCommentMarkersAndSpacers) {
    const std::wstring fragment =
        L"<p><!--[if gte msEquation 12]><i>x</i><![endif]--><![if !msEquation]><b>y</b><![endif]>"
        L"<span style='mso-spacerun:yes'>  </span>z</p>";
    EXPECT_EQ(Decode(OfficeObjectFromHtml(Document(L"", fragment), L"formula", L"")),
              "<p><i>x</i><![if !msEquation]><b>y</b><![endif]>z</p>");
}

TEST_F(OfficeObject, EmbedReadsItsFilesOnlyFromTheTempFolder) {
    const std::wstring folder = TempFolder() + L"office embed\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + L"oledata.mso", {'O', 'L', 'E'}));
    ASSERT_TRUE(WriteFileBytes(folder + L"image001.png", {'P', 'N', 'G'}));
    std::wstring address = L"file:///" + folder;
    for (wchar_t& c : address)
        if (c == L'\\') c = L'/';
    const std::wstring fragment = L"<p><![if !vml]><img src=\"x.png\"><![endif]><v:shape><v:imagedata src=\"" + address +
                                  L"image001.png\" o:title=\"\"/></v:shape></p>";
    const std::wstring inside = L"<link rel=OLE-Object-Data href=\"" + address + L"oledata.mso\">";
    std::vector<std::string> fields = Fields(OfficeObjectFromHtml(Document(inside, fragment), L"embed", L""));
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0], "<p><v:shape><v:imagedata src=\"[imagedata]\" o:title=\"\"/></v:shape></p>");
    EXPECT_EQ(fields[1], "OLE");
    EXPECT_EQ(fields[2], "PNG");

    // An OLE link outside the temp folder: that file is not read.
    const std::wstring outside = L"<link rel=OLE-Object-Data href=\"file:///C:/windows/win.ini\">";
    fields = Fields(OfficeObjectFromHtml(Document(outside, fragment), L"embed", L""));
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1], "");
    EXPECT_EQ(fields[2], "PNG");

    // No v:imagedata: nothing.
    EXPECT_EQ(OfficeObjectFromHtml(Document(inside, L"<p>no picture</p>"), L"embed", L""), L"");
    EXPECT_EQ(OfficeObjectFromHtml(Document(L"", fragment), L"embed", L""), L"");  // no OLE link
}

}  // namespace
