#pragma once
// Random text made of the pieces the clean-up patterns look for (Word's conditional comments,
// empty wrappers, smart tags, style rules with Office properties, scripts), for comparing the
// clean-up steps with the engine they stand in for.
#include <random>
#include <string>
#include <vector>

namespace quorallion::html::testing {

inline std::wstring RandomHtml(std::mt19937& random, size_t pieces) {
    static const std::vector<std::wstring> kPieces = {
        L"<", L">", L"/", L"a", L"A", L" ", L"\r\n", L"{", L"}", L";", L":", L"\"", L"'", L"-",
        L"<span>", L"</span>", L"<span ", L"<SPAN class=x>", L"<b>", L"</b>", L"<font ", L"</font>",
        L"<u>", L"</u>", L"<i ", L"</i>", L"<underline>", L"</underline>",
        L"<!--", L"-->", L"<!--[if gte mso 9]>", L"<!--[if gte vml 1]>", L"<![endif]-->",
        L"<![if !vml]>", L"<![endif]>", L"<!--[if mso ", L"<![if supportMisalignedColumns]>",
        L"<![if !supportMisalignedColumns]>", L"<!--[if gte msEquation 12]>", L"<o:p>",
        L"&nbsp;", L"</o:p>", L"<a name=\"OLE_LINK1\">", L"<a name=x>", L"</a>", L"<a href=\"#x\">",
        L"<st1:City>", L"</st1:City>", L"<st1:Ci>", L"</st1:ci>", L"<script>", L"</script>",
        L"<style>", L"</style>", L"mso-a:b;", L"mso-x:\"q\";", L"color:red;", L"p.x ",
        L"st1\\:*{behavior:url(#ieooui) }", L"v\\:* {behavior:url(#default#VML);}",
        L".s {behavior:url(#default#VML)}", L"@font x{y}", L"@list l0{z}", L"/* c */", L"\x4e2d",
        L"\xa0", L"\t",
    };
    std::wstring text;
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
    for (size_t i = 0; i < pieces; ++i) text += kPieces[pick(random)];
    return text;
}

}  // namespace quorallion::html::testing
