// Prints the time of the clean-up patterns over 4 MB of Word-like HTML, and the Base64 rate of
// the platform encoder beside a plain table-driven one.
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base64/basBase64.h"
#include "regex/basRegExp.h"

using namespace quorallion;
using Clock = std::chrono::steady_clock;

namespace {

std::wstring WordLikeHtml(size_t targetChars) {
    const std::wstring paragraph =
        L"<p class=MsoNormal style='margin:0cm;mso-pagination:widow-orphan'><span lang=EN-US "
        L"style='font-family:\"Times New Roman\";mso-fareast-font-family:SimSun'>Text of a "
        L"paragraph \u4E2D\u6587<o:p></o:p></span></p>\r\n<!--[if !supportLists]--><span "
        L"style='mso-list:Ignore'>1.</span><!--[endif]-->\r\n";
    std::wstring html = L"<html><head><script>var x = 1;</script><style>p{}</style></head><body>";
    while (html.size() < targetChars) html += paragraph;
    return html + L"</body></html>";
}

std::wstring TableBase64(const std::vector<uint8_t>& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::wstring out;
    out.reserve(bytes.size() / 3 * 4 + bytes.size() / 24 + 8);
    size_t inLine = 0;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = uint32_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= uint32_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= bytes[i + 2];
        out += alphabet[group >> 18 & 63];
        out += alphabet[group >> 12 & 63];
        out += i + 1 < bytes.size() ? alphabet[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[group & 63] : '=';
        if ((inLine += 4) == 64) {
            out += L"\r\n";
            inLine = 0;
        }
    }
    if (inLine) out += L"\r\n";
    return out;
}

template <typename F>
double Seconds(F&& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    ::CoInitialize(nullptr);
    const std::wstring html = WordLikeHtml(4 << 20);
    std::printf("RegExpReplace over %zu characters of Word-like HTML\n", html.size());
    const std::pair<const wchar_t*, const wchar_t*> patterns[] = {
        {L"<script[\\s\\S]*?</script>", L""},
        {L"<!--\\[if !supportLists\\]-->[\\s\\S]*?<!--\\[endif\\]-->", L""},
        {L"<o:p>\\s*</o:p>", L""},
        {L"\\s*mso-[^:;'\"]+:[^;'\"]+;?", L""},
        {L"<span[^>]*>([\\s\\S]*?)</span>", L"$1"},
        {L"class=(\"?)Mso\\w+\\1", L""},
    };
    for (const auto& [pattern, replacement] : patterns) {
        std::wstring out;
        double s = Seconds([&] { out = basRegExp::RegExpReplace(html, pattern, replacement); });
        std::printf("  %-55ls %7.3f s  (%zu -> %zu chars)\n", pattern, s, html.size(), out.size());
    }

    std::vector<uint8_t> bytes(16 << 20);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 2654435761u >> 13);
    std::wstring platform, table;
    const double mb = bytes.size() / 1048576.0;
    double platformSeconds = Seconds([&] { platform = basBase64::EncodeBytes(bytes); });
    double tableSeconds = Seconds([&] { table = TableBase64(bytes); });
    std::printf("Base64 of %.0f MB: EncodeBytes %.1f MB/s, table-driven %.1f MB/s, same text: %s\n",
                mb, mb / platformSeconds, mb / tableSeconds, platform == table ? "yes" : "NO");
    ::CoUninitialize();
    return platform == table ? 0 : 1;
}
