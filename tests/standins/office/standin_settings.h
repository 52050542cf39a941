#pragma once
// The settings file of an Office stand-in (tests only): "<program folder>\<program name>.settings",
// UTF-8 lines "key=value" (blank lines and lines starting with "#" ignored), read once at start.
// Every stand-in knows "version", "startdelay" (ms before it serves its class), "createdelay" (ms
// that the class factory takes, serving messages, to make an application), "journal" (path,
// default "<program folder>\<program name>.journal") and "fail" (member names, comma-separated,
// that raise an error); each stand-in adds keys of its own.
#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>

#include "support/unix_shell.h"

namespace quorallion::standin {

class Settings {
public:
    // Reads the file beside the running program.
    static Settings& Load() {
        static Settings settings = [] {
            Settings s;
            wchar_t module[MAX_PATH * 2] = {};
            ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
            std::wstring path = module;
            const size_t dot = path.find_last_of(L'.');
            s.base_ = dot == std::wstring::npos ? path : path.substr(0, dot);
            s.program_ = path;
            if (std::optional<std::string> text = testing::ReadBytes(s.base_ + L".settings")) s.Parse(*text);
            return s;
        }();
        return settings;
    }

    std::wstring Text(const std::wstring& key, const std::wstring& fallback = L"") const {
        auto it = values_.find(key);
        return it == values_.end() ? fallback : it->second;
    }
    long Number(const std::wstring& key, long fallback = 0) const {
        auto it = values_.find(key);
        return it == values_.end() ? fallback : std::wcstol(it->second.c_str(), nullptr, 10);
    }
    // Whether the member is listed under "fail" (names compared without regard to case).
    bool Fails(const std::wstring& member) const {
        const std::wstring list = L"," + Text(L"fail") + L",";
        std::wstring needle = L"," + member + L",";
        for (size_t i = 0; i + needle.size() <= list.size(); ++i)
            if (::CompareStringOrdinal(list.c_str() + i, static_cast<int>(needle.size()), needle.c_str(),
                                       static_cast<int>(needle.size()), TRUE) == CSTR_EQUAL)
                return true;
        return false;
    }
    std::wstring JournalPath() const { return Text(L"journal", base_ + L".journal"); }
    const std::wstring& ProgramPath() const { return program_; }

private:
    void Parse(const std::string& utf8) {
        const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(units > 0 ? units : 0), L'\0');
        if (units > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), units);
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) end = text.size();
            std::wstring line = text.substr(start, end - start);
            while (!line.empty() && (line.back() == L'\r' || line.back() == L' ')) line.pop_back();
            const size_t equals = line.find(L'=');
            if (!line.empty() && line[0] != L'#' && equals != std::wstring::npos)
                values_[line.substr(0, equals)] = line.substr(equals + 1);
            start = end + 1;
        }
    }

    std::map<std::wstring, std::wstring> values_;
    std::wstring base_, program_;
};

}  // namespace quorallion::standin
