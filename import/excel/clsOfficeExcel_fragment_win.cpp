// A published sheet page, or spreadsheet HTML, as a sheet fragment: the head's style rules and the
// content of the sheet's container (or of the body), in one style block and one centred div.
// The rule-by-rule clean-up of the styles and the body is not part of this build yet.
#include <string>
#include <vector>

#include "excel/clsOfficeExcel.h"
#include "public/basPublic_win.h"
#include "regex/basRegExp.h"

namespace quorallion {

std::wstring clsOfficeExcel::OptimizeHTML(const std::wstring& text, bool published) {
    std::wstring id, body, styles;
    try {
        const std::wstring head =
            basRegExp::RegExpReplace(text, L"^[\\s\\S]*?<head\\b[^>]*?>([\\s\\S]*?)</head>[\\s\\S]*$", L"$1");
        const std::wstring bodyPattern = L"^[\\s\\S]*?<body\\b[^>]*?>([\\s\\S]*)</body>[\\s\\S]*?$";
        if (published) {
            const std::wstring container =
                L"^[\\s\\S]*?<div[^>]*?\\sid=['\"]?(Quorallion_Sheet[0-9]+?)['\"][^>]*?>([\\s\\S]*)</div>[\\s\\S]*?$";
            body = basRegExp::RegExpReplace(text, container, L"$2");
            if (body != text) id = basRegExp::RegExpReplace(text, container, L"$1");
            else body = basRegExp::RegExpReplace(text, bodyPattern, L"$1");
        } else {
            body = basRegExp::RegExpReplace(text, bodyPattern, L"$1");
        }
        std::vector<RegExpMatch> matches = basRegExp::RegExpExecute(head, L"<style\\b[^>]*?>[\\s\\S]+?</style>");
        for (const RegExpMatch& match : matches) {
            if (!styles.empty()) styles += L"\r\n";
            styles += match.Value;
        }
        styles = basRegExp::RegExpReplace(styles, L"</?style\\b[^>]*?>", L"");
    } catch (const RegExpError&) {
    }
    if (id.empty()) id = L"Quorallion_Sheet" + basPublic::RandomDigits(5);
    return L"<style id=\"" + id + L"_Styles\">\r\n" + styles + L"\r\n</style><div id=\"" + id + L"\" align=\"center\">" +
           body + L"</div>";
}

}  // namespace quorallion
