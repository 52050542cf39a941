// Prints:
//   - seconds of "word2html" for a 50-page document, from a client of the core over COM with the
//     Word stand-in playing Word, beside LibreOffice's own conversion of the same file (the work
//     the stand-in hands to it), both in this run;
//   - seconds of the conversion's equation and address steps (ReplaceEquationPlaceholders, the
//     equation attributes, the picture addresses) on 5 MB of HTML holding 1,000 equation pictures.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/office_bench.h"
#include "support/unix_shell.h"
#include "word/clsOfficeWord.h"

using namespace quorallion;
using namespace quorallion::bench;

namespace {

// A flat ODF text of the given pages, each a heading and paragraphs of running text, made into a
// .docx by LibreOffice. Returns the document's Windows path, "" on failure.
std::wstring MakeDocument(const std::wstring& folder, int pages) {
    std::string body;
    for (int page = 1; page <= pages; ++page) {
        body += "<text:h text:outline-level=\"1\"" + std::string(page > 1 ? " text:style-name=\"Break\"" : "") +
                ">Chapter " + std::to_string(page) + "</text:h>\n";
        for (int paragraph = 0; paragraph < 9; ++paragraph) {
            body += "<text:p>";
            for (int sentence = 0; sentence < 6; ++sentence)
                body += "The quarterly figures of office " + std::to_string(page * 10 + paragraph) +
                        " rose again, and the committee noted the result with some satisfaction. ";
            body += "</text:p>\n";
        }
    }
    const std::string fodt =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" office:version=\"1.3\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.text\">\n"
        "<office:automatic-styles><style:style style:name=\"Break\" style:family=\"paragraph\">"
        "<style:paragraph-properties fo:break-before=\"page\"/></style:style></office:automatic-styles>\n"
        "<office:body><office:text>\n" +
        body + "</office:text></office:body></office:document>\n";
    const std::wstring source = folder + L"fifty.fodt";
    if (!testing::WriteBytes(source, fodt)) return L"";
    if (!LibreOfficeConvert(folder, "docx", testing::UnixPath(folder).value_or(""), source)) return L"";
    const std::wstring document = folder + L"fifty.docx";
    return ::GetFileAttributesW(document.c_str()) == INVALID_FILE_ATTRIBUTES ? L"" : document;
}

void BenchWord2Html() {
    const std::wstring folder = BenchFolder(L"quorallion-word-bench");
    const std::wstring document = MakeDocument(folder, 50);
    if (document.empty()) {
        std::printf("word2html: LibreOffice could not make the 50-page document\n");
        return;
    }
    if (!RegisterStandin(L"Winword")) {
        std::printf("word2html: the Word stand-in could not be registered\n");
        return;
    }

    // LibreOffice alone: the same file to HTML.
    const auto start = Clock::now();
    LibreOfficeConvert(folder, "'html:HTML (StarWriter)'", testing::UnixPath(folder).value_or("") + "bare", document);
    const double bare = Seconds(start);

    const std::optional<TimedJob> job = RunJob(L"word2html", document, L"Winword.exe");
    if (!job) {
        std::printf("word2html: QuorallionCore2.Core15200 is not registered\n");
        return;
    }
    std::printf("word2html, 50 pages: %.2f s through the core and the Word stand-in (%s, %zu characters), "
                "%.2f s LibreOffice's bare conversion\n",
                job->seconds, job->ok ? "ok" : "failed", job->reply.size(), bare);
}

void BenchEquationSteps() {
    constexpr int kPictures = 1000;
    std::vector<std::wstring> omath, fields;
    std::wstring code;
    for (int i = 0; i < 160; ++i) code += static_cast<wchar_t>(L'A' + i % 26);
    for (int i = 1; i <= kPictures; ++i) {
        omath.push_back(L"QuorallionWordEQ;omath;" + code + std::to_wstring(i));
        fields.push_back(L"QuorallionWordEQ;formula;" + code + std::to_wstring(i));
    }
    const std::wstring filler = L"<p class=MsoNormal><span lang=EN-US>The quarterly figures rose again, and the "
                                L"committee noted the result with some satisfaction.</span></p>\r\n";
    std::wstring html = L"<html><head><meta charset=utf-8></head><body lang=ZH-CN>\r\n";
    const size_t target = 5u * 1024 * 1024;
    const size_t between = target / kPictures;
    for (int i = 1; i <= kPictures; ++i) {
        const size_t mark = html.size();
        while (html.size() - mark < between) html += filler;
        const bool isOmath = i % 2 == 1;
        html += L"<p class=MsoNormal><a name=\"quorallionomath" + std::to_wstring(i) + L"\"></a><span style='position:"
                L"relative;top:6.0pt'><img width=92 height=24 src=\"Quorallion_Temp_Doc_files/image" +
                std::to_wstring(i) + L".png\" alt=\"QuorallionWordEQ:" + (isOmath ? L"OMath:" : L"EQ:") +
                std::to_wstring((i + 1) / 2) + L"\"></span></p>\r\n";
    }
    html += L"</body></html>";

    testing::ComApartment apartment;  // the pattern engine is a COM object of this thread
    auto start = Clock::now();
    std::wstring out = clsOfficeWord::ReplaceEquationPlaceholders(html, omath, fields);
    const double placeholders = Seconds(start);
    start = Clock::now();
    out = clsOfficeWord::EquationAttributes(out);
    const double attributes = Seconds(start);
    start = Clock::now();
    out = clsOfficeWord::PictureAddresses(out, L"20261211030000000");
    const double addresses = Seconds(start);
    size_t tagged = 0;
    for (size_t at = out.find(L"_tag=\"wordeq\""); at != std::wstring::npos; at = out.find(L"_tag=\"wordeq\"", at + 1))
        ++tagged;
    std::printf("equation steps, %.1f MB with %d equation pictures: ReplaceEquationPlaceholders %.3f s, equation "
                "attributes %.3f s, picture addresses %.3f s, total %.3f s (%zu pictures tagged)\n",
                html.size() / 1048576.0, kPictures, placeholders, attributes, addresses,
                placeholders + attributes + addresses, tagged);
}

}  // namespace

int main() {
    BenchEquationSteps();
    BenchWord2Html();
    return 0;
}
