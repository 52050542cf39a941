#include <windows.h>
#include <oleauto.h>

#include "public/basPublic_win.h"

namespace quorallion::basPublic {

bool IsArrayEmpty(const VARIANT& value) {
    if (value.vt == (VT_BYREF | VT_VARIANT)) return !value.pvarVal || IsArrayEmpty(*value.pvarVal);
    if (!(value.vt & VT_ARRAY)) return true;
    SAFEARRAY* array = (value.vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
    LONG upper = 0;
    // An array declared but never sized has no descriptor; one sized 0 to -1 has a bound.
    return !array || FAILED(::SafeArrayGetUBound(array, 1, &upper));
}

}  // namespace quorallion::basPublic
