// Colour rules, caption placement, style-9 rounding, mask distances, the hook's message tables
// and the property store, natively under the sanitizers.
#include <gtest/gtest.h>

#include "button_layout.h"
#include "colour_math.h"
#include "message_table.h"
#include "property_bag.h"

using namespace quorallion::controls;

TEST(ColourMath, TableOfRules) {
    EXPECT_EQ(NearestEven(2.5), 2);
    EXPECT_EQ(NearestEven(3.5), 4);
    EXPECT_EQ(NearestEven(-2.5), -2);
    EXPECT_EQ(NearestEven(4.4999), 4);
    EXPECT_EQ(NearestEven(1e300), INT32_MAX);
    EXPECT_EQ(MixColors(1, 2), 2u);
    EXPECT_EQ(MixColors(2, 3), 2u);
    EXPECT_EQ(LightenColor(0, 32), 0x202020u);
    for (int a = 0; a <= 255; ++a) EXPECT_EQ(LightenColor(0xFFFFFF, a), 0xFFFFFFu) << a;
    EXPECT_EQ(ShiftColor(0x102030, -0x20), 0x000010u);
    EXPECT_EQ(ShiftColor(ShiftColor(0xF0F0F0, 128), -16), 0xEFEFEFu);  // two clamped steps
    EXPECT_EQ(MaskedGrey(0x0000FF), 76);
    EXPECT_EQ(MaskedGrey(0xFF0000), 28);
    EXPECT_EQ(GrayscalePixel(0x808080), 0x808080u);
    EXPECT_EQ(GrayscalePixel(0x909090), 0x949494u);
    EXPECT_EQ(GrayscalePixel(0xFFFFFF), 0xFFFFFFu);
    EXPECT_EQ(GrayscalePixel(0xFFFFFE), 0xFFFFFFu);  // 1.03 of almost white caps at 255
    EXPECT_EQ(GrayOf(0x030303), 0x030303u);
}

TEST(ColourMath, MaskDistancesOfTheSnappingStretch) {
    EXPECT_EQ(ColourDistance(220, 230, 240, 0xFFFFFF), 75);
    EXPECT_EQ(ColourDistance(100, 255, 255, 0xFFFFFF), 155);
    EXPECT_EQ(ColourDistance(50, 255, 255, 0xFFFFFF), 205);
    MaskChannels system = SplitMask(SystemColour(15));
    EXPECT_LT(system.red, 0);  // a system colour code matches no pixel
    MaskChannels magenta = SplitMask(0xFF00FF);
    EXPECT_EQ(magenta.red, 255);
    EXPECT_EQ(magenta.green, 0);
    EXPECT_EQ(magenta.blue, 255);
}

TEST(ButtonLayout, CaptionRectanglesByAlignment) {
    // An 81 x 25 button, caption measured as (4, 4, 40, 17), face margin 3.
    const IntRect measured{4, 4, 40, 17};
    struct Case {
        int align;
        IntRect rect;
        uint32_t flags;
    } cases[] = {
        {0, {NearestEven((81 - 40 - 4) / 2.0 + 4), NearestEven((25 - 17 - 4) / 2.0 + 4), NearestEven((81 + 40 - 4) / 2.0),
             NearestEven((25 + 17 - 4) / 2.0)}, 21},
        {1, {3, 5, 43, 19}, 20},
        {2, {81 - 40 - 4 - 3, 5, 81 - 4 - 3, 19}, 22},
        {3, {NearestEven(37 / 2.0), 2, NearestEven(117 / 2.0), NearestEven(1.5 + 13)}, 17},
        {4, {18, NearestEven(25 - 13 - 1.5), 58, NearestEven(25 - 1.5)}, 25},
        {7, {4, 4, 77, 21}, 99},
    };
    for (const Case& c : cases) {
        CaptionLayout got = LayoutCaption(81, 25, measured, c.align, 3, 99, false);
        EXPECT_EQ(got.rect, c.rect) << "align " << c.align << " got " << got.rect.left << "," << got.rect.top << ","
                                    << got.rect.right << "," << got.rect.bottom;
        EXPECT_EQ(got.flags, c.flags) << c.align;
    }
    EXPECT_EQ(LayoutCaption(81, 25, measured, 0, 3, 17, true).flags, 21u | kDtRtlReading);
    // Tiny and zero sizes give rectangles, never a fault.
    EXPECT_EQ(LayoutCaption(0, 0, {4, 4, 4, 4}, 2, 7, 0, false).rect, (IntRect{-15, -1, -11, 0}));
}

