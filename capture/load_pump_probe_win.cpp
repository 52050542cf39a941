#include "load_pump_probe_win.h"

#include <windows.h>

#include "win/handles.h"
#include "win/message_pump.h"

namespace quorallion {

void PanelLoadPumpProbe() {
    win::UniqueHandleNull resume(::OpenEventW(SYNCHRONIZE, FALSE, kPanelLoadPumpResume));
    if (!resume) return;
    if (win::UniqueHandleNull reached{::OpenEventW(EVENT_MODIFY_STATE, FALSE, kPanelLoadPumpReached)})
        ::SetEvent(reached.get());
    const HANDLE handles[] = {resume.get()};
    const ULONGLONG end = ::GetTickCount64() + 10000;
    while (::GetTickCount64() < end) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, handles, FALSE, 100, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return;
        win::DoEvents();
    }
}

}  // namespace quorallion
