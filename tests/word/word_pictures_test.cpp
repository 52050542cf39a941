// The Word worker's picture procedures, in-process: the "originalimage" reset against a fake
// document (floating pictures become inline, which takes them out of the floating list at once,
// as in Word), and equation pictures made from metafile bytes and trimmed by the equation's kind.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "office/late_binding_win.h"
#include "support/dispatch_client.h"
#include "support/unix_shell.h"
#include "word/clsOfficeWord.h"

namespace {

using quorallion::clsOfficeWord;
using quorallion::com::ComPtr;
using namespace quorallion::testing;
namespace fake = quorallion::testing::fake;

// --- picture reset --------------------------------------------------------------------------------

// Shape types: 13 picture, 17 text box, 1 auto shape. Inline shape types: 3 picture, 4 linked
// picture, 1 embedded object, 12 chart.
struct InlineShape {
    InlineShape(long t, bool l = true, double h = 50, double w = 40) : type(t), locked(l), height(h), width(w) {}
    long type;
    bool locked;
    double height, width;
};

struct FloatingShape {
    FloatingShape(long t, bool s = false) : type(t), stuck(s) {}
    long type;
    bool stuck;  // raises at ConvertToInlineShape
    bool operator==(const FloatingShape& o) const { return type == o.type && stuck == o.stuck; }
};

struct Pictures {
    std::vector<FloatingShape> floating;  // Shapes, in order
    std::vector<InlineShape> inlines;
};

ComPtr<IDispatch> PictureDocument(const std::shared_ptr<Pictures>& doc) {
    auto number = [](auto get, auto set) {
        return [get, set](fake::Call& call) -> HRESULT {
            if (!call.IsPut()) return call.Return(static_cast<double>(get()));
            set(call.Double(call.Count() - 1));
            return S_OK;
        };
    };
    ComPtr<IDispatch> shapes = fake::Object::Make({
        {L"Count", [doc](fake::Call& c) { return c.Return(static_cast<long>(doc->floating.size())); }},
        {L"Item",
         [doc](fake::Call& c) {
             const long n = c.Long(0);
             if (n < 1 || static_cast<size_t>(n) > doc->floating.size()) return fake::Raise();
             const size_t i = static_cast<size_t>(n - 1);
             const FloatingShape shape = doc->floating[i];
             return c.Return(fake::Object::Make({
                 {L"Type", [shape](fake::Call& t) { return t.Return(shape.type); }},
                 {L"ConvertToInlineShape",
                  [doc, i, shape](fake::Call&) {
                      if (shape.stuck || i >= doc->floating.size() || !(doc->floating[i] == shape))
                          return fake::Raise();
                      doc->floating.erase(doc->floating.begin() + static_cast<std::ptrdiff_t>(i));
                      doc->inlines.push_back({3, true, 25, 25});
                      return S_OK;
                  }},
             }));
         }},
    });
    ComPtr<IDispatch> inlines = fake::Object::Make({
        {L"Count", [doc](fake::Call& c) { return c.Return(static_cast<long>(doc->inlines.size())); }},
        {L"Item",
         [doc, number](fake::Call& c) {
             const long n = c.Long(0);
             if (n < 1 || static_cast<size_t>(n) > doc->inlines.size()) return fake::Raise();
             const size_t i = static_cast<size_t>(n - 1);
             return c.Return(fake::Object::Make({
                 {L"Type", [doc, i](fake::Call& t) { return t.Return(doc->inlines[i].type); }},
                 {L"LockAspectRatio", number([doc, i] { return doc->inlines[i].locked ? -1 : 0; },
                                             [doc, i](double v) { doc->inlines[i].locked = v != 0; })},
                 {L"ScaleHeight", number([doc, i] { return doc->inlines[i].height; },
                                         [doc, i](double v) { doc->inlines[i].height = v; })},
                 {L"ScaleWidth", number([doc, i] { return doc->inlines[i].width; },
                                        [doc, i](double v) { doc->inlines[i].width = v; })},
             }));
         }},
    });
    return fake::Object::Make({
        {L"Shapes", [shapes](fake::Call& c) { return c.Return(shapes); }},
        {L"InlineShapes", [inlines](fake::Call& c) { return c.Return(inlines); }},
    });
}

class WordPictures : public ::testing::Test {
    ComApartment apartment_;
};

TEST_F(WordPictures, FloatingPicturesBecomeInlineAndEveryPictureFullSize) {
    struct Case {
        const char* name;
        std::vector<FloatingShape> floating;
        std::vector<long> inlineTypes;
        std::vector<FloatingShape> floatingAfter;
        size_t inlineCountAfter;
    } cases[] = {
        {"nothing", {}, {}, {}, 0},
        // Each conversion takes the shape out of the floating list at once.
        {"pictures one after another", {{13}, {13}, {13}}, {}, {}, 3},
        {"text boxes and shapes stay floating", {{17}, {13}, {1}, {13}}, {3}, {{17}, {1}}, 3},
        {"inline objects and charts keep their size", {}, {1, 3, 12, 4}, {}, 4},
        {"a picture that cannot move stays, the others move", {{13}, {13, true}, {13}}, {3}, {{13, true}}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto doc = std::make_shared<Pictures>();
        doc->floating = c.floating;
        for (long type : c.inlineTypes) doc->inlines.push_back({type});

        ComPtr<IDispatch> dispatch = PictureDocument(doc);
        quorallion::office::ErrorState errors;
        clsOfficeWord().ResetPictureScale(quorallion::office::AutoObject(dispatch.get(), errors));

        EXPECT_TRUE(doc->floating == c.floatingAfter) << doc->floating.size() << " left floating";
        EXPECT_EQ(doc->inlines.size(), c.inlineCountAfter);
        for (size_t i = 0; i < doc->inlines.size(); ++i) {
            const InlineShape& shape = doc->inlines[i];
            const bool picture = shape.type == 3 || shape.type == 4;
            EXPECT_EQ(shape.locked, !picture) << "inline shape " << i + 1;
            EXPECT_EQ(shape.height, picture ? 100 : 50) << "inline shape " << i + 1;
            EXPECT_EQ(shape.width, picture ? 100 : 40) << "inline shape " << i + 1;
        }
    }
}

// --- equation pictures from metafile bytes ------------------------------------------------------

// A metafile of 200 x 100 screen pixels with a black block of 80 x 40 in its middle: the rest is
// the converter's background, which becomes transparent and is trimmed.
std::vector<uint8_t> BlockMetafile() {
    HDC screen = ::GetDC(nullptr);
    const int mmW = ::GetDeviceCaps(screen, HORZSIZE), mmH = ::GetDeviceCaps(screen, VERTSIZE);
    const int pxW = ::GetDeviceCaps(screen, HORZRES), pxH = ::GetDeviceCaps(screen, VERTRES);
    const RECT frame = {0, 0, MulDiv(200, mmW * 100, pxW), MulDiv(100, mmH * 100, pxH)};
    HDC recorder = ::CreateEnhMetaFileW(screen, nullptr, &frame, nullptr);
    ::ReleaseDC(nullptr, screen);
    if (!recorder) return {};
    const RECT block = {60, 30, 140, 70};
    ::FillRect(recorder, &block, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    HENHMETAFILE metafile = ::CloseEnhMetaFile(recorder);
    std::vector<uint8_t> bytes(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    ::DeleteEnhMetaFile(metafile);
    return bytes;
}

struct PngSize {
    long width = -1, height = -1;
};

PngSize ReadPngSize(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadBytes(path);
    PngSize size;
    if (!bytes || bytes->size() < 24 || bytes->compare(1, 3, "PNG") != 0) return size;
    auto big = [&](size_t at) {
        return static_cast<long>((static_cast<uint32_t>(static_cast<uint8_t>((*bytes)[at])) << 24) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>((*bytes)[at + 1])) << 16) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>((*bytes)[at + 2])) << 8) |
                                 static_cast<uint32_t>(static_cast<uint8_t>((*bytes)[at + 3])));
    };
    size.width = big(16);
    size.height = big(20);
    return size;
}

