// The call helper against zlib1.dll (shipped beside the binaries) and against functions of this
// program called by address.
#include <gtest/gtest.h>

#include <cstring>

#include "cCDECL.h"

using quorallion::CdeclArg;
using quorallion::CdeclError;
using quorallion::cCDECL;

namespace {

constexpr int32_t kBase = static_cast<int32_t>(0x80040000);

int64_t SumOfSixteen(int64_t a, int64_t b, int64_t c, int64_t d, int64_t e, int64_t f, int64_t g, int64_t h,
                     int64_t i, int64_t j, int64_t k, int64_t l, int64_t m, int64_t n, int64_t o, int64_t p) {
    return a + 2 * b + 3 * c + d + e + f + g + h + i + j + k + l + m + n + o + 100 * p;
}
int64_t ReturnsOne() { return 1; }
double Half(int64_t value) { return value / 2.0; }

std::vector<VARIANT> Args(std::initializer_list<int64_t> values) {
    std::vector<VARIANT> args;
    for (int64_t v : values) args.push_back(CdeclArg(v));
    return args;
}

// Runs `call` and answers the error number it raised, or 0.
template <typename Call>
int32_t ErrorOf(Call call, std::wstring* source = nullptr) {
    try {
        call();
    } catch (const CdeclError& error) {
        if (source) *source = error.Source;
        return error.Number;
    }
    return 0;
}

}  // namespace

TEST(cCDECL, ZlibRoundTripThroughCrcCompressAndUncompress) {
    cCDECL zlib;
    const char text[] = "hello hello hello hello";
    VARIANT crc = zlib.CallFunc(L"zlib1.dll", quorallion::retInt32, L"crc32",
                                {CdeclArg(0), CdeclArg(text), CdeclArg(int64_t(sizeof text - 1))});
    ASSERT_EQ(crc.vt, VT_I4);
    EXPECT_EQ(static_cast<uint32_t>(crc.lVal), 0x8D3D51E3u) << std::hex << crc.lVal;

    std::vector<uint8_t> packed(128);
    uint32_t packedSize = static_cast<uint32_t>(packed.size());
    VARIANT status = zlib.CallFunc(L"ZLIB1.DLL", quorallion::retInt32, L"compress2",
                                   {CdeclArg(packed.data()), CdeclArg(&packedSize), CdeclArg(text),
                                    CdeclArg(int64_t(sizeof text - 1)), CdeclArg(9)});
    ASSERT_EQ(status.lVal, 0);
    char unpacked[64] = {};
    uint32_t unpackedSize = sizeof unpacked;
    status = zlib.CallFunc(L"zlib1.dll", quorallion::retInt32, L"uncompress",
                           {CdeclArg(unpacked), CdeclArg(&unpackedSize), CdeclArg(packed.data()),
                            CdeclArg(int64_t(packedSize))});
    ASSERT_EQ(status.lVal, 0);
    EXPECT_EQ(std::string(unpacked, unpackedSize), std::string(text));
}

TEST(cCDECL, ErrorsCarryTheirNumbersAndLeaveTheCachesUsable) {
    cCDECL call;
    std::wstring source;
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"zlib1.dll", 2, L"zlibVersion", Args({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17})); }, &source),
              kBase + 2);
    EXPECT_EQ(source, L"cCallFunc2.CallFunc");
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"no-such-library.dll", 2, L"x"); }), kBase + 0);
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"zlib1.dll", 2, L"noSuchFunction"); }), kBase + 1);
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"zlib1.dll", 7, L"zlibVersion"); }, &source), kBase + 4);
    EXPECT_EQ(source, L"cCallFunc2.CallCommon");
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"zlib1.dll", 2, L"#0"); }), kBase + 1);
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"zlib1.dll", 2, L"#70000"); }), kBase + 1);
    EXPECT_EQ(ErrorOf([&] { call.CallPointer(2, reinterpret_cast<const void*>(&ReturnsOne), Args({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17})); }, &source),
              kBase + 3);
    EXPECT_EQ(source, L"cCallFunc2.CallPointer");
    EXPECT_EQ(ErrorOf([&] { call.CallbackCdecl(reinterpret_cast<const void*>(&ReturnsOne), 0, 0); }), kBase + 5);
    EXPECT_EQ(ErrorOf([&] { call.CallbackCdecl(reinterpret_cast<const void*>(&ReturnsOne), 0, 61); }), kBase + 5);
    EXPECT_EQ(ErrorOf([&] { call.CallbackCdecl(reinterpret_cast<const void*>(&ReturnsOne), 61, 1); }), kBase + 5);
    // A string that is not a number fails with the VARIANT conversion's own error.
    VARIANT text;
    ::VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = ::SysAllocString(L"abc");
    EXPECT_EQ(ErrorOf([&] { call.CallFunc(L"zlib1.dll", 2, L"zlibVersion", {text}); }), DISP_E_TYPEMISMATCH);
    ::VariantClear(&text);

    // After all that, the cached library and a fresh lookup still work.
    VARIANT version = call.CallFunc(L"zlib1.dll", quorallion::retInt32, L"zlibCompileFlags");
    EXPECT_EQ(version.vt, VT_I4);
}

