// The Word automation conversions are not in this build yet: each answers false and leaves the
// errflag empty, so the core replies state "err" for them.
#include "word/clsOfficeWord.h"

namespace quorallion {

bool clsOfficeWord::Word2HTML(const std::wstring&, const std::wstring&, std::wstring& html,
                              std::wstring& errflag, bool) {
    html.clear();
    errflag.clear();
    return false;
}

bool clsOfficeWord::Word2Pdf(const std::wstring&, const std::wstring&, std::wstring& name,
                             std::wstring& errflag) {
    name.clear();
    errflag.clear();
    return false;
}

bool clsOfficeWord::Word2Image(const std::wstring&, const std::wstring&, std::wstring& html,
                               std::wstring& errflag) {
    html.clear();
    errflag.clear();
    return false;
}

bool clsOfficeWord::WordPaste2Image(const std::wstring&, std::wstring& image,
                                    std::wstring& errflag) {
    image.clear();
    errflag.clear();
    return false;
}

}  // namespace quorallion
