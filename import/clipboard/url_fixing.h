#pragma once
// Makes the relative addresses of HTML copied from a web page absolute against that page's address
// (the clipboard's SourceURL): href of a, src of img and of embed, double-quoted values only.
#include <string>

namespace quorallion::basClipBoard {

// The page's address split for resolving: root is scheme and host ("https://h:8080"), or
// "file:///" and the drive; path is the folders after it, ending in "/" when not empty.
struct SourceAddress {
    std::wstring root;
    std::wstring path;
};

// Nothing usable (empty, a scheme other than http, https and file, no "/" after the host) gives
// an empty root.
SourceAddress SplitSourceAddress(const std::wstring& sourceUrl);

std::wstring ResolveURL(const std::wstring& address, const std::wstring& root,
                        const std::wstring& path);

std::wstring FixTagURLs(const std::wstring& html, const std::wstring& root,
                        const std::wstring& path, const std::wstring& tag,
                        const std::wstring& attribute);

std::wstring FixRelativeURLs(const std::wstring& html, const std::wstring& sourceUrl);

}  // namespace quorallion::basClipBoard
