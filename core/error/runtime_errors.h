#pragma once
// The run-time's own error numbers and their standard texts, for library classes that raise them
// as an automation caller expects (Err.Number, Err.Description). Portable.
namespace quorallion::runtime {

inline constexpr long kInvalidProcedureCall = 5;
inline constexpr long kOverflow = 6;
inline constexpr long kSubscriptOutOfRange = 9;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kFileNotFound = 53;
inline constexpr long kPathFileAccess = 75;
inline constexpr long kBadFileFormat = 321;
inline constexpr long kKeyTaken = 475;

// The standard text of a run-time error number; numbers without one of their own get the text
// the run-time gives them.
constexpr const wchar_t* ErrorText(long number) {
    switch (number) {
    case 3: return L"Return without GoSub";
    case kInvalidProcedureCall: return L"Invalid procedure call or argument";
    case kOverflow: return L"Overflow";
    case 7: return L"Out of memory";
    case kSubscriptOutOfRange: return L"Subscript out of range";
    case 10: return L"This array is fixed or temporarily locked";
    case 11: return L"Division by zero";
    case kTypeMismatch: return L"Type mismatch";
    case 14: return L"Out of string space";
    case 28: return L"Out of stack space";
    case 35: return L"Sub or Function not defined";
    case 48: return L"Error in loading DLL";
    case 51: return L"Internal error";
    case 52: return L"Bad file name or number";
    case kFileNotFound: return L"File not found";
    case 54: return L"Bad file mode";
    case 55: return L"File already open";
    case 57: return L"Device I/O error";
    case 58: return L"File already exists";
    case 61: return L"Disk full";
    case 62: return L"Input past end of file";
    case 67: return L"Too many files";
    case 68: return L"Device unavailable";
    case 70: return L"Permission denied";
    case 71: return L"Disk not ready";
    case 74: return L"Can't rename with different drive";
    case kPathFileAccess: return L"Path/File access error";
    case 76: return L"Path not found";
    case 91: return L"Object variable or With block variable not set";
    case 92: return L"For loop not initialized";
    case 93: return L"Invalid pattern string";
    case 94: return L"Invalid use of Null";
    case kBadFileFormat: return L"Invalid file format";
    case 322: return L"Can't create necessary temporary file";
    case 380: return L"Invalid property value";
    case 424: return L"Object required";
    case 429: return L"ActiveX component can't create object";
    case 430: return L"Class does not support Automation or does not support expected interface";
    case 438: return L"Object doesn't support this property or method";
    case 440: return L"Automation error";
    case 445: return L"Object doesn't support this action";
    case 446: return L"Object doesn't support named arguments";
    case 449: return L"Argument not optional";
    case 450: return L"Wrong number of arguments or invalid property assignment";
    case 451: return L"Property let procedure not defined and property get procedure did not return an object";
    case 453: return L"Specified DLL function not found";
    case 457: return L"This key is already associated with an element of this collection";
    case kKeyTaken: return L"The key is already associated with an element of this collection";
    default: return L"Application-defined or object-defined error";
    }
}

}  // namespace quorallion::runtime
