// Clipboard blocks as another program may leave them: read as Unicode text, as a drop list and as
// "HTML Format", and the address fixing over the text.
#include <cstddef>
#include <cstdint>

#include "clipboard/cf_html.h"
#include "clipboard/clipboard_bytes.h"
#include "clipboard/file_list_sort.h"
#include "clipboard/url_fixing.h"
#include "file/drop_files.h"
#include "word/style_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorallion;
    clipboard::ParseDropFiles(data, size);
    std::wstring text = clipboard::Utf16LeBytesToText(data, size);
    std::wstring source = basClipBoard::GetCFHTMLHeaderValue(text, L"SourceURL");
    basClipBoard::FixRelativeURLs(text, source.empty() ? L"http://h:1/a/b/c.html" : source);
    word::CollectStyleElements(text);
    std::vector<std::wstring> files = {text, source};
    clipboard::SortFileList(files);
    return 0;
}
