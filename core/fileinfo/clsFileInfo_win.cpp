#include "fileinfo/clsFileInfo.h"

#include <oleauto.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace quorallion {
namespace {

// Paths of MAX_PATH characters or more reach the file calls in their "\\?\" form.
std::wstring LongForm(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool HasWildcard(const std::wstring& path) {
    const size_t from = path.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    return path.find_first_of(L"*?", from) != std::wstring::npos;
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring Trim(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Calls a "fill this buffer" API with a buffer sized from its own answer; false when it fails.
template <class Call>
bool SizedCall(Call call, std::wstring& out) {
    DWORD needed = call(nullptr, 0);
    for (int attempt = 0; attempt < 3 && needed != 0; ++attempt) {
        std::vector<wchar_t> buffer(needed + 1);
        DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return false;
        if (length < buffer.size()) {
            out.assign(buffer.data(), length);
            return true;
        }
        needed = length;  // grew meanwhile: the answer is the size needed
    }
    return false;
}

DATE FileTimeToDate(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME st{};
    DATE date = 0;
    if (!::FileTimeToLocalFileTime(&time, &local) || !::FileTimeToSystemTime(&local, &st)) return 0;
    st.wMilliseconds = 0;
    ::SystemTimeToVariantTime(&st, &date);
    return date;
}

bool DateToFileTime(DATE date, FILETIME& time) {
    SYSTEMTIME st{};
    if (!::VariantTimeToSystemTime(date, &st)) return false;
    st.wMilliseconds = 0;
    FILETIME local{};
    return ::SystemTimeToFileTime(&st, &local) && ::LocalFileTimeToFileTime(&local, &time);
}

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[16] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16) > 0) return buffer;
    return fallback;
}

// The number with the user's separators, rounded to the given digits; grouping when asked.
std::wstring FormatNumber(double value, int digits, bool grouping) {
    std::wstring decimal = LocaleText(LOCALE_SDECIMAL, L"."), thousand = LocaleText(LOCALE_STHOUSAND, L",");
    const std::wstring groups = LocaleText(LOCALE_SGROUPING, L"3;0");
    const std::wstring negative = LocaleText(LOCALE_INEGNUMBER, L"1");
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(digits);
    format.LeadingZero = 1;
    // "3;0" means groups of three; "3;2;0" (Indian) is 32 in this record's form.
    format.Grouping = 0;
    if (grouping)
        for (wchar_t c : groups)
            if (c >= L'1' && c <= L'9') format.Grouping = format.Grouping * 10 + static_cast<UINT>(c - L'0');
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = static_cast<UINT>(std::wcstoul(negative.c_str(), nullptr, 10));
    wchar_t number[64];
    std::swprintf(number, 64, L"%.6f", value);
    wchar_t out[96] = {};
    if (::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, number, &format, out, 96) > 0) return out;
    return number;
}

}  // namespace

std::wstring fileinfo::TrimNull(const std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul == std::wstring::npos) return Trim(text);
    return text.substr(0, nul);
}

std::wstring fileinfo::GetProperPath(const std::wstring& folder) {
    std::wstring path = folder;
    if (!path.empty() && path.back() == L'\\') {
        if (path.size() >= 2 && path[path.size() - 2] == L':') return Upper(path);  // a drive root
        path.pop_back();
    }
    if (path.rfind(L"\\\\", 0) == 0) {
        const size_t server = path.find(L'\\', 2);
        if (server != std::wstring::npos && path.find(L'\\', server + 1) == std::wstring::npos)
            return path;  // \\server\share
    }
    const size_t last = path.rfind(L'\\');
    if (last == std::wstring::npos) return Upper(path);  // a drive name with its colon
    const std::wstring parent = GetProperPath(path.substr(0, last));
    WIN32_FIND_DATAW found{};
    win::UniqueFind find(::FindFirstFileW(LongForm(path).c_str(), &found));
    if (!find || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return L"";
    return parent + L"\\" + TrimNull(found.cFileName);
}

void clsFileInfo::FullPathName(const std::wstring& path) {
    std::wstring full;
    const bool expanded = SizedCall(
        [&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr); },
        full);
    if (!expanded) return;
    fullPathName_ = full;
    Refresh();
}

