#pragma once
// What the tests that hold our own code beside the platform's "VBScript.RegExp" share: the
// engine's COM set-up, UTF-8 fixture files read as text, and failure messages that show where
// two long texts part.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <fstream>
#include <sstream>
#include <string>

namespace quorallion::testing {

// A test whose thread creates the platform's pattern objects.
class PlatformEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }
};

// A UTF-8 file as text; empty when it cannot be read.
inline std::wstring ReadUtf8File(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return L"";
    std::stringstream content;
    content << in.rdbuf();
    const std::string utf8 = content.str();
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
    return text;
}
inline std::wstring ReadUtf8File(const std::string& path) {
    return ReadUtf8File(std::wstring(path.begin(), path.end()));
}

// The start of a text in ASCII, other characters as dots.
inline std::string ShownStart(const std::wstring& text, size_t length = 100) {
    std::string out;
    for (wchar_t c : text.substr(0, length)) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '.';
    return text.size() > length ? out + "..." : out;
}

// Where two texts first differ, with a little of each from just before there.
inline std::string FirstDifference(const std::wstring& platform, const std::wstring& ours) {
    size_t i = 0;
    while (i < platform.size() && i < ours.size() && platform[i] == ours[i]) ++i;
    const size_t from = i > 30 ? i - 30 : 0;
    return "at " + std::to_string(i) + " (lengths " + std::to_string(platform.size()) + " and " +
           std::to_string(ours.size()) + ")\n  platform: \"" + ShownStart(platform.substr(from)) +
           "\"\n  ours:     \"" + ShownStart(ours.substr(from)) + "\"";
}

}  // namespace quorallion::testing
