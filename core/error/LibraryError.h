#pragma once
// The error every library class raises: a number, the name of its source and a description, as
// an automation caller sees them. Portable, so that classes without the Windows API raise it too.
#include <stdexcept>
#include <string>
#include <utility>

namespace quorallion {

class LibraryError : public std::runtime_error {
public:
    LibraryError(long number, std::wstring source, std::wstring description)
        : std::runtime_error(Summary(number, source)),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    long Number() const { return number_; }
    const std::wstring& Source() const { return source_; }
    const std::wstring& Description() const { return description_; }

private:
    static std::string Summary(long number, const std::wstring& source) {
        std::string text;
        for (wchar_t c : source) text += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
        return text + " error " + std::to_string(number);
    }

    long number_;
    std::wstring source_;
    std::wstring description_;
};

}  // namespace quorallion