TEST(cCDECL, CallPointerPassesSixteenArgumentsAndTypesTheResult) {
    cCDECL call;
    VARIANT sum = call.CallPointer(quorallion::retInt32, reinterpret_cast<const void*>(&SumOfSixteen),
                                   Args({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(sum.lVal, 1 + 2 + 3 + 12 + 100);
    VARIANT one = call.CallPointer(quorallion::retInt64, reinterpret_cast<const void*>(&ReturnsOne));
    ASSERT_EQ(one.vt, VT_CY);
    EXPECT_EQ(one.cyVal.int64, 1);  // shows as 0.0001
    VARIANT half = call.CallPointer(quorallion::retDouble, reinterpret_cast<const void*>(&Half), Args({5}));
    EXPECT_EQ(half.dblVal, 2.5);
    VARIANT none = call.CallPointer(quorallion::retNone, reinterpret_cast<const void*>(&ReturnsOne));
    EXPECT_EQ(none.vt, VT_EMPTY);
    // Arguments round halves to even as VARIANT conversion does.
    VARIANT realArg;
    ::VariantInit(&realArg);
    realArg.vt = VT_R8;
    realArg.dblVal = 2.5;
    VARIANT rounded = call.CallPointer(quorallion::retDouble, reinterpret_cast<const void*>(&Half), {realArg});
    EXPECT_EQ(rounded.dblVal, 1.0);
}

TEST(cCDECL, CallbackSlotsAreFixedAddressesThatReachTheFunction) {
    cCDECL call;
    auto* first = static_cast<uint8_t*>(call.CallbackCdecl(reinterpret_cast<const void*>(&SumOfSixteen), 16, 1));
    auto* last = static_cast<uint8_t*>(call.CallbackCdecl(reinterpret_cast<const void*>(&ReturnsOne), 0, 60));
    EXPECT_EQ(last - first, 3904 - 128);
    EXPECT_EQ(call.CallbackCdecl(reinterpret_cast<const void*>(&SumOfSixteen), 16, 1), first);
    VARIANT viaAdapter = call.CallPointer(quorallion::retInt32, first, Args({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(viaAdapter.lVal, 200);
}

namespace {

// An object with a hand-made method table: IUnknown, then Compare; a null entry ends the run.
struct Comparer {
    struct Table {
        void* queryInterface;
        void* addRef;
        void* release;
        void* compare;
        void* end;
    };
    const Table* table;
    int calls = 0;

    static HRESULT __stdcall QueryInterface(Comparer*, REFIID, void**) { return E_NOINTERFACE; }
    static ULONG __stdcall AddRef(Comparer*) { return 1; }
    static ULONG __stdcall Release(Comparer*) { return 1; }
    // qsort's comparator: two element addresses in, the order through the result cell.
    static HRESULT __stdcall Compare(Comparer* self, const int32_t* left, const int32_t* right, int32_t* result) {
        ++self->calls;
        *result = *left < *right ? -1 : (*left > *right ? 1 : 0);
        return S_OK;
    }
};

const Comparer::Table kComparerTable{reinterpret_cast<void*>(&Comparer::QueryInterface),
                                     reinterpret_cast<void*>(&Comparer::AddRef),
                                     reinterpret_cast<void*>(&Comparer::Release),
                                     reinterpret_cast<void*>(&Comparer::Compare), nullptr};

}  // namespace

TEST(cCDECL, QsortCallsBackIntoTheBoundObject) {
    Comparer comparer{&kComparerTable};
    auto* target = reinterpret_cast<IUnknown*>(&comparer);
    cCDECL caller;
    void* adapter = caller.CallbackObj(3 * sizeof(void*), target, 2, 1, true, 7);
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(caller.CallbackObj(3 * sizeof(void*), target, 2, 1, true, 7), adapter);  // same slot, same address

    int32_t values[] = {42, -3, 17, 0, 99, 5};
    caller.CallFunc(L"msvcrt.dll", quorallion::retNone, L"qsort",
                    {CdeclArg(values), CdeclArg(6), CdeclArg(sizeof(int32_t)), CdeclArg(adapter)});
    EXPECT_EQ(std::vector<int32_t>(values, values + 6), (std::vector<int32_t>{-3, 0, 5, 17, 42, 99}));
    EXPECT_GT(comparer.calls, 0);

    // Slot and count limits, and an ordinal past the run (Compare alone before the null entry).
    struct Case { int32_t count, ordinal, slot, error; };
    for (Case c : {Case{2, 1, 0, kBase + 6}, Case{2, 1, 61, kBase + 6}, Case{61, 1, 1, kBase + 6},
                   Case{2, 2, 1, kBase + 7}, Case{2, 0, 1, kBase + 7}}) {
        std::wstring source;
        EXPECT_EQ(ErrorOf([&] { caller.CallbackObj(3 * sizeof(void*), target, c.count, c.ordinal, true, c.slot); }, &source),
                  c.error) << c.count << " " << c.ordinal << " " << c.slot;
        EXPECT_EQ(source, L"cCallFunc2.CallbackObj");
    }
}
