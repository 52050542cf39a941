// Registry round trips in a scratch key of the current user, in both views.
#include <gtest/gtest.h>
#include <windows.h>

#include "registry/clsRegistry.h"

using namespace quorallion;
using Bytes = std::vector<uint8_t>;

namespace {

// The view a run works in. This is a 64-bit process, where asking for the 64-bit view changes
// nothing; the 32-bit view, where the machine's software key lies elsewhere, shows that the view
// flag reaches every call.
struct View {
    const char* name;
    bool access64bit;
    REGSAM flag;  // set through the class's view flag; 0 leaves what Access64bit chose
    HKEY root;
};

class ViewRegistry : public clsRegistry {
public:
    using clsRegistry::ViewFlag;
};

class Registry : public ::testing::TestWithParam<View> {
protected:
    void SetUp() override {
        root_ = GetParam().root;
        flag_ = GetParam().flag;
        section_ = L"Software\\QuorallionFoundationTest\\" + std::to_wstring(::GetCurrentProcessId());
        registry_.Access64bit(GetParam().access64bit);
        if (flag_) registry_.ViewFlag(flag_);
        registry_.ClassKey(root_);
        registry_.SectionKey(section_);
        registry_.ValueKey(L"v");
        ASSERT_TRUE(registry_.CreateKey());
    }
    void TearDown() override {
        HKEY parent = nullptr;
        if (::RegOpenKeyExW(root_, L"Software", 0, KEY_ALL_ACCESS | flag_, &parent) == ERROR_SUCCESS) {
            ::RegDeleteTreeW(parent, L"QuorallionFoundationTest");
            ::RegCloseKey(parent);
        }
    }

    // The type and bytes actually stored, read past the class in the same view.
    std::pair<DWORD, Bytes> Stored(const wchar_t* name) {
        DWORD type = 0xdeadbeef, size = 0;
        Bytes data(1024);
        size = DWORD(data.size());
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root_, section_.c_str(), 0, KEY_QUERY_VALUE | flag_, &key) != ERROR_SUCCESS)
            return {0xdeadbeef, {}};
        LONG status = ::RegGetValueW(key, nullptr, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS) return {0xdeadbeef, {}};
        data.resize(size);
        return {type, data};
    }

    ViewRegistry registry_;
    HKEY root_ = HKEY_CURRENT_USER;
    REGSAM flag_ = 0;
    std::wstring section_;
};

struct RoundTrip {
    const char* name;
    int32_t typeWritten;
    RegistryValue value;
    DWORD typeStored;
    RegistryValue readBack;
};

TEST_P(Registry, RoundTripsOfEveryValueType) {
    ::SetEnvironmentVariableW(L"QUORALLION_TEST_HOME", L"C:\\home");
    const RoundTrip cases[] = {
        {"text", REG_SZ, std::wstring(L"plain"), REG_SZ, std::wstring(L"plain")},
        {"text outside the ANSI code page", REG_SZ, std::wstring(L"C:\\\u4E2D\u6587\\\U0001F600.exe"),
         REG_SZ, std::wstring(L"C:\\\u4E2D\u6587\\\U0001F600.exe")},
        {"environment reference becomes REG_EXPAND_SZ", REG_SZ,
         std::wstring(L"%QUORALLION_TEST_HOME%\\x"), REG_EXPAND_SZ, std::wstring(L"C:\\home\\x")},
        {"a%b%c is expandable too", REG_SZ, std::wstring(L"a%b%c"), REG_EXPAND_SZ,
         std::wstring(L"a%b%c")},
        {"adjacent percent signs stay REG_SZ", REG_EXPAND_SZ, std::wstring(L"50%%"), REG_SZ,
         std::wstring(L"50%%")},
        {"last-character percent stays REG_SZ", REG_SZ, std::wstring(L"100%"), REG_SZ,
         std::wstring(L"100%")},
        {"empty text", REG_SZ, std::wstring(), REG_SZ, std::wstring()},
        {"number as text", REG_SZ, int32_t(42), REG_SZ, std::wstring(L"42")},
        {"binary", REG_BINARY, Bytes{0, 1, 0xFF}, REG_BINARY, Bytes{0, 1, 0xFF}},
        {"dword", REG_DWORD, int32_t(-5), REG_DWORD, int32_t(-5)},
        {"big-endian type writes an ordinary dword", REG_DWORD_BIG_ENDIAN, int32_t(1), REG_DWORD,
         int32_t(1)},
    };
    for (const RoundTrip& c : cases) {
        registry_.ValueType(c.typeWritten);
        registry_.Value(c.value);
        EXPECT_EQ(Stored(L"v").first, c.typeStored) << c.name;
        registry_.ValueType(0);
        EXPECT_EQ(registry_.Value(), c.readBack) << c.name;
        EXPECT_EQ(registry_.ValueType(), int32_t(c.typeStored == REG_EXPAND_SZ ? REG_EXPAND_SZ : c.typeStored)) << c.name;
    }
}

