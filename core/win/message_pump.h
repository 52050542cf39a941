#pragma once

namespace quorallion::win {

// Lets pending window messages run, including queued COM calls and timer ticks, then returns.
// A quit request met here is put back so that the main loop still sees it.
void DoEvents();

}  // namespace quorallion::win