TEST(ButtonLayout, StyleNineRowsRoundHalvesToEven) {
    EXPECT_EQ(HalfRow(23, -7), 4);   // 4.5
    EXPECT_EQ(HalfRow(25, -7), 6);   // 5.5
    EXPECT_EQ(HalfRow(23, -4), 8);   // 7.5
    EXPECT_LE(HalfRow(14, -7), 0);
    EXPECT_LE(HalfRow(13, -7), 0);   // -0.5 -> 0
    EXPECT_EQ(HalfRow(24, 0), 12);
}

namespace {
struct TableOp {
    const char* what;
    bool add;
    int64_t message;
    int32_t count;
    std::wstring report;
};
}  // namespace

TEST(MessageTables, OperationsGiveStateAndReports) {
    MessageTable table;
    // Fill 32 distinct messages; the 33rd overflows.
    for (int i = 1; i <= 32; ++i) ASSERT_EQ(AddMessage(table, 1000 + i), L"");
    EXPECT_EQ(table.count, 32);
    EXPECT_EQ(AddMessage(table, 2000),
              L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use ALL_MESSAGES "
              L"instead of specific message values");
    EXPECT_FALSE(table.Matches(2000));
    // A duplicate in a full table is accepted without a report, and so is a freed slot.
    EXPECT_EQ(AddMessage(table, 1005), L"");
    EXPECT_EQ(DeleteMessage(table, 1007), L"");
    EXPECT_FALSE(table.Matches(1007));
    EXPECT_EQ(AddMessage(table, 3000), L"");
    EXPECT_EQ(table.count, 32);
    EXPECT_EQ(table.slots[6], 3000u);  // the freed slot was reused

    const TableOp ops[] = {
        {"all", true, kAllMessages, -1, L""},
        {"specific after all", true, 512, 1, L""},
        {"second", true, 675, 2, L""},
        {"remove first", false, 512, 2, L""},
        {"reuse slot", true, 21, 2, L""},
        {"remove missing", false, 0x2A4, 2, L"Message &H2A4 not found in table"},
        {"remove again", false, 0x2A4, 2, L"Message &H2A4 not found in table"},
        {"remove all", false, kAllMessages, 0, L""},
        {"remove from empty", false, 794, 0, L"Message &H31A not found in table"},
    };
    MessageTable t;
    t.slots[1] = 675;  // what an earlier use left; "second" finds it already there
    t.count = 0;
    for (const TableOp& op : ops) {
        std::wstring report = op.add ? AddMessage(t, op.message) : DeleteMessage(t, op.message);
        EXPECT_EQ(report, op.report) << op.what;
        EXPECT_EQ(t.count, op.count) << op.what;
    }
    MessageTable all;
    AddMessage(all, kAllMessages);
    EXPECT_TRUE(all.Matches(12345));
    EXPECT_EQ(DeleteMessage(all, 512), L"Message &H200 not found in table");
}

TEST(PropertyBagStore, KeysIgnoreCaseAndDefaultsAreLeftOut) {
    PropertyBag bag;
    bag.WriteText(L"ToolTipTitle", L"Hello", std::nullopt);
    EXPECT_EQ(bag.ReadText(L"Tooltiptitle", L""), L"Hello");
    EXPECT_EQ(bag.ReadText(L"TOOLTIPTITLE", L""), L"Hello");
    bag.WriteInt(L"Style", 3, 3);
    EXPECT_FALSE(bag.Has(L"style"));
    EXPECT_EQ(bag.ReadInt(L"Style", 3), 3);
    bag.WriteInt(L"Style", 5, 3);
    EXPECT_EQ(bag.ReadInt(L"STYLE", 3), 5);
    bag.WriteInt(L"style", 3, 3);  // back to the default: the key goes
    EXPECT_FALSE(bag.Has(L"Style"));
    // Wrong kinds fall back to the read default; numbers and Booleans convert.
    bag.Set(L"IconSize", std::wstring(L"big"));
    EXPECT_EQ(bag.ReadInt(L"IconSize", 16), 16);
    bag.Set(L"bRTLText", int64_t{7});
    EXPECT_TRUE(bag.ReadBool(L"bRTLText", false));
    bag.Set(L"Enabled", true);
    EXPECT_EQ(bag.ReadInt(L"Enabled", 0), -1);
    EXPECT_FALSE(bag.ReadBytes(L"Enabled").has_value());
    EXPECT_FALSE(bag.ReadBytes(L"Icon").has_value());
    EXPECT_EQ(bag.ReadText(L"Caption", L"dflt"), L"dflt");
}
