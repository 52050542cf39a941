#include "clipboard/clsFileList.h"

#include <vector>

#include "clipboard/clsClipboard.h"
#include "clipboard/file_list_html.h"
#include "file/basFile.h"
#include "win/message_pump.h"

namespace quorallion {

bool clsFileList::FileList2HTML(const std::wstring& extensions, long maxKB, std::wstring& html) {
    win::DoEvents();
    html.clear();
    std::vector<std::wstring> files;
    int count = 0;
    bool listRead = false;
    {
        clsClipboard clipboard;
        if (clipboard.ClipboardOpen(nullptr)) listRead = clipboard.GetFileList(files, count);
        clipboard.ClipboardClose();
    }
    if (!listRead) return false;
    for (const std::wstring& path : files) {
        if (!basFile::FileExistsWithExt(path, extensions)) continue;
        try {
            if (clipboard::FitsSizeLimit(basFileSystemW::FileLenW(path), maxKB))
                html += clipboard::ImageTag(path);
        } catch (const FileError&) {
            // Gone or locked since the test above: not shown.
        }
    }
    return true;
}

}  // namespace quorallion
