// The grabber on real windows under the display: exact pixels, the asked size past a window's
// edge, pictures that own their bitmaps, and fitting a picture to a page.
#include <gtest/gtest.h>

#include <windows.h>
#include <olectl.h>

#include <vector>

#include "clsCapturePublic.h"
#include "support/screen_pattern.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

HBITMAP HandleOf(const clsCapturePublic::Picture& picture, HPALETTE* palette = nullptr) {
    com::ComPtr<IPicture> ole;
    if (!picture || FAILED(picture.query(ole))) return nullptr;
    OLE_HANDLE handle = 0;
    ole->get_Handle(&handle);
    if (palette) {
        OLE_HANDLE hpal = 0xdead;
        ole->get_hPal(&hpal);
        *palette = reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(hpal));
    }
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}

class Grabber : public ::testing::Test {
protected:
    void SetUp() override {
        if (!::GetDC(nullptr)) GTEST_SKIP() << "no display";
        ::OleInitialize(nullptr);
    }
    void TearDown() override { ::OleUninitialize(); }
};

}  // namespace

TEST_F(Grabber, ClientAndWholeWindowRectanglesGiveThePatternExactly) {
    // A window with a border, so the client area starts inside the outer corner.
    PatternWindow window(100, 120, 300, 200, WS_POPUP | WS_BORDER);
    POINT client{0, 0};
    ::ClientToScreen(window.get(), &client);
    RECT outer;
    ::GetWindowRect(window.get(), &outer);
    const int borderX = client.x - outer.left, borderY = client.y - outer.top;
    EXPECT_GT(borderX, 0);

    struct Case {
        bool client;
        int left, top, width, height;
        int patternX, patternY;  // where the picture's (0, 0) lies in the pattern
    };
    const Case cases[] = {
        {true, 0, 0, 50, 40, 0, 0},
        {true, 10, 20, 120, 80, 10, 20},
        {false, borderX + 3, borderY + 4, 60, 30, 3, 4},
    };
    clsCapturePublic grabber;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.client ? "client " : "window ") << c.left << "," << c.top);
        clsCapturePublic::Picture picture =
            grabber.CaptureWindow(window.get(), c.client, c.left, c.top, c.width, c.height);
        HPALETTE palette = reinterpret_cast<HPALETTE>(1);
        HBITMAP bitmap = HandleOf(picture, &palette);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(palette, nullptr) << "a true-colour screen makes no palette";
        int w = 0, h = 0;
        const std::vector<uint32_t> pixels = BitmapPixels(bitmap, w, h);
        ASSERT_EQ(w, c.width);
        ASSERT_EQ(h, c.height);
        int fx = -1, fy = -1;
        EXPECT_EQ(PatternMismatches(pixels, w, h, c.patternX, c.patternY, &fx, &fy), 0)
            << "first at " << fx << "," << fy;
    }
}

TEST_F(Grabber, ScreenGrabAndARectanglePastTheEdgeKeepTheAskedSize) {
    PatternWindow window(0, 0, 400, 300);
    clsCapturePublic grabber;
    int w = 0, h = 0;
    clsCapturePublic::Picture whole = grabber.CaptureScreen();  // held: it owns the bitmap
    HBITMAP screen = HandleOf(whole);
    ASSERT_NE(screen, nullptr);
    BitmapPixels(screen, w, h);
    EXPECT_EQ(w, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(h, ::GetSystemMetrics(SM_CYSCREEN));

    clsCapturePublic::Picture desktop =
        grabber.CaptureWindow(::GetDesktopWindow(), false, 5, 7, 200, 100);
    std::vector<uint32_t> pixels = BitmapPixels(HandleOf(desktop), w, h);
    ASSERT_EQ(w, 200);
    EXPECT_EQ(PatternMismatches(pixels, w, h, 5, 7), 0);

    clsCapturePublic::Picture past = grabber.CaptureWindow(window.get(), true, 350, 250, 100, 90);
    BitmapPixels(HandleOf(past), w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 90);
}

TEST_F(Grabber, ThePictureOwnsItsBitmap) {
    clsCapturePublic grabber;
    clsCapturePublic::Picture picture = grabber.CaptureScreen();
    HBITMAP bitmap = HandleOf(picture);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    picture.reset();
    EXPECT_EQ(::GetObjectType(bitmap), 0u) << "freed with the last reference";
}

namespace {

// A printer whose scale unit is twips (1), with a page of the given printable size.
class FakePrinter : public PicturePrinter {
public:
    FakePrinter(double width, double height) : width_(width), height_(height) {}
    void SetOrientation(int value) override { orientation = value; }
    double ScaleWidth() const override { return width_; }
    double ScaleHeight() const override { return height_; }
    int ScaleMode() const override { return 1; }
    double ScaleX(double value, int from, int to) const override { return Convert(value, from, to); }
    double ScaleY(double value, int from, int to) const override { return Convert(value, from, to); }
    void PaintPicture(IPicture*, double x, double y, double w, double h) override {
        ++paints;
        paintedX = x, paintedY = y, paintedW = w, paintedH = h;
    }

    int orientation = 0;
    int paints = 0;
    double paintedX = -1, paintedY = -1, paintedW = 0, paintedH = 0;

private:
    static double Convert(double value, int from, int to) {
        auto perTwip = [](int unit) { return unit == kHiMetric ? 2540.0 / 1440.0 : 1.0; };
        return value / perTwip(from) * perTwip(to);
    }
    double width_, height_;
};

clsCapturePublic::Picture BitmapPicture(int width, int height) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    return clsCapturePublic().CreateBitmapPicture(bitmap, nullptr);
}

}  // namespace

TEST_F(Grabber, PrintPictureToFitPage) {
    clsCapturePublic grabber;
    {
        clsCapturePublic::Picture wide = BitmapPicture(200, 100);
        com::ComPtr<IPicture> picture;
        ASSERT_TRUE(SUCCEEDED(wide.query(picture)));
        FakePrinter printer(11520, 15840);  // 8 x 11 inches
        EXPECT_TRUE(grabber.PrintPictureToFitPage(printer, picture.get()));
        EXPECT_EQ(printer.orientation, 2);
        EXPECT_EQ(printer.paints, 1);
        EXPECT_EQ(printer.paintedX, 0);
        EXPECT_EQ(printer.paintedY, 0);
        EXPECT_NEAR(printer.paintedW, 11520, 1e-6);
        EXPECT_NEAR(printer.paintedH, 5760, 1e-6);
    }
    {
        clsCapturePublic::Picture square = BitmapPicture(64, 64);
        com::ComPtr<IPicture> picture;
        ASSERT_TRUE(SUCCEEDED(square.query(picture)));
        FakePrinter printer(11520, 15840);
        EXPECT_TRUE(grabber.PrintPictureToFitPage(printer, picture.get()));
        EXPECT_EQ(printer.orientation, 1);
        EXPECT_NEAR(printer.paintedW, 11520, 1e-6);
        EXPECT_NEAR(printer.paintedH, 11520, 1e-6);

        FakePrinter flat(11520, 0);  // no printable height: refused, nothing painted
        EXPECT_FALSE(grabber.PrintPictureToFitPage(flat, picture.get()));
        EXPECT_EQ(flat.paints, 0);
    }
    FakePrinter printer(11520, 15840);
    EXPECT_FALSE(grabber.PrintPictureToFitPage(printer, nullptr));
    EXPECT_EQ(printer.paints, 0);
}
