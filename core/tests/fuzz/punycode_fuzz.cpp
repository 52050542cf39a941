// Punycode decoding and re-encoding of arbitrary labels: no crash, and what decodes encodes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "punycode/clsPunyCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring label(data, data + size);  // each byte one character: ASCII and Latin-1
    try {
        std::u32string decoded = quorallion::punycode::DecodeLabel(label);
        std::wstring again;
        if (!quorallion::punycode::EncodeLabel(decoded, again)) abort();
        if (quorallion::punycode::DecodeLabel(again) != decoded) abort();
    } catch (const quorallion::PunyCodeError&) {
    }
    quorallion::clsPunyCode puny;
    std::wstring encoded = puny.DomainPunyEncode(label);
    try {
        puny.DomainPunyDecode(encoded);
    } catch (const quorallion::PunyCodeError&) {
    }
    return 0;
}
