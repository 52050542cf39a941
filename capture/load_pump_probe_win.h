#pragma once
// A test's handle on the messages that the capture panel lets run while it loads (its shape is
// built from the background picture, and that step serves pending messages). A test that wants
// a request to arrive exactly there makes the two named events below; the panel's load then
// signals "reached" at that pump and keeps serving messages until the test signals "resume" (ten
// seconds at the most). Without the events this does nothing.

namespace quorallion {

constexpr wchar_t kPanelLoadPumpReached[] = L"Local\\QuorallionTest.CapturePanelLoadPump.Reached";
constexpr wchar_t kPanelLoadPumpResume[] = L"Local\\QuorallionTest.CapturePanelLoadPump.Resume";

void PanelLoadPumpProbe();

}  // namespace quorallion
