// quorallion_host: the outside host of QuorallionIC.dll in its simplest form.
//
//   quorallion_host [--show] <version> <config> <action> [param1] [param2] [param3]
//       one GetInfo call; the reply is printed as UTF-8 on one line.
//   quorallion_host [--show]
//       reads calls from standard input, one a line, the six texts separated by TAB; the line
//       "release" calls Release. Each reply is printed on one line.
// A reply of {"state":"wait"} is followed by "asyncresult" calls until the job ends; the reply
// printed is the one that ended it.
//
// With --show, each request is printed beside its replies as they come, for a reader rather
// than a program:
//   > <the request's texts, TAB-separated>
//   < <its reply>
// and, after a wait reply, the "asyncresult" request and the reply that ended the job; an empty
// line follows each request.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iostream>
#include <string>
#include <vector>

#include "support/utf8.h"

namespace {

using GetInfoFunction = const char*(__cdecl*)(const char*, const char*, const char*, const char*,
                                              const char*, const char*);
using ReleaseFunction = void(__cdecl*)();

constexpr char kWait[] = "{\"state\":\"wait\"}";
constexpr DWORD kPollInterval = 50;  // ms between "asyncresult" calls
constexpr int kMostPolls = 6000;     // five minutes

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

std::string JoinTabs(const std::vector<std::string>& texts) {
    std::string line;
    for (size_t i = 0; i < texts.size(); ++i) line += (i ? "\t" : "") + texts[i];
    return line;
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

    // One GetInfo call; missing texts are empty. The bridge's buffers are never freed: it exports
    // nothing to free them with.
    std::string Call(std::vector<std::string> texts) {
        texts.resize(6);
        const char* reply = getInfo_(texts[0].c_str(), texts[1].c_str(), texts[2].c_str(),
                                     texts[3].c_str(), texts[4].c_str(), texts[5].c_str());
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

class Host {
public:
    Host(Bridge& bridge, bool show) : bridge_(bridge), show_(show) {}

    // One request: the call, then "asyncresult" with the same version and configuration while
    // the job runs. Prints the reply that ended it, or with --show the request beside each reply.
    void Request(const std::vector<std::string>& texts) {
        Show("> " + JoinTabs(texts));
        std::string reply = bridge_.Call(texts);
        if (reply == kWait) {
            Show("< " + reply);
            std::vector<std::string> poll = texts;  // the same version and configuration
            poll.resize(2);
            poll.push_back("asyncresult");
            Show("> " + JoinTabs(poll) + "    (every " + std::to_string(kPollInterval) + " ms until the job ends)");
            for (int i = 0; i < kMostPolls && reply == kWait; ++i) {
                ::Sleep(kPollInterval);
                reply = bridge_.Call(poll);
            }
        }
        PrintLine(show_ ? "< " + reply : reply);
        Show("");
    }

    void Release() {
        Show("> release");
        bridge_.Release();
        PrintLine(show_ ? "< released" : "released");
        Show("");
    }

private:
    void Show(const std::string& line) const {
        if (show_) PrintLine(line);
    }

    Bridge& bridge_;
    bool show_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool show = argc > 1 && std::wcscmp(argv[1], L"--show") == 0;
    const int first = show ? 2 : 1;  // the first of the call's texts on the command line
    Bridge bridge;
    if (!bridge.Load()) {
        std::fprintf(stderr, "quorallion_host: cannot load QuorallionIC.dll or its exports\n");
        return 2;
    }
    Host host(bridge, show);
    if (argc > first) {
        if (argc < first + 3) {
            std::fprintf(stderr, "usage: quorallion_host [--show] <version> <config> <action> [p1] [p2] [p3]\n");
            return 2;
        }
        std::vector<std::string> texts;
        for (int i = first; i < argc && i < first + 6; ++i) texts.push_back(quorallion::testing::Utf8(argv[i]));
        host.Request(texts);
        bridge.Release();
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "release") {
            host.Release();
        } else {
            host.Request(SplitTabs(line));
        }
    }
    bridge.Release();  // lets the dispatcher end now rather than when COM notices our exit
    return 0;
}
