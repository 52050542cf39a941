// The Office application choice and the registration repair against the test prefix's registry:
// App Paths and LocalServer32 values in both registry views, the repair memo of the paste road.
// Every key the test touches is put back as it was at the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "office/office_registration.h"
#include "process_state.h"

namespace {

using namespace quorallion;

const std::wstring kAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Winword.exe";
const std::wstring kWordServer = L"CLSID\\{000209FF-0000-0000-C000-000000000046}\\LocalServer32";
const std::wstring kExcelServer = L"CLSID\\{00024500-0000-0000-C000-000000000046}\\LocalServer32";

struct Place {
    HKEY root;
    std::wstring path;
    REGSAM view;
};

std::optional<std::wstring> Read(const Place& p) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(p.root, p.path.c_str(), 0, KEY_QUERY_VALUE | p.view, &key) != ERROR_SUCCESS) return std::nullopt;
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t), type = 0;
    LONG status = ::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::wstring();
    return std::wstring(buffer);
}

void Write(const Place& p, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(p.root, p.path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | p.view, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void Remove(const Place& p) { ::RegDeleteKeyExW(p.root, p.path.c_str(), p.view, 0); }

// Saves the places at construction and puts them back at destruction.
class RegistrySnapshot {
public:
    explicit RegistrySnapshot(std::vector<Place> places) : places_(std::move(places)) {
        for (const Place& p : places_) saved_.push_back(Read(p));
    }
    ~RegistrySnapshot() {
        for (size_t i = 0; i < places_.size(); ++i) {
            if (saved_[i]) Write(places_[i], *saved_[i]);
            else Remove(places_[i]);
        }
    }

private:
    std::vector<Place> places_;
    std::vector<std::optional<std::wstring>> saved_;
};

class OfficeRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"Quorallion Office Test\\";
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        program_ = folder_ + L"WINWORD.EXE";
        HANDLE f = ::CreateFileW(program_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(f);
        Process().officeRepairDone = false;
        for (const Place& p : places_) Remove(p);
    }
    void TearDown() override {
        ::DeleteFileW(program_.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

    const Place appPaths64{HKEY_LOCAL_MACHINE, kAppPaths, KEY_WOW64_64KEY};
    const Place appPaths32{HKEY_LOCAL_MACHINE, kAppPaths, KEY_WOW64_32KEY};
    const Place userWord64{HKEY_CURRENT_USER, L"Software\\Classes\\" + kWordServer, KEY_WOW64_64KEY};
    const Place classesWord32{HKEY_CLASSES_ROOT, kWordServer, KEY_WOW64_32KEY};
    const Place classesWord64{HKEY_CLASSES_ROOT, kWordServer, KEY_WOW64_64KEY};
    const Place userExcel64{HKEY_CURRENT_USER, L"Software\\Classes\\" + kExcelServer, KEY_WOW64_64KEY};
    const std::vector<Place> places_{appPaths64, appPaths32, userWord64, classesWord32, classesWord64, userExcel64};
    RegistrySnapshot snapshot_{places_};
    std::wstring folder_, program_;
};

TEST_F(OfficeRegistration, InstalledOnlyWhenAppPathsNamesAnExistingFileInEitherView) {
    EXPECT_FALSE(basPublic::IsMsOfficeInstalled(L"doc"));
    Write(appPaths32, program_);  // 32-bit Office on 64-bit Windows
    EXPECT_TRUE(basPublic::IsMsOfficeInstalled(L"doc"));
    Remove(appPaths32);
    const struct {
        std::wstring value;
        bool installed;
    } cases[] = {{program_, true},
                 {L"\"" + program_ + L"\"", false},  // taken literally
                 {program_ + L" /x", false},
                 {folder_.substr(0, folder_.size() - 1), false},  // a folder
                 {L"", false}};
    for (const auto& c : cases) {
        Write(appPaths64, c.value);
        EXPECT_EQ(basPublic::IsMsOfficeInstalled(L"doc"), c.installed) << c.value;
    }
}

TEST_F(OfficeRegistration, RepairRewritesOnlyValuesNamingWpsInBothViews) {
    Write(appPaths64, program_);
    const std::wstring wps = L"\"C:\\Program Files\\Kingsoft\\WPS Office\\WPS.EXE\" /Automation";
    Write(userWord64, wps);
    Write(classesWord32, wps);
    Write(classesWord64, L"C:\\Office\\WINWORD.EXE /Automation");
    EXPECT_TRUE(basPublic::RepairOfficeLocalServer32(L"doc"));
    const std::wstring expected = L"\"" + program_ + L"\" /Automation";  // the folder has a blank
    EXPECT_EQ(Read(userWord64).value_or(L"<none>"), expected);
    EXPECT_EQ(Read(classesWord32).value_or(L"<none>"), expected);
    EXPECT_EQ(Read(classesWord64).value_or(L"<none>"), L"C:\\Office\\WINWORD.EXE /Automation");
    // Nothing left to repair now.
    EXPECT_FALSE(basPublic::RepairOfficeLocalServer32(L"doc"));
}

TEST_F(OfficeRegistration, NoOfficeNoRepair) {
    Write(userWord64, L"C:\\wps\\wps.exe /Automation");
    EXPECT_FALSE(basPublic::RepairOfficeLocalServer32(L"doc"));
    EXPECT_EQ(Read(userWord64).value_or(L""), L"C:\\wps\\wps.exe /Automation");
    EXPECT_EQ(office::ChooseWordApplication(L""), L"wps");     // automatic: WPS
    EXPECT_EQ(office::ChooseWordApplication(L"1"), L"doc");    // Office asked for: tried anyway
    EXPECT_EQ(office::ChooseWordApplication(L"2"), L"wps");
    EXPECT_EQ(office::ChooseWordApplication(L"yes"), L"wps");  // counts as automatic
}

TEST_F(OfficeRegistration, FileRoadRepairsEveryTimeAndFailsWithWpsCompat) {
    Write(appPaths64, program_);
    EXPECT_EQ(office::ChooseWordApplication(L"0"), L"doc");
    Write(userWord64, L"C:\\wps\\WPS.exe /Automation");
    EXPECT_EQ(office::ChooseWordApplication(L"0"), L"");  // repaired: "wpscompat"
    EXPECT_EQ(office::ChooseWordApplication(L"0"), L"doc");
    Write(userWord64, L"C:\\wps\\WPS.exe /Automation");
    EXPECT_EQ(office::ChooseWordApplication(L"1"), L"");
    EXPECT_EQ(office::ChooseWordApplication(L"2"), L"wps");  // WPS asked for: no repair
}

TEST_F(OfficeRegistration, PasteRoadRepairsOnceThenAnswersFromTheMemo) {
    Write(appPaths64, program_);
    EXPECT_EQ(office::ChooseWordPasteApplication(L"et"), L"wps");
    EXPECT_EQ(office::ChooseWordPasteApplication(L""), L"wps");
    EXPECT_EQ(office::ChooseWordPasteApplication(L"word"), L"doc");  // nothing to repair
    EXPECT_FALSE(Process().officeRepairDone);

    Write(userWord64, L"C:\\wps\\wps.exe /Automation");
    Write(userExcel64, L"C:\\wps\\et.exe /Automation");  // no Excel installed: stays
    EXPECT_EQ(office::ChooseWordPasteApplication(L"word"), L"");
    EXPECT_TRUE(Process().officeRepairDone);
    // From now on the memo answers, without touching the registry.
    Write(userWord64, L"C:\\wps\\wps.exe /Automation");
    EXPECT_EQ(office::ChooseWordPasteApplication(L"word"), L"");
    EXPECT_EQ(Read(userWord64).value_or(L""), L"C:\\wps\\wps.exe /Automation");
    EXPECT_EQ(Read(userExcel64).value_or(L""), L"C:\\wps\\et.exe /Automation");
    // A new core object clears the memo (as Core15200's constructor does).
    Process().officeRepairDone = false;
    EXPECT_EQ(office::ChooseWordPasteApplication(L"word"), L"");
    EXPECT_EQ(Read(userWord64).value_or(L""), L"\"" + program_ + L"\" /Automation");
}

}  // namespace
