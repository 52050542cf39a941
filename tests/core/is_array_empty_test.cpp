// basPublic.IsArrayEmpty over the values a caller can hand it.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include "public/basPublic_win.h"

using quorallion::basPublic::IsArrayEmpty;

TEST(IsArrayEmpty, NeverSizedOrNoArrayIsEmptySizedToNothingIsNot) {
    VARIANT value;
    ::VariantInit(&value);
    EXPECT_TRUE(IsArrayEmpty(value)) << "empty value";
    value.vt = VT_I4;
    value.lVal = 7;
    EXPECT_TRUE(IsArrayEmpty(value)) << "a number";
    value.vt = VT_ARRAY | VT_UI1;
    value.parray = nullptr;
    EXPECT_TRUE(IsArrayEmpty(value)) << "declared, never sized";

    // What splitting an empty text gives: bounds 0 to -1.
    SAFEARRAY* none = ::SafeArrayCreateVector(VT_BSTR, 0, 0);
    ASSERT_NE(none, nullptr);
    value.vt = VT_ARRAY | VT_BSTR;
    value.parray = none;
    EXPECT_FALSE(IsArrayEmpty(value));
    SAFEARRAY* three = ::SafeArrayCreateVector(VT_UI1, 0, 3);
    value.vt = VT_ARRAY | VT_UI1;
    value.parray = three;
    EXPECT_FALSE(IsArrayEmpty(value));

    // Passed by reference, and through a variant by reference.
    VARIANT byRef;
    ::VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_ARRAY | VT_UI1;
    byRef.pparray = &three;
    EXPECT_FALSE(IsArrayEmpty(byRef));
    SAFEARRAY* unsized = nullptr;
    byRef.pparray = &unsized;
    EXPECT_TRUE(IsArrayEmpty(byRef));
    VARIANT outer;
    ::VariantInit(&outer);
    outer.vt = VT_BYREF | VT_VARIANT;
    outer.pvarVal = &value;
    EXPECT_FALSE(IsArrayEmpty(outer));

    ::SafeArrayDestroy(none);
    ::SafeArrayDestroy(three);
}
