// QuorallionPdf: every page of a PDF rendered to image files by one Ghostscript run with a fixed
// argument vector. The texts go to Ghostscript as UTF-8, so any path survives the code pages.
#include <windows.h>

#include <string>
#include <vector>

#include "encoding/basUTF8ToUnicode.h"
#include "gsapi.h"
#include "p2j_arguments.h"

namespace {

enum Result : int32_t { kRan = 0, kNoInstance = 2, kNotAbsolutePath = 3 };

std::string Utf8(const wchar_t* text) {
    const std::vector<uint8_t> bytes = quorallion::basUTF8ToUnicode::StringToUTF8Bytes(text ? text : L"");
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// Exported undecorated through QuorallionPdf.def. The texts are borrowed.
extern "C" int32_t WINAPI QUORALLION_P2J(const wchar_t* pdfPath, const wchar_t* outputPattern,
                                         const wchar_t* device, int32_t resolution) {
    std::optional<std::vector<std::string>> arguments =
        quorallion::pdf::BuildP2JArguments(Utf8(device), resolution, Utf8(pdfPath), Utf8(outputPattern));
    // A relative path could read as a switch or an argument file: Ghostscript never sees it.
    if (!arguments) return kNotAbsolutePath;
    std::vector<char*> vector;
    for (std::string& argument : *arguments) vector.push_back(argument.data());
    vector.push_back(nullptr);

    void* instance = nullptr;
    if (gsapi_new_instance(&instance, nullptr) < 0) return kNoInstance;
    if (gsapi_set_arg_encoding(instance, quorallion::pdf::kArgEncodingUtf8) == 0) {
        // What was rendered shows in the output folder; the caller looks there.
        gsapi_init_with_args(instance, static_cast<int>(arguments->size()), vector.data());
    }
    gsapi_exit(instance);
    gsapi_delete_instance(instance);
    return kRan;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
