// The child of the mutation pass: loads every file named in a list through the image object's
// load entries, one after another. Before each file it writes the file's number to the progress
// file, so that when the process dies the parent knows which file did it and starts a new child
// after it. Usage: image_load_child <list file> <progress file> <first index>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "c32bppDIB.h"
#include "codecs/cBMPparser.h"

using namespace quorallion;

namespace {

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20)) {
        bytes.resize(size_t(size.QuadPart));
        DWORD got = 0;
        if (!bytes.empty() && !::ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr)) bytes.clear();
    }
    ::CloseHandle(file);
    return bytes;
}

// "index step": step 0 the file by name, 1 the bytes from an array, 2 the BMP step alone.
void WriteProgress(const std::wstring& path, size_t index, int step) {
    // Written through to the disk before the load starts: the process may not live to flush it.
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = std::to_string(index) + " " + std::to_string(step);
    DWORD written = 0;
    ::WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

// A fault ends the process at once with the exception's code, after naming the module and
// offset where it happened: no debugger is started.
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS* exception) {
    void* address = exception->ExceptionRecord->ExceptionAddress;
    HMODULE module = nullptr;
    wchar_t name[MAX_PATH] = L"?";
    if (::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             static_cast<LPCWSTR>(address), &module))
        ::GetModuleFileNameW(module, name, MAX_PATH);
    std::fprintf(stderr, "image_load_child: exception %08lx in %ls+%llx\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode), name,
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module)));
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    ::SetUnhandledExceptionFilter(&EndAtOnce);
    // No error boxes: a fault ends the process at once, which is what the parent looks for.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::CoInitialize(nullptr);
    std::vector<std::wstring> files;
    {
        std::wifstream list(argv[1]);
        for (std::wstring line; std::getline(list, line);)
            if (!line.empty()) files.push_back(line);
    }
    const size_t first = size_t(_wtoi(argv[3]));
    for (size_t i = first; i < files.size(); ++i) {
        WriteProgress(argv[2], i, 0);
        const std::vector<uint8_t> bytes = ReadAll(files[i]);
        {
            c32bppDIB image;
            image.LoadPicture_File(files[i], 32, 32, true);
        }
        if (bytes.size() >= 20) {
            // From the middle of a larger array, as the clipboard and resources hand bytes over.
            std::vector<uint8_t> array(100 + bytes.size() + 50, 0x24);
            std::fill(array.begin(), array.begin() + 100, uint8_t(0x42));
            std::copy(bytes.begin(), bytes.end(), array.begin() + 100);
            WriteProgress(argv[2], i, 1);
            c32bppDIB image;
            image.LoadPicture_Stream(array, 48, 48, 100, int64_t(bytes.size()), false, 8);
            WriteProgress(argv[2], i, 2);
            // The BMP step alone, with the platform's loader behind it, whatever the bytes are.
            c32bppDIB bmp;
            cBMPparser().LoadStream(array, bmp, 100, int64_t(bytes.size()));
        }
    }
    WriteProgress(argv[2], files.size(), 0);
    ::CoUninitialize();
    return 0;
}
