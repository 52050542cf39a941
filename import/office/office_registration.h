#pragma once
// Which Office to drive, and the repair of Office automation classes that WPS took over. The
// only place where the program writes the registry.
//
// This program is 64-bit while Office is often 32-bit: App Paths and every LocalServer32 key are
// read in both registry views, the native one first.
#include <string>

namespace quorallion::basPublic {

// True when App Paths names the family's Office program and that file exists (a folder, a quoted
// value or one with arguments names no file).
bool IsMsOfficeInstalled(const std::wstring& typeWord);

// Rewrites every LocalServer32 default value of the family's class that names the WPS program
// (HKCR, HKLM\Software\Classes, HKCU\Software\Classes, each in both views) to the Office
// program with " /Automation". True when at least one value was written. A write that fails
// raises RegistryError; values written before it stay written.
bool RepairOfficeLocalServer32(const std::wstring& typeWord);

// The repair of the paste road: once a repair happened in the process it answers True at once.
// After a successful repair the two other families are repaired too.
bool RepairOfficeServerOnce(const std::wstring& typeWord);

}  // namespace quorallion::basPublic

namespace quorallion::office {

// The application choice for a Word document file by the option "api" ("1" Office, "2" WPS,
// anything else automatic): "doc" or "wps", or "" when the repair rewrote a registration or
// failed while writing (the worker then fails with "wpscompat").
std::wstring ChooseWordApplication(const std::wstring& api);

// The choice of the paste road by the clipboard's source application: "word" repairs once and
// chooses "doc" (or "" for "wpscompat"); any other source chooses "wps".
std::wstring ChooseWordPasteApplication(const std::wstring& sourceApp);

// "1" and "2" stand, every other value becomes "0".
std::wstring NormalizedApi(const std::wstring& api);

}  // namespace quorallion::office
