#pragma once
// Values that every Core15200 object of the process shares. The process has one thread, so
// they need no locking; code that lets messages run must expect them to change meanwhile.
#include <string>

namespace quorallion {

struct ProcessState {
    std::wstring tempRoot;            // ...\Quorallion2\ (ends in "\")
    std::wstring language = L"zh-cn"; // "zh-cn", "zh-tw" or "en"
    std::wstring actKey;              // key of the newest job folder
    std::wstring jobFolder;           // tempRoot & actKey & "\"
    bool cancel = false;              // set by "cancel", cleared when a job starts
    bool officeRepairDone = false;    // once-only flag of the Office registration repair
    std::wstring equationHtmlResult;  // the equation window's HTML, set before it reports "ok"

    // Result texts that the capture and equation windows leave for their job objects; the
    // hand-back form (capture/frmHidden.h) polls them. All start empty.
    std::wstring captureResult;       // "ok", "cancel" or the region window's Tag
    std::wstring showEQResult;        // watched by frmHidden's ShowEQTimer; nothing writes it
    std::wstring wordEqResult;        // "ok" or "cancel" from the equation window
    std::wstring equationCode;        // written by ShowEQ, read by the equation window
    std::wstring equationType;
    std::wstring equationVersion;
};

ProcessState& Process();

}  // namespace quorallion
