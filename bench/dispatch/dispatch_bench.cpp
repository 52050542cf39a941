// Prints the round trips per second of "config" through QuorallionIC.dll (two process hops:
// dispatcher, then core) beside the cost of two empty cross-process IDispatch calls, and the
// share that our code adds.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "support/dispatch_client.h"

using Clock = std::chrono::steady_clock;
using BridgeGetInfo = const char*(__cdecl*)(const char*, const char*, const char*, const char*,
                                            const char*, const char*);
using BridgeRelease = void(__cdecl*)();

namespace {

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Calls a member the server does not have: the marshaling of n string arguments and the round
// trip, with none of our code behind it.
double TimeEmptyCalls(IDispatch* object, unsigned argCount, int calls) {
    VARIANT args[6];
    for (unsigned i = 0; i < argCount; ++i) {
        ::VariantInit(&args[i]);
        args[i].vt = VT_BSTR;
        args[i].bstrVal = ::SysAllocString(i == argCount - 2 ? L"config" : L"");
    }
    DISPPARAMS params{args, nullptr, argCount, 0};
    auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        VARIANT result;
        ::VariantInit(&result);
        object->Invoke(0x7777, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                       nullptr, nullptr);
        ::VariantClear(&result);
    }
    double seconds = Seconds(start);
    for (unsigned i = 0; i < argCount; ++i) ::VariantClear(&args[i]);
    return seconds;
}

}  // namespace

int main() {
    const int calls = 1000;
    HMODULE bridge = ::LoadLibraryW(L"QuorallionIC.dll");
    auto getInfo = reinterpret_cast<BridgeGetInfo>(reinterpret_cast<void*>(::GetProcAddress(bridge, "GetInfo")));
    auto release = reinterpret_cast<BridgeRelease>(reinterpret_cast<void*>(::GetProcAddress(bridge, "Release")));
    if (!getInfo || !release) {
        std::printf("QuorallionIC.dll not found beside this program\n");
        return 1;
    }
    std::printf("first reply: %s\n", getInfo("15200", "{}", "config", "", "", ""));
    auto start = Clock::now();
    for (int i = 0; i < calls; ++i) getInfo("15200", "{}", "config", "", "", "");
    const double bridgeSeconds = Seconds(start);

    double bareSeconds = 0;
    {
        quorallion::testing::ComApartment apartment;
        quorallion::testing::DispatchClient dispatcher, core;
        if (FAILED(dispatcher.Create(L"QuorallionICore.ICore")) ||
            FAILED(core.Create(L"QuorallionCore2.Core15200"))) {
            std::printf("the dispatcher or the core is not registered\n");
            return 1;
        }
        bareSeconds = TimeEmptyCalls(dispatcher.get(), 6, calls) + TimeEmptyCalls(core.get(), 5, calls);
    }
    release();

    std::printf("\"config\" through the bridge:        %8.0f round trips/s\n", calls / bridgeSeconds);
    std::printf("two empty cross-process calls:       %8.0f round trips/s\n", calls / bareSeconds);
    std::printf("our code's share of a bridge call:   %8.1f %% (goal: under 20 %%)\n",
                100.0 * (bridgeSeconds - bareSeconds) / bareSeconds);
    return 0;
}
