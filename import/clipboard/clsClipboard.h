#pragma once
// The one class through which the program reads and writes the Windows clipboard. Each user makes
// its own instance for one call: (enumerate), open with owner 0, read or write, close.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class clsClipboard {
public:
    clsClipboard() = default;
    clsClipboard(const clsClipboard&) = delete;
    clsClipboard& operator=(const clsClipboard&) = delete;
    ~clsClipboard() { ClipboardClose(); }

    // Registers a named format; its ID when the platform gives a registered one (0xC000 up), else 0.
    UINT AddFormat(const std::wstring& name);
    int FormatCount() const;

    // Enumerates the clipboard into the lists below; opens and closes the clipboard itself, so it
    // must not run while this instance holds it open.
    int GetCurrentFormats(HWND owner);
    // 1-based places of the last enumeration; std::out_of_range outside 1..count.
    UINT GetCurrentFormatID(int index) const;
    std::wstring GetCurrentFormatName(int index) const;
    bool HasCurrentFormat(UINT id) const;
    int CurrentFormatCount() const { return static_cast<int>(formatIds_.size()); }

    static std::wstring FormatName(UINT id);
    UINT FormatIDForName(HWND owner, const std::wstring& name);
    bool IsDataAvailableForFormatName(HWND owner, const std::wstring& name);
    bool IsDataAvailableForFormat(UINT id) const;

    // Data operations: only while this instance has the clipboard open.
    bool GetBinaryData(UINT id, std::vector<uint8_t>& bytes);
    HANDLE GetClipboardMemoryHandle(UINT id);
    bool SetBinaryData(UINT id, const std::vector<uint8_t>& bytes);
    bool SetBinaryData(UINT id, const void* data, size_t size);
    // Hands the caller's handle to the platform; on success the platform owns it.
    bool SetClipboardMemoryHandle(UINT id, HANDLE memory);
    // Format 13 as UTF-16; any other as bytes of UTF-8 or GBK. Cut before the first NUL.
    bool GetTextData(UINT id, std::wstring& text);
    // The text in the ANSI code page with one zero byte after it; false for the empty text.
    bool SetTextData(UINT id, const std::wstring& text);
    // The file-drop list, sorted ascending; paths at their full length.
    bool GetFileList(std::vector<std::wstring>& files, int& count);
    bool SetFileList(const std::vector<std::wstring>& files);
    void ClearClipboard();

    void ClipboardClose();
    bool ClipboardOpen(HWND owner);
    bool IsOpen() const { return open_; }

private:
    bool ClipboardNotOpen() const { return !open_; }

    std::vector<UINT> formatIds_;
    std::vector<std::wstring> formatNames_;
    bool open_ = false;
    HWND owner_ = nullptr;
};

}  // namespace quorallion
