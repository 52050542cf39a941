// quorallion_host: the outside host of QuorallionIC.dll in its simplest form.
//
//   quorallion_host <version> <config> <action> [param1] [param2] [param3]
//       one GetInfo call; the reply is printed as UTF-8 on one line.
//   quorallion_host
//       reads calls from standard input, one a line, the six texts separated by TAB; the line
//       "release" calls Release. Each reply is printed on one line.
// A reply of {"state":"wait"} is followed by "asyncresult" calls until the job ends.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "support/utf8.h"

namespace {

using GetInfoFunction = const char*(__cdecl*)(const char*, const char*, const char*, const char*,
                                              const char*, const char*);
using ReleaseFunction = void(__cdecl*)();

constexpr char kWait[] = "{\"state\":\"wait\"}";

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

class Bridge {
public:
    bool Load() {
        module_ = ::LoadLibraryW(L"QuorallionIC.dll");
        if (!module_) return false;
        getInfo_ = reinterpret_cast<GetInfoFunction>(reinterpret_cast<void*>(::GetProcAddress(module_, "GetInfo")));
        release_ = reinterpret_cast<ReleaseFunction>(reinterpret_cast<void*>(::GetProcAddress(module_, "Release")));
        return getInfo_ && release_;
    }

    // One request: the call, then "asyncresult" with the same version and configuration while
    // the job runs. The bridge's buffers are never freed: it exports nothing to free them with.
    std::string Request(std::vector<std::string> texts) {
        texts.resize(6);
        const char* reply = getInfo_(texts[0].c_str(), texts[1].c_str(), texts[2].c_str(),
                                     texts[3].c_str(), texts[4].c_str(), texts[5].c_str());
        for (int i = 0; i < 6000 && reply && std::string(reply) == kWait; ++i) {
            ::Sleep(50);
            reply = getInfo_(texts[0].c_str(), texts[1].c_str(), "asyncresult", "", "", "");
        }
        return reply ? reply : "";
    }

    void Release() { release_(); }

private:
    HMODULE module_ = nullptr;  // stays loaded until the process ends
    GetInfoFunction getInfo_ = nullptr;
    ReleaseFunction release_ = nullptr;
};

void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Bridge bridge;
    if (!bridge.Load()) {
        std::fprintf(stderr, "quorallion_host: cannot load QuorallionIC.dll or its exports\n");
        return 2;
    }
    if (argc > 1) {
        if (argc < 4) {
            std::fprintf(stderr, "usage: quorallion_host <version> <config> <action> [p1] [p2] [p3]\n");
            return 2;
        }
        std::vector<std::string> texts;
        for (int i = 1; i < argc && i <= 6; ++i) texts.push_back(quorallion::testing::Utf8(argv[i]));
        PrintLine(bridge.Request(texts));
        bridge.Release();
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "release") {
            bridge.Release();
            PrintLine("released");
        } else {
            PrintLine(bridge.Request(SplitTabs(line)));
        }
    }
    bridge.Release();  // lets the dispatcher end now rather than when COM notices our exit
    return 0;
}