TEST_P(Registry, ReadsTypesWrittenByOthers) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(root_, section_.c_str(), 0, KEY_SET_VALUE | flag_, &key), ERROR_SUCCESS);
    const BYTE bigEndian[] = {0, 0, 0, 1};
    ::RegSetValueExW(key, L"be", 0, REG_DWORD_BIG_ENDIAN, bigEndian, 4);
    const wchar_t multi[] = L"a\0b\0";
    ::RegSetValueExW(key, L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof(multi));
    const BYTE qword[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ::RegSetValueExW(key, L"q", 0, REG_QWORD, qword, 8);
    ::RegCloseKey(key);

    EXPECT_EQ(registry_.ValueEx(root_, section_, L"be", 0, {}), RegistryValue(int32_t(1)));
    EXPECT_EQ(registry_.ValueType(), REG_DWORD_BIG_ENDIAN);
    EXPECT_EQ(registry_.ValueEx(root_, section_, L"multi", 0, {}),
              RegistryValue(std::wstring(L"a\0b\0", 4)));
    EXPECT_EQ(registry_.ValueEx(root_, section_, L"q", 0, {}),
              RegistryValue(Bytes(qword, qword + 8)));
}

TEST_P(Registry, MissingValueGivesDefaultAndKeepsType) {
    registry_.ValueType(REG_BINARY);
    registry_.Default(std::wstring(L"fallback"));
    registry_.ValueKey(L"absent");
    EXPECT_EQ(registry_.Value(), RegistryValue(std::wstring(L"fallback")));
    EXPECT_EQ(registry_.ValueType(), REG_BINARY);
    registry_.SectionKey(section_ + L"\\missing");
    EXPECT_EQ(registry_.Value(), RegistryValue(std::wstring(L"fallback")));
    EXPECT_FALSE(registry_.KeyExists());
}

TEST_P(Registry, WritesThatCannotStoreTheirValueRaise) {
    struct Bad { int32_t type; RegistryValue value; long number; };
    const Bad cases[] = {
        {REG_DWORD, 1.5, RegistryError::kSetValueFailed},
        {REG_DWORD, std::wstring(L"1"), RegistryError::kSetValueFailed},
        {REG_DWORD_BIG_ENDIAN, std::monostate{}, RegistryError::kSetValueFailed},
        {REG_BINARY, std::wstring(L"x"), RegistryError::kKeyFailure},
        {REG_LINK, std::wstring(L"x"), RegistryError::kSetValueFailed},
    };
    registry_.ValueKey(L"bad");
    for (const Bad& c : cases) {
        registry_.ValueType(c.type);
        try {
            registry_.Value(c.value);
            ADD_FAILURE() << "no error for type " << c.type;
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.Number(), c.number) << "type " << c.type;
            EXPECT_EQ(e.Source().size() > 10 && e.Source().substr(e.Source().size() - 10) == L".cRegistry", true);
        }
        EXPECT_EQ(Stored(L"bad").first, 0xdeadbeefu) << "nothing written for type " << c.type;
    }
}

TEST_P(Registry, ValueExSetWritesDefaultForEmptyText) {
    registry_.ValueEx(root_, section_, L"d", REG_SZ, std::wstring(L"dflt"), std::wstring());
    EXPECT_EQ(registry_.ValueEx(root_, section_, L"d", 0, {}), RegistryValue(std::wstring(L"dflt")));
}

