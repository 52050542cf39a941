// Prints the seconds of "excel2html" for a workbook of three sheets of 2,000 rows and six
// columns, from a client of the core over COM with the spreadsheet stand-in playing Excel and then
// the WPS spreadsheet program, beside LibreOffice's own HTML conversion of the same file, all in
// this run.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <tuple>

#include "support/dispatch_client.h"
#include "support/local_servers.h"
#include "support/unix_shell.h"

using namespace quorallion;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSheets = 3, kRows = 2000, kColumns = 6;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool RunAndWait(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return code == 0;
}

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
    const std::wstring source = folder + L"rows.fods";
    if (!testing::WriteBytes(source, fods)) return L"";
    const auto unixSource = testing::UnixPath(source), unixFolder = testing::UnixPath(folder);
    if (!unixSource || !unixFolder) return L"";
    testing::RunUnixScript("export HOME=/tmp; soffice --headless --norestore -env:UserInstallation=file://" +
                           *unixFolder + "profile --convert-to xlsx --outdir " + testing::ShellQuote(*unixFolder) +
                           " " + testing::ShellQuote(*unixSource) + " >/dev/null 2>&1");
    const std::wstring workbook = folder + L"rows.xlsx";
    return ::GetFileAttributesW(workbook.c_str()) == INVALID_FILE_ATTRIBUTES ? L"" : workbook;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"quorallion-excel-bench\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring workbook = MakeWorkbook(folder);
    if (workbook.empty()) {
        std::printf("excel2html: LibreOffice could not make the workbook\n");
        return 1;
    }
    const std::wstring office = ProgramFolder() + L"office\\";
    for (const wchar_t* program : {L"excel", L"et"}) {
        ::DeleteFileW((office + program + L".settings").c_str());
        if (!RunAndWait(L"\"" + office + program + L".exe\" /RegServer")) {
            std::printf("excel2html: the spreadsheet stand-ins could not be registered\n");
            return 1;
        }
    }

    // LibreOffice alone: the same file to HTML.
    const auto unixWorkbook = testing::UnixPath(workbook), unixFolder = testing::UnixPath(folder);
    auto start = Clock::now();
    testing::RunUnixScript("export HOME=/tmp; soffice --headless --norestore -env:UserInstallation=file://" +
                           *unixFolder + "profile --convert-to 'html:HTML (StarCalc)' --outdir " +
                           testing::ShellQuote(*unixFolder + "bare") + " " + testing::ShellQuote(*unixWorkbook) +
                           " >/dev/null 2>&1");
    const double bare = Seconds(start);
    std::printf("excel2html, %d sheets of %d rows: %.2f s LibreOffice's bare conversion\n", kSheets, kRows, bare);

    // Through the core: Excel's road (api 1, a published range per sheet) and the WPS road (api 2,
    // each range copied into a new sheet that is published whole).
    testing::ComApartment apartment;
    bool allOk = true;
    for (const auto& [options, road, program] :
         {std::tuple{L"api:1", "Excel", L"excel.exe"}, std::tuple{L"api:2", "WPS", L"et.exe"}}) {
        testing::DispatchClient core;
        if (FAILED(core.Create(L"QuorallionCore2.Core15200"))) {
            std::printf("excel2html: QuorallionCore2.Core15200 is not registered\n");
            return 1;
        }
        start = Clock::now();
        std::wstring reply = core.Core(L"excel2html", workbook, options);
        while (reply == L"{\"state\":\"wait\"}" && Seconds(start) < 600) {
            testing::PumpFor(50);
            reply = core.Core(L"asyncresult");
        }
        const double through = Seconds(start);
        core.Reset();
        testing::EndLocalServers({program, L"QuorallionCore2.exe"});
        const bool ok = reply.rfind(L"{\"state\":\"ok\"", 0) == 0;
        allOk = allOk && ok;
        std::printf("excel2html, %d sheets of %d rows: %.2f s through the core and the stand-in on %s's road (%s, %zu "
                    "characters)\n",
                    kSheets, kRows, through, road, ok ? "ok" : "failed", reply.size());
    }
    return allOk ? 0 : 1;
}
