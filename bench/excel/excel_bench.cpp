// Prints the seconds of "excel2html" for a workbook of three sheets of 2,000 rows and six
// columns, from a client of the core over COM with the spreadsheet stand-in playing Excel and then
// the WPS spreadsheet program, beside LibreOffice's own HTML conversion of the same file, all in
// this run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "support/office_bench.h"
#include "support/unix_shell.h"

using namespace quorallion;
using namespace quorallion::bench;

namespace {

constexpr int kSheets = 3, kRows = 2000, kColumns = 6;

// A flat ODF spreadsheet made into an .xlsx by LibreOffice; the workbook's Windows path or "".
std::wstring MakeWorkbook(const std::wstring& folder) {
    std::string tables;
    for (int sheet = 1; sheet <= kSheets; ++sheet) {
        tables += "<table:table table:name=\"Sheet " + std::to_string(sheet) + "\">";
        for (int row = 1; row <= kRows; ++row) {
            tables += "<table:table-row>";
            for (int column = 1; column <= kColumns; ++column) {
                if (column % 2)
                    tables += "<table:table-cell office:value-type=\"string\"><text:p>Office " + std::to_string(row) +
                              " 项目</text:p></table:table-cell>";
                else
                    tables += "<table:table-cell office:value-type=\"float\" office:value=\"" +
                              std::to_string(row * column) + "\"><text:p>" + std::to_string(row * column) +
                              "</text:p></table:table-cell>";
            }
            tables += "</table:table-row>";
        }
        tables += "</table:table>";
    }
    const std::string fods = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                             "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                             "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:version=\"1.3\" "
                             "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
                             "<office:body><office:spreadsheet>" +
                             tables + "</office:spreadsheet></office:body></office:document>\n";
    return MakeWithLibreOffice(folder, L"rows", L"fods", fods, L"xlsx");
}

}  // namespace

int main() {
    const std::wstring folder = BenchFolder(L"quorallion-excel-bench");
    const std::wstring workbook = MakeWorkbook(folder);
    if (workbook.empty()) {
        std::printf("excel2html: LibreOffice could not make the workbook\n");
        return 1;
    }
    if (!RegisterStandin(L"excel") || !RegisterStandin(L"et")) {
        std::printf("excel2html: the spreadsheet stand-ins could not be registered\n");
        return 1;
    }

    // LibreOffice alone: the same file to HTML.
    const auto start = Clock::now();
    LibreOfficeConvert(folder, "'html:HTML (StarCalc)'", testing::UnixPath(folder).value_or("") + "bare", workbook);
    const double bare = Seconds(start);
    std::printf("excel2html, %d sheets of %d rows: %.2f s LibreOffice's bare conversion\n", kSheets, kRows, bare);

    // Through the core: Excel's road (api 1, a published range per sheet) and the WPS road (api 2,
    // each range copied into a new sheet that is published whole).
    bool allOk = true;
    for (const auto& [options, road, program] :
         {std::tuple{L"api:1", "Excel", L"excel.exe"}, std::tuple{L"api:2", "WPS", L"et.exe"}}) {
        const std::optional<TimedJob> job = RunJob(L"excel2html", workbook, program, options);
        if (!job) {
            std::printf("excel2html: QuorallionCore2.Core15200 is not registered\n");
            return 1;
        }
        allOk = allOk && job->ok;
        std::printf("excel2html, %d sheets of %d rows: %.2f s through the core and the stand-in on %s's road (%s, %zu "
                    "characters)\n",
                    kSheets, kRows, job->seconds, road, job->ok ? "ok" : "failed", job->reply.size());
    }
    return allOk ? 0 : 1;
}
