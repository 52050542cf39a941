// Pictures, shapes and embedded objects of a Word document through "word2html", from the page's
// side: a client calls QuorallionCore2 over COM and polls "asyncresult" while the Word stand-in
// plays Word. The document (pictures.docx, made at set-up) holds an inline picture at 200 %, two
// floating pictures one after the other at 50 % and 200 %, an inline picture stretched to 200 % by
// 100 % with its aspect ratio locked, a floating rectangle and an embedded Equation.3 object.
#include <windows.h>

#include "word_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::word;

namespace {

// The img tags of the page, each as its text up to ">".
std::vector<std::wstring> ImageTags(const std::wstring& html) {
    std::vector<std::wstring> tags;
    for (size_t at = html.find(L"<img"); at != std::wstring::npos; at = html.find(L"<img", at + 1))
        tags.push_back(html.substr(at, html.find(L'>', at) - at));
    return tags;
}

// An attribute's value in a tag, quoted or not; nothing when the tag has none.
std::optional<std::wstring> Attribute(const std::wstring& tag, const std::wstring& name) {
    const size_t at = tag.find(L" " + name + L"=");
    if (at == std::wstring::npos) return std::nullopt;
    size_t start = at + name.size() + 2;
    if (start < tag.size() && (tag[start] == L'"' || tag[start] == L'\'')) {
        const wchar_t quote = tag[start++];
        return tag.substr(start, tag.find(quote, start) - start);
    }
    return tag.substr(start, tag.find_first_of(L" >", start) - start);
}

// The file of the job folder that an img's address names.
std::wstring PictureFile(const std::wstring& key, const std::wstring& tag) {
    const std::wstring source = Attribute(tag, L"src").value_or(L"");
    const std::wstring prefix = L"file:///" + key + L"/";
    if (source.rfind(prefix, 0) != 0) return L"";
    std::wstring file = ClientTempRoot() + key + L"\\" + source.substr(prefix.size());
    for (wchar_t& c : file)
        if (c == L'/') c = L'\\';
    return file;
}

// "originalimage" off leaves every picture at its shown size; on, floating pictures become
// inline (both: the collection of floating shapes shrinks as they go) and every picture goes back
// to its own size (in pixels: 48x24, 96x48, 24x24, 48x48). The
// rectangle is no picture and stays floating; the embedded object is no picture and keeps its
// size.
TEST_F(WordActions, OriginalImageResetsPicturesToTheirOwnSize) {
    struct Picture {
        const wchar_t* alt;
        const wchar_t* width;
        const wchar_t* height;
        bool floating;
    };
    const struct Case {
        const wchar_t* options;
        std::vector<Picture> pictures;
        size_t converted;  // ConvertToInlineShape calls
        size_t scaled;     // pictures given both scales
    } cases[] = {
        {L"",
         {{L"Blue bar", L"96", L"48", false},
          {L"Green bar", L"48", L"24", true},
          {L"Yellow square", L"48", L"48", true},
          {L"Orange square", L"96", L"48", false}},
         0,
         0},
        {L"originalimage:1",
         {{L"Blue bar", L"48", L"24", false},
          {L"Green bar", L"96", L"48", false},
          {L"Yellow square", L"24", L"24", false},
          {L"Orange square", L"48", L"48", false}},
         2,
         4},
    };
    const std::string objectPicture = ReadBytes(Fixture(L"equation-object.png")).value_or("");
    ASSERT_FALSE(objectPicture.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.options)));
        ::DeleteFileW((ProgramFolder() + L"office\\Winword.journal").c_str());
        const Reply reply = Run(L"word2html", Fixture(L"pictures.docx"), c.options);
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        const std::wstring key = reply.Get(L"actkey");
        const std::vector<std::wstring> tags = ImageTags(reply.Get(L"html"));
        for (const Picture& picture : c.pictures) {
            const auto tag = std::find_if(tags.begin(), tags.end(), [&](const std::wstring& t) {
                return Attribute(t, L"alt") == std::wstring(picture.alt);
            });
            ASSERT_NE(tag, tags.end()) << ::testing::PrintToString(picture.alt) << " in " << ::testing::PrintToString(tags);
            EXPECT_EQ(Attribute(*tag, L"width"), std::wstring(picture.width)) << ::testing::PrintToString(*tag);
            EXPECT_EQ(Attribute(*tag, L"height"), std::wstring(picture.height)) << ::testing::PrintToString(*tag);
            EXPECT_EQ(Attribute(*tag, L"align").has_value(), picture.floating) << ::testing::PrintToString(*tag);
            EXPECT_TRUE(Exists(PictureFile(key, *tag))) << ::testing::PrintToString(*tag);
        }
        // The rectangle floats in both cases: one aligned tag without alternative text.
        EXPECT_EQ(std::count_if(tags.begin(), tags.end(),
                                [](const std::wstring& t) { return Attribute(t, L"align") && !Attribute(t, L"alt"); }),
                  1)
            << ::testing::PrintToString(tags);
        // The object shows its own picture at its own size.
        const auto object = std::find_if(tags.begin(), tags.end(), [&](const std::wstring& t) {
            return ReadBytes(PictureFile(key, t)) == objectPicture;
        });
        ASSERT_NE(object, tags.end()) << ::testing::PrintToString(tags);
        EXPECT_EQ(Attribute(*object, L"width"), std::wstring(L"48"));
        EXPECT_EQ(Attribute(*object, L"height"), std::wstring(L"24"));

        // What Word was asked: the floating picture made inline (never the rectangle); the aspect
        // ratio unlocked before each picture is scaled to 100 % both ways; the object untouched.
        const auto journal = Journal(L"Winword");
        EXPECT_EQ(Calls(journal, L"Shape", L"ConvertToInlineShape").size(), c.converted);
        const auto heights = Calls(journal, L"InlineShape", L"ScaleHeight");
        const auto widths = Calls(journal, L"InlineShape", L"ScaleWidth");
        const auto locks = Calls(journal, L"InlineShape", L"LockAspectRatio");
        EXPECT_EQ(heights.size(), c.scaled);
        EXPECT_EQ(widths.size(), c.scaled);
        EXPECT_EQ(locks.size(), c.scaled);
        for (const auto& call : heights) EXPECT_EQ(call.back(), L"I4:100");
        for (const auto& call : widths) EXPECT_EQ(call.back(), L"I4:100");
        for (const auto& call : locks) EXPECT_EQ(call.back(), L"I4:0");
    }
}

