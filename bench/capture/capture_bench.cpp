// Times the capture's two costly steps on the whole screen: the grab that freezes it
// (clsCapturePublic.CaptureWindow on the desktop) and the road from the finishing double-click
// over a full-screen region to the Base64 PNG of the reply (region painted from the frozen
// picture, placed on the clipboard, read back and encoded), beside ImageMagick's
// `import -window root` of the same screen.
#include <windows.h>
#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "clipboard/basClipBoard.h"
#include "clsCapturePublic.h"
#include "frmCaptureRectangle.h"
#include "support/screen_pattern.h"
#include "support/send_input.h"
#include "support/unix_shell.h"

using namespace quorallion;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main() {
    if (!::GetDC(nullptr)) {
        std::printf("capture_bench: no display, nothing measured\n");
        return 0;
    }
    ::OleInitialize(nullptr);
    const int w = ScreenWidthPixels(), h = ScreenHeightPixels();
    testing::PatternWindow pattern(0, 0, w, h);

    constexpr int kGrabs = 10;
    clsCapturePublic grabber;
    const Clock::time_point grabStart = Clock::now();
    for (int i = 0; i < kGrabs; ++i) {
        clsCapturePublic::Picture picture =
            grabber.CaptureWindow(::GetDesktopWindow(), false, 0, 0, w, h);
        if (!picture) std::printf("grab %d failed\n", i);
    }
    const double grabMs = Ms(Clock::now() - grabStart) / kGrabs;
    std::printf("CaptureWindow %dx%d: %.1f ms per grab (%d grabs)\n", w, h, grabMs, kGrabs);

    constexpr int kImports = 3;
    const Clock::time_point importStart = Clock::now();
    int imported = 0;
    for (int i = 0; i < kImports; ++i) {
        std::optional<int> status =
            testing::RunUnixScript("import -window root png:/dev/null >/dev/null 2>&1", 60000);
        if (status && *status == 0) ++imported;
    }
    if (imported == kImports)
        std::printf("import -window root (ImageMagick, PNG): %.1f ms per grab (%d grabs)\n",
                    Ms(Clock::now() - importStart) / kImports, kImports);
    else
        std::printf("import -window root: not measured (ImageMagick did not run)\n");

    // The region window over the frozen screen; the user selects all that the pointer reaches
    // and double-clicks; the road ends with the reply's Base64 PNG.
    std::shared_ptr<frmCaptureRectangle> region = frmCaptureRectangle::Load();
    if (!region) {
        std::printf("no region window\n");
        return 1;
    }
    region->SetScreenPicture(grabber.CaptureWindow(::GetDesktopWindow(), false, 0, 0, w, h));
    Clock::time_point finishSent;
    std::thread user([&] {
        ::Sleep(400);
        testing::UserInput input;
        input.Drag(w - 1, h - 1, 0, 0);
        ::Sleep(300);
        input.MoveTo(w / 2, h / 2);
        input.LeftDown();
        input.LeftUp();
        finishSent = Clock::now();  // the second press is the double-click
        input.LeftDown();
        input.LeftUp();
    });
    region->ShowModal();
    const Clock::time_point finished = Clock::now();
    user.join();
    const std::wstring tag = region->Tag();
    const capture::Region selected = region->Model().FinishRegion().value_or(capture::Region{});
    region->Unload();
    const std::wstring image = basClipBoard::GetClipboardImage();
    const Clock::time_point encoded = Clock::now();
    std::printf("region %dx%d, tag %ls: finish to clipboard %.1f ms, clipboard to Base64 PNG %.1f ms"
                " (%zu characters), road %.1f ms\n",
                selected.Width(), selected.Height(), tag.c_str(), Ms(finished - finishSent),
                Ms(encoded - finished), image.size(), Ms(encoded - finishSent));
    ::OleUninitialize();
    return tag == L"ok" && !image.empty() ? 0 : 1;
}
