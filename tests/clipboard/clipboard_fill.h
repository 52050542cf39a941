#pragma once
// Puts data on the clipboard the way other programs do: raw blocks under standard and registered
// formats, in movable memory handed to the system. Reads blocks back by the platform's calls.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/utf8.h"

namespace quorallion::testing {

// Another process may hold the clipboard for a moment: try for a while.
inline bool OpenClipboardPatiently() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::OpenClipboard(nullptr)) return true;
        ::Sleep(10);
    }
    return false;
}

inline UINT RegisteredFormat(const std::wstring& name) {
    return ::RegisterClipboardFormatW(name.c_str());
}

struct ClipboardItem {
    UINT format;
    std::string bytes;
};

// Empties the clipboard and puts the items on it; false when any of it failed.
inline bool FillClipboard(const std::vector<ClipboardItem>& items) {
    if (!OpenClipboardPatiently()) return false;
    bool ok = ::EmptyClipboard() != FALSE;
    for (const ClipboardItem& item : items) {
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, item.bytes.size() ? item.bytes.size() : 1);
        if (!memory) {
            ok = false;
            continue;
        }
        if (void* p = ::GlobalLock(memory)) {
            if (!item.bytes.empty()) memcpy(p, item.bytes.data(), item.bytes.size());
            ::GlobalUnlock(memory);
        }
        if (!::SetClipboardData(item.format, memory)) {
            ::GlobalFree(memory);
            ok = false;
        }
    }
    ::CloseClipboard();
    return ok;
}

inline bool EmptyTheClipboard() { return FillClipboard({}); }

// The block of a format as the platform holds it, or nothing.
inline std::optional<std::string> ReadClipboardBlock(UINT format) {
    if (!OpenClipboardPatiently()) return std::nullopt;
    std::optional<std::string> out;
    if (HANDLE h = ::GetClipboardData(format)) {
        SIZE_T size = ::GlobalSize(h);
        if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
            out = std::string(p, size);
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return out;
}

inline std::string Utf16Block(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2) +
           std::string(2, '\0');
}

// "HTML Format" the way a program writes it: its header keys (offsets filled in, 10 digits as
// the browsers write them) then its document, which holds the fragment comments. extraHeader
// holds lines such as "SourceURL:...\r\n".
inline std::string CFHtml(const std::string& version, const std::string& extraHeader,
                          const std::string& documentUtf8) {
    auto pad = [](size_t n) {
        std::string d = std::to_string(n);
        return std::string(10 - d.size(), '0') + d;
    };
    const std::string probe = "Version:" + version + "\r\nStartHTML:" + pad(0) + "\r\nEndHTML:" +
                              pad(0) + "\r\nStartFragment:" + pad(0) + "\r\nEndFragment:" +
                              pad(0) + "\r\n" + extraHeader;
    const size_t startHtml = probe.size();
    const size_t startMarker = documentUtf8.find("<!--StartFragment-->");
    const size_t endMarker = documentUtf8.find("<!--EndFragment-->");
    const size_t startFragment =
        startHtml + (startMarker == std::string::npos ? 0 : startMarker + 20);
    const size_t endFragment =
        startHtml + (endMarker == std::string::npos ? documentUtf8.size() : endMarker);
    return "Version:" + version + "\r\nStartHTML:" + pad(startHtml) + "\r\nEndHTML:" +
           pad(startHtml + documentUtf8.size()) + "\r\nStartFragment:" + pad(startFragment) +
           "\r\nEndFragment:" + pad(endFragment) + "\r\n" + extraHeader + documentUtf8;
}

}  // namespace quorallion::testing