// With "wordeq" on, the Equation.3 object becomes a picture whose code carries, Base64-encoded
// and joined by "|", the object's copied HTML (its picture address replaced by "[imagedata]"),
// its OLE data and its picture, read from the files Word's copy leaves in the temp folder.
TEST_F(WordActions, EmbeddedEquationObjectCarriesItsDataAndPicture) {
    const Reply reply = Run(L"word2html", Fixture(L"pictures.docx"), L"wordeq:1");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring key = reply.Get(L"actkey");
    const std::vector<std::wstring> tags = ImageTags(reply.Get(L"html"));
    std::vector<std::wstring> equations;
    for (const std::wstring& tag : tags)
        if (Attribute(tag, L"_tag") == std::wstring(L"wordeq")) equations.push_back(tag);
    ASSERT_EQ(equations.size(), 1u) << ::testing::PrintToString(tags);
    const std::wstring& tag = equations[0];
    EXPECT_EQ(Attribute(tag, L"_eqtype"), std::wstring(L"Equation.3"));
    EXPECT_TRUE(Exists(PictureFile(key, tag))) << "the picture made from the object's metafile";

    const std::wstring code = Attribute(tag, L"_eqcode").value_or(L"");
    const size_t first = code.find(L'|'), second = code.find(L'|', first + 1);
    ASSERT_NE(second, std::wstring::npos) << ::testing::PrintToString(code);
    const std::string fragment = FromBase64(code.substr(0, first));
    EXPECT_NE(fragment.find("<v:imagedata src=\"[imagedata]\""), std::string::npos) << fragment;
    EXPECT_NE(fragment.find("ProgID=\"Equation.3\""), std::string::npos) << fragment;
    EXPECT_EQ(fragment.find("!vml"), std::string::npos) << "the fallback for browsers without VML goes: " << fragment;
    EXPECT_EQ(FromBase64(code.substr(first + 1, second - first - 1)), ReadBytes(Fixture(L"equation-object.bin")).value_or("?"));
    EXPECT_EQ(FromBase64(code.substr(second + 1)), ReadBytes(Fixture(L"equation-object.png")).value_or("?"));

    // The object's field: its font reset before its metafile is taken, then copied once.
    const auto journal = Journal(L"Winword");
    EXPECT_EQ(Calls(journal, L"Field", L"Copy").size(), 1u);
    EXPECT_EQ(Calls(journal, L"Selection", L"EnhMetaFileBits").size(), 1u);
    EXPECT_FALSE(Calls(journal, L"Font", L"Reset").empty());
    // The drawings keep their shown sizes ("originalimage" off).
    EXPECT_TRUE(Calls(journal, L"InlineShape", L"ScaleHeight").empty());
}

}  // namespace