void clsFileInfo::Refresh() {
    // The folder's existence is read at every refresh, found or not.
    const size_t slash = fullPathName_.rfind(L'\\');
    if (slash != std::wstring::npos) {
        const DWORD folder = ::GetFileAttributesW(LongForm(fullPathName_.substr(0, slash + 1)).c_str());
        pathExists_ = folder != INVALID_FILE_ATTRIBUTES && (folder & FILE_ATTRIBUTE_DIRECTORY);
    }
    // A pattern would describe whichever file happened to match it.
    WIN32_FIND_DATAW record{};
    win::UniqueFind find;
    if (!HasWildcard(fullPathName_)) find.reset(::FindFirstFileW(LongForm(fullPathName_).c_str(), &record));
    if (!find) {
        fileExists_ = false;
        return;
    }
    find.reset();

    attributes_ = static_cast<int32_t>(record.dwFileAttributes);
    fileSize_ = static_cast<int32_t>(record.nFileSizeLow);
    fileSizeHigh_ = static_cast<int32_t>(record.nFileSizeHigh);
    fileExists_ = true;
    pathExists_ = true;
    creationTime_ = FileTimeToDate(record.ftCreationTime);
    lastAccessTime_ = FileTimeToDate(record.ftLastAccessTime);
    modifyTime_ = FileTimeToDate(record.ftLastWriteTime);
    fileName_ = fileinfo::TrimNull(std::wstring(record.cFileName, MAX_PATH));

    if (slash != std::wstring::npos) {
        filePath_ = fileinfo::GetProperPath(fullPathName_.substr(0, slash));
        if (filePath_.empty() || filePath_.back() != L'\\') filePath_ += L'\\';
    }
    fullPathName_ = filePath_ + fileName_;

    const size_t dot = fileName_.rfind(L'.');
    fileExtension_ = dot == std::wstring::npos ? L"" : fileName_.substr(dot + 1);

    if (record.cAlternateFileName[0] == L'\0')
        shortName_ = Upper(fileName_);
    else
        shortName_ = fileinfo::TrimNull(std::wstring(record.cAlternateFileName, 14));

    std::wstring shortPath;
    const std::wstring longForm = LongForm(fullPathName_);
    if (SizedCall([&](wchar_t* buffer, DWORD size) { return ::GetShortPathNameW(longForm.c_str(), buffer, size); },
                  shortPath)) {
        if (longForm != fullPathName_) {  // give it back without the prefix we added
            if (shortPath.rfind(L"\\\\?\\UNC\\", 0) == 0)
                shortPath.replace(0, 8, L"\\\\");
            else if (shortPath.rfind(L"\\\\?\\", 0) == 0)
                shortPath.erase(0, 4);
        }
        shortPathName_ = shortPath;
        shortPath_ = shortPathName_.substr(0, shortPathName_.size() - std::min(shortName_.size(), shortPathName_.size()));
    }

    DWORD high = 0;
    const DWORD low = ::GetCompressedFileSizeW(longForm.c_str(), &high);
    compressedFileSize_ = static_cast<int32_t>(low);
    compressedFileSizeHigh_ = static_cast<int32_t>(high);

    icon_.reset();
    SHFILEINFOW shell{};
    ::SHGetFileInfoW(fullPathName_.c_str(), 0, &shell, sizeof shell,
                     SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
    displayName_ = fileinfo::TrimNull(std::wstring(shell.szDisplayName, MAX_PATH));
    typeName_ = fileinfo::TrimNull(std::wstring(shell.szTypeName, 80));
    icon_.reset(shell.hIcon);
    if (Trim(typeName_).empty()) typeName_ = Trim(Upper(fileExtension_) + L" File");
}

bool clsFileInfo::ApplyFileTime(DATE value, int kind) const {
    if (!fileExists_) return false;
    FILETIME time{};
    if (!DateToFileTime(value, time)) return false;
    win::UniqueFile file(::CreateFileW(LongForm(fullPathName_).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    switch (kind) {
    case 0: return ::SetFileTime(file.get(), &time, nullptr, nullptr) != 0;
    case 1: return ::SetFileTime(file.get(), nullptr, &time, nullptr) != 0;
    case 2: return ::SetFileTime(file.get(), nullptr, nullptr, &time) != 0;
    default: return false;
    }
}

void clsFileInfo::CreationTime(DATE value) {
    if (ApplyFileTime(value, 0)) Refresh();
}

void clsFileInfo::LastAccessTime(DATE value) {
    if (ApplyFileTime(value, 1)) Refresh();
}

void clsFileInfo::ModifyTime(DATE value) {
    if (ApplyFileTime(value, 2)) Refresh();
}

void clsFileInfo::Attributes(int32_t value) {
    if (value == attributes_) return;
    if (!fileExists_) return;
    if (::SetFileAttributesW(LongForm(fullPathName_).c_str(), static_cast<DWORD>(value))) Refresh();
}

void clsFileInfo::SetBit(DWORD bit, bool on) {
    DWORD bits = static_cast<DWORD>(attributes_);
    bits = on ? (bits | bit) : (bits & ~bit);
    Attributes(static_cast<int32_t>(bits));
}

std::wstring clsFileInfo::FormatFileDate(DATE value) const {
    SYSTEMTIME st{};
    if (!::VariantTimeToSystemTime(value, &st)) return L"";
    wchar_t date[128] = {}, time[128] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, date, 128);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

std::wstring clsFileInfo::FormatFileSize(int32_t size) const {
    if (size < 1024) return FormatNumber(size, 0, true) + L" bytes";
    const int32_t k = size / 1024;
    double value = size / 1024.0;
    int digits = 0;
    const wchar_t* unit = L"KB";
    if (k < 10) {
        digits = 2;
    } else if (k < 100) {
        digits = 1;
    } else if (k < 1000) {
        digits = 0;
    } else {
        unit = L"MB";
        value = size / 1048576.0;
        if (k < 10000) digits = 2;
        else if (k < 100000) digits = 1;
        else if (k < 1000000) digits = 0;
        else {
            unit = L"GB";
            value = size / 1048576.0 / 1024.0;
            digits = 2;
        }
    }
    return FormatNumber(value, digits, false) + unit + L" (" + FormatNumber(size, 0, true) + L" bytes)";
}

}  // namespace quorallion