std::wstring FreshPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"quorallion-wordpictures-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" + name + L".png";
    ::DeleteFileW(path.c_str());
    return path;
}

// Every side is trimmed for OMath equations and "trimall"; field equations keep their line height
// (left and right only). Bytes that are no metafile leave no file.
TEST_F(WordPictures, EquationPicturesAreTrimmedByTheirKind) {
    const std::vector<uint8_t> metafile = BlockMetafile();
    ASSERT_FALSE(metafile.empty());
    struct Case {
        const wchar_t* kind;
        bool allSides;
    } cases[] = {{L"omath", true}, {L"trimall", true}, {L"formula", false}, {L"Equation.3", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.kind)));
        for (bool throughGdiPlus : {false, true}) {  // EmfBitsToPng, then EmfBytesToTrimmedPng
            SCOPED_TRACE(throughGdiPlus ? "EmfBytesToTrimmedPng" : "EmfBitsToPng");
            // EmfBytesToTrimmedPng knows only "trimall" and everything else.
            const bool allSides = throughGdiPlus ? std::wstring(c.kind) == L"trimall" : c.allSides;
            const std::wstring path = FreshPath(c.kind);
            if (throughGdiPlus)
                clsOfficeWord::EmfBytesToTrimmedPng(c.kind, metafile, path);
            else
                clsOfficeWord().EmfBitsToPng(c.kind, metafile, path);
            const PngSize size = ReadPngSize(path);
            EXPECT_NEAR(size.width, 80, 2);
            EXPECT_NEAR(size.height, allSides ? 40 : 100, 2);
            ::DeleteFileW(path.c_str());
        }
    }
    for (const std::vector<uint8_t>& bad :
         {std::vector<uint8_t>{}, std::vector<uint8_t>(100, 0x41), std::vector<uint8_t>(metafile.begin(), metafile.begin() + 60)}) {
        SCOPED_TRACE(bad.size());
        const std::wstring path = FreshPath(L"bad");
        clsOfficeWord().EmfBitsToPng(L"formula", bad, path);
        EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
        clsOfficeWord::EmfBytesToTrimmedPng(L"trimall", bad, path);
        EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

}  // namespace
