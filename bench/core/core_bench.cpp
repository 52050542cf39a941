// Prints: round trips per second of GetInfo("config") from this process to QuorallionCore2,
// the same for an empty cross-process IDispatch call, the core's share, and the time of one
// clean-up walk over 10,000 stale job folders.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "file/basFile.h"
#include "process_state.h"
#include "public/basPublic_win.h"
#include "support/dispatch_client.h"
#include "support/temp_root.h"

using namespace quorallion;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BenchRoundTrips(int calls) {
    testing::DispatchClient core;
    if (FAILED(core.Create(L"QuorallionCore2.Core15200"))) {
        std::printf("QuorallionCore2.Core15200 is not registered\n");
        return;
    }
    core.Core(L"config");  // warm up: the server is running
    DISPID getInfo = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(L"GetInfo");
    core.get()->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &getInfo);

    // Five string arguments, last first as IDispatch takes them.
    const wchar_t* texts[5] = {L"", L"", L"", L"config", L"{}"};
    VARIANT args[5];
    for (int i = 0; i < 5; ++i) {
        ::VariantInit(&args[i]);
        args[i].vt = VT_BSTR;
        args[i].bstrVal = ::SysAllocString(texts[i]);
    }
    DISPPARAMS params{args, nullptr, 5, 0};
    auto timeCalls = [&](DISPID id) {
        auto start = Clock::now();
        for (int i = 0; i < calls; ++i) {
            VARIANT result;
            ::VariantInit(&result);
            core.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                               nullptr, nullptr);
            ::VariantClear(&result);
        }
        return Seconds(start);
    };
    const double configSeconds = timeCalls(getInfo);
    // The same call to a member the server does not have: marshaling and the round trip alone.
    const double bareSeconds = timeCalls(0x7777);
    for (VARIANT& v : args) ::VariantClear(&v);

    std::printf("GetInfo(\"config\") over COM:      %8.0f round trips/s\n", calls / configSeconds);
    std::printf("empty IDispatch call over COM:   %8.0f round trips/s\n", calls / bareSeconds);
    std::printf("core's share of a config call:   %8.1f %% (goal: under 20 %%)\n",
                100.0 * (configSeconds - bareSeconds) / bareSeconds);
}

void BenchCleanUpWalk(int folders) {
    const std::wstring root = testing::ClientTempRoot() + L"bench-walk\\";
    basFile::DeleteFolder(root);
    ::CreateDirectoryW(root.c_str(), nullptr);
    Process().tempRoot = root;
    for (int i = 0; i < folders; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"20000101000000%06d", i);
        ::CreateDirectoryW((root + name).c_str(), nullptr);
    }
    auto start = Clock::now();
    basPublic::CleanCacheRoot();
    const double seconds = Seconds(start);
    std::printf("clean-up walk over %d stale folders: %.2f s (%zu left)\n", folders, seconds,
                testing::ListNames(root).size());
    basFile::DeleteFolder(root);
}

}  // namespace

int main() {
    testing::ComApartment apartment;
    BenchRoundTrips(2000);
    BenchCleanUpWalk(10000);
    return 0;
}
