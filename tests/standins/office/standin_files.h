#pragma once
// Files of an Office stand-in (tests only): its own work folder, the extension test of the
// documents it opens, and the blank PDF its quick export writes.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace quorallion::standin {

// "<temp>\quorallion-<application>-<process id>\", made when missing: parallel stand-ins never
// share one.
inline std::wstring WorkFolder(const wchar_t* application) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp) + L"quorallion-" + application + L"-" +
                          std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// The text after the last dot, lower-cased; "" when there is no dot.
inline std::wstring Extension(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    std::wstring ext = dot == std::wstring::npos ? L"" : path.substr(dot + 1);
    for (wchar_t& c : ext) c = static_cast<wchar_t>(::towlower(c));
    return ext;
}

// A valid one-page PDF with nothing on the page.
inline std::string BlankPdf() {
    const char* objects[] = {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                             "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (int i = 0; i < 3; ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof(line), "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace quorallion::standin
