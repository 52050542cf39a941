#pragma once
// Internationalised domain names between their Unicode form and their ASCII ("xn--") form,
// label by label, with the Punycode of RFC 3492. Works on code points, so characters outside
// the Basic Multilingual Plane convert too.
#include <stdexcept>
#include <string>

namespace quorallion {

// A "xn--" label that is not valid Punycode: a number cut off, an overflow, or a decoded value
// that is no Unicode scalar value.
class PunyCodeError : public std::runtime_error {
public:
    static constexpr long kBadInput = -2147221503;  // 0x80040201
    explicit PunyCodeError(const char* what) : std::runtime_error(what) {}
    long Number() const { return kBadInput; }
};

class clsPunyCode {
public:
    // The ASCII form; the argument unchanged when the domain is not valid. Never raises.
    std::wstring DomainPunyEncode(const std::wstring& domain) const;
    // The Unicode form; the argument unchanged when the domain is not valid. Raises
    // PunyCodeError for a "xn--" label whose Punycode is broken.
    std::wstring DomainPunyDecode(const std::wstring& domain) const;
};

namespace punycode {
// RFC 3492 sections 6.2 and 6.3 over code points. Encode returns false on overflow.
bool EncodeLabel(const std::u32string& input, std::wstring& output);
// Raises PunyCodeError on bad input or overflow.
std::u32string DecodeLabel(const std::wstring& input);
}  // namespace punycode

}  // namespace quorallion