TEST_P(Registry, EnumerationDeletionAndKeys) {
    registry_.ValueType(REG_SZ);
    for (const wchar_t* name : {L"one", L"\u4E8C"}) {
        registry_.ValueKey(name);
        registry_.Value(std::wstring(L"x"));
    }
    std::vector<std::wstring> names{L"poison"};
    int32_t count = -1;
    EXPECT_TRUE(registry_.EnumerateValues(names, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"one", L"\u4E8C"}));

    const std::wstring parent = section_;
    registry_.SectionKey(parent + L"\\child\u00E9");
    EXPECT_TRUE(registry_.CreateKey());
    registry_.SectionKey(parent);
    EXPECT_TRUE(registry_.EnumerateSections(names, count));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"child\u00E9"}));

    registry_.ValueKey(L"one");
    EXPECT_TRUE(registry_.DeleteValue());
    EXPECT_THROW(registry_.DeleteValue(), RegistryError);
    registry_.SectionKey(parent + L"\\child\u00E9");
    EXPECT_TRUE(registry_.DeleteKey());
    EXPECT_FALSE(registry_.KeyExists());
    try {
        registry_.DeleteKey();
        FAIL() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), 26001);
        const std::wstring root = std::to_wstring(static_cast<int32_t>(reinterpret_cast<uintptr_t>(root_)));
        EXPECT_EQ(e.Description().rfind(L"Failed to delete registry Key: '" + root + L"',Section: '", 0), 0u);
    }
    registry_.SectionKey(parent + L"\\nothing");
    EXPECT_TRUE(registry_.EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

TEST_P(Registry, KeysLieInTheViewAskedFor) {
    // The key made in SetUp is in the run's view, and in the other view only where both share it.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(root_, section_.c_str(), 0, KEY_READ | flag_, &key), ERROR_SUCCESS);
    ::RegCloseKey(key);
    if (flag_ == KEY_WOW64_32KEY) {
        EXPECT_NE(::RegOpenKeyExW(root_, section_.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS)
            << "a key made in the 32-bit view shows in the 64-bit one";
        ViewRegistry native;
        native.ClassKey(root_);
        native.SectionKey(section_);
        EXPECT_FALSE(native.KeyExists()) << "the class without the flag sees the 32-bit view's key";
    }
}

INSTANTIATE_TEST_SUITE_P(Views, Registry,
                         ::testing::Values(View{"Default", false, 0, HKEY_CURRENT_USER},
                                           View{"Other32", false, KEY_WOW64_32KEY, HKEY_LOCAL_MACHINE}),
                         [](const ::testing::TestParamInfo<View>& param) { return std::string(param.param.name); });

TEST(RegistryMachine, NamesAreNormalised) {
    clsRegistry registry;
    registry.Machine(L"pc");
    EXPECT_EQ(registry.Machine(), L"");
    registry.Machine(L"pc1");
    EXPECT_EQ(registry.Machine(), L"\\\\pc1");
    registry.Machine(L"\\\\pc1");
    EXPECT_EQ(registry.Machine(), L"\\\\pc1");
}

TEST(RegistryAssociations, WritesUnderBothClassRootsAndChecksTheList) {
    const std::wstring className = L"QuorallionTest.doc" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring extension = L"qtx" + std::to_wstring(::GetCurrentProcessId());
    clsRegistry registry;
    try {
        registry.CreateAdditionalEXEAssociations(className, {L"a", L"b", L"c", L"d"});
        FAIL() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), RegistryError::kBadAssociationList);
    }
    registry.ClassKey(HKEY_CLASSES_ROOT);
    EXPECT_THROW(registry.CreateAdditionalEXEAssociations(className, {L"edit", L"&Edit", L"x"}),
                 RegistryError);

    try {
        registry.CreateEXEAssociation(L" C:\\a.exe ", className, L"Test document", extension,
                                      L"", false, L"", false, L"", false, L"", 0);
    } catch (const RegistryError& e) {
        GTEST_SKIP() << "class roots not writable here: " << e.Number();
    }
    auto read = [](HKEY root, const std::wstring& section) {
        clsRegistry r;
        return clsRegistry::ValueText(r.ValueEx(root, section, L"", REG_SZ, std::wstring(L"<none>")));
    };
    for (auto [root, prefix] : {std::pair{HKEY_CLASSES_ROOT, std::wstring()},
                                std::pair{HKEY_LOCAL_MACHINE, std::wstring(L"SOFTWARE\\Classes\\")}}) {
        EXPECT_EQ(read(root, prefix + L"." + extension), className);
        EXPECT_EQ(read(root, prefix + className + L"\\shell\\open"), L"&Open");
        EXPECT_EQ(read(root, prefix + className + L"\\shell\\open\\command"), L"\"C:\\a.exe\" \"%1\"");
        EXPECT_EQ(read(root, prefix + className + L"\\DefaultIcon"), L"\"C:\\a.exe\",0");
    }
    registry.ClassKey(HKEY_CLASSES_ROOT);  // the writers leave the object on HKEY_LOCAL_MACHINE
    registry.CreateAdditionalEXEAssociations(className, {L"edit", L"&Edit", L"\"C:\\a.exe\" /e \"%1\""});
    EXPECT_EQ(read(HKEY_CLASSES_ROOT, className + L"\\shell\\edit\\command"), L"\"C:\\a.exe\" /e \"%1\"");
    for (const std::wstring& prefix : {std::wstring(), std::wstring(L"SOFTWARE\\Classes\\")}) {
        HKEY root = prefix.empty() ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
        ::RegDeleteTreeW(root, (prefix + className).c_str());
        ::RegDeleteTreeW(root, (prefix + L"." + extension).c_str());
    }
}

}  // namespace
