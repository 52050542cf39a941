#pragma once
// Files copied in a file manager, shown as images: one img tag per accepted file of the
// clipboard's file list.
#include <string>

namespace quorallion {

class clsFileList {
public:
    // extensions: accepted extensions joined by "|"; maxKB: largest accepted size in KiB.
    // True when the clipboard's file list could be read (also when no file was accepted).
    bool FileList2HTML(const std::wstring& extensions, long maxKB, std::wstring& html);
};

}  // namespace quorallion
