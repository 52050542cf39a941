// The capture and equation windows hand their results back later, from a timer.
#include "core_doubles.h"

using namespace quorallion;
using namespace quorallion::testing;

TEST_F(CoreFixture, CaptureHandBack) {
    Core15200* core = NewCore();
    struct Case {
        std::wstring result, clipboardImage, reply;
    } cases[] = {
        {L"cancel", L"", L"{\"state\":\"err\",\"errflag\":\"cancel\"}"},
        {L"ok", L"", L"{\"state\":\"err\",\"errflag\":\"cbnopngbmp\"}"},
        {L"ok", L"iVBOR\r\n", L"{\"state\":\"ok\",\"image\":\"iVBOR\\r\\n\"}"},
        // The region never reached the clipboard: an earlier image there is not the capture.
        {L"nobitmap", L"iVBOR", L"{\"state\":\"err\",\"errflag\":\"cbnopngbmp\"}"},
        {L"other", L"x", L"{\"state\":\"err\",\"errflag\":\"\"}"},
    };
    for (const Case& c : cases) {
        clipboardImage = c.clipboardImage;
        EXPECT_EQ(Call(core, L"capture"), Core15200::kWaitReply);
        PumpFor(50);
        EXPECT_EQ(Call(core, L"asyncresult"), Core15200::kWaitReply) << "no reply before the window answers";
        ASSERT_NE(lastCapture, nullptr);
        ReturnValueHandler handBack = lastCapture->handler;  // the session may go while it runs
        handBack(L"");  // an empty result changes nothing
        EXPECT_EQ(Call(core, L"asyncresult"), Core15200::kWaitReply);
        int closedBefore = FakeCapture::closed;
        handBack(c.result);
        EXPECT_EQ(Call(core, L"asyncresult"), c.reply) << c.result;
        if (c.result == L"ok" || c.result == L"cancel" || c.result == L"nobitmap")
            EXPECT_EQ(FakeCapture::closed, closedBefore + 1) << "windows closed";
    }
}

TEST_F(CoreFixture, NewCaptureReplacesTheOldOneAndItsLateAnswerIsIgnored) {
    Core15200* core = NewCore();
    Call(core, L"capture");
    PumpFor(50);
    ReturnValueHandler oldHandler = lastCapture->handler;
    int closedBefore = FakeCapture::closed;
    Call(core, L"capture");
    PumpFor(50);
    EXPECT_EQ(FakeCapture::closed, closedBefore + 1) << "the earlier capture's windows close";
    oldHandler(L"cancel");
    EXPECT_EQ(Call(core, L"asyncresult"), Core15200::kWaitReply);
    ReturnValueHandler newHandler = lastCapture->handler;
    newHandler(L"cancel");
    EXPECT_EQ(Call(core, L"asyncresult"), Core15200::kCancelReply);
}

TEST_F(CoreFixture, EquationHandBack) {
    Core15200* core = NewCore();
    EXPECT_EQ(Call(core, L"wordeqshow", L"width:900", L"<eq/>"), Core15200::kWaitReply);
    const std::wstring key = Process().actKey;
    PumpFor(50);
    ASSERT_NE(lastEquation, nullptr);
    EXPECT_EQ(FakeEquation::shownData, L"<eq/>");
    EXPECT_EQ(FakeEquation::shownOptions, L"width:900");
    Process().equationHtmlResult = L"<img _tag=\"wordeq\">";
    ReturnValueHandler handBack = lastEquation->handler;
    handBack(L"ok");
    EXPECT_EQ(Call(core, L"asyncresult"),
              L"{\"state\":\"ok\",\"html\":\"<img _tag=\\\"wordeq\\\">\",\"actkey\":\"" + key + L"\"}");
}
