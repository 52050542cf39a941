#pragma once
// The local-server frame of an Office stand-in (tests only). One program serves one application
// class:
//   "/RegServer"               registers the class and its ProgID with "<program> /Automation"
//                              (and App Paths, see StandinInfo);
//   "/Automation", "-Embedding" serves the class to COM until the application quits or its last
//                              reference goes, and stays out of the running object table;
//   no argument (a user start) makes one application, enters it in the running object table and
//                              serves until it quits; it serves no class, so a new object asked for
//                              by CreateObject comes from a new process, as with Office.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>

namespace quorallion::standin {

class DispatchObject;

struct StandinInfo {
    CLSID clsid;
    const wchar_t* progId;
    // A new application object with one reference.
    std::function<IDispatch*()> createApplication;
    // When set, "/RegServer" also names this program under App Paths by this name, as an Office
    // set-up does ("Winword.exe").
    const wchar_t* appPathName = nullptr;
    // One application per process, as PowerPoint runs: every start (by the user or by COM)
    // enters the application in the running object table and serves its class to any number of
    // clients, each getting that same application (createApplication is called for each).
    bool singleInstance = false;
};

int RunStandin(const StandinInfo& info, const wchar_t* commandLine);

// The two copies of one stand-in program, the Office application's and its WPS twin's, told apart
// by the running program's file name.
struct StandinCopies {
    const wchar_t* wpsProgram;  // the WPS copy's file name, lower-cased ("wps.exe")
    CLSID officeClass, wpsClass;
    const wchar_t* officeProgId;
    const wchar_t* wpsProgId;
    const wchar_t* officeAppPathName = nullptr;  // see StandinInfo::appPathName (Office copy only)
    bool singleInstance = false;
};
int RunStandinCopies(const StandinCopies& copies, std::function<IDispatch*()> createApplication,
                     const wchar_t* commandLine);

// Runs when the stand-in ends by itself (its application quit, its client went), before the
// process exits.
void RunAtEnd(std::function<void()> action);

// A read-write property of the application held in it, starting at the value (a Boolean when the
// type is VT_BOOL, else a whole number); listed under "fail", its reads and writes fail as an
// application's do that will not have it set.
void AddApplicationValue(DispatchObject& app, const wchar_t* member, VARTYPE type, long value);

// The application's "Version" as every stand-in serves it: the setting "version" (default "16.0"),
// or an error when "Version" is listed under "fail".
void AddVersion(DispatchObject& app);

// Ends the message loop (the application's Quit).
void RequestQuit();

// Waits, serving messages, as a busy application keeps its message loop; a quit met meanwhile is
// posted again for the main loop.
void ServeMessagesFor(long milliseconds);

// The running program's file name, lower-cased ("wps.exe"): which copy of the stand-in started.
std::wstring ProgramFileName();

// Serves messages until the file exists (a test holds a call there while it acts on the client's
// side), at most a minute; nothing when the path is empty.
void WaitForFile(const std::wstring& path);

}  // namespace quorallion::standin
