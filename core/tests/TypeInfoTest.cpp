#include "core/TypeInfo.h"

#include "TestClasses.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

TEST(TypeInfo, EnumValueOfIgnoresLetterCaseAndRefusesNonElements) {
    const TypeInfo& alignment = testing::TestAlignmentType();
    EXPECT_EQ(alignment.ordinalType, OrdinalType::UByte);
    EXPECT_EQ(alignment.maxValue, 2);
    EXPECT_EQ(EnumValueOf(alignment, "talEFTJUSTIFY"), 0);
    EXPECT_EQ(EnumValueOf(alignment, "taCenter"), 2);
    EXPECT_EQ(EnumValueOf(alignment, ""), -1);
    EXPECT_EQ(EnumValueOf(alignment, "taNone"), -1);
    EXPECT_EQ(EnumValueOf(alignment, "taCente"), -1);
}

TEST(TypeInfo, EnumNameOfGivesBooleanInLowerCase) {
    EXPECT_EQ(EnumNameOf(testing::TestAlignmentType(), 1), "taRightJustify");
    EXPECT_EQ(EnumNameOf(testing::TestAlignmentType(), 3), "");
    EXPECT_EQ(EnumNameOf(testing::TestAlignmentType(), -1), "");
    EXPECT_EQ(EnumNameOf(BooleanType(), 0), "false");
    EXPECT_EQ(EnumNameOf(BooleanType(), 1), "true");
    EXPECT_EQ(EnumValueOf(BooleanType(), "FALSE"), 0);
}

TEST(TypeInfo, OrdinalWidthsAndExtension) {
    EXPECT_EQ(FitOrdinal(0xC8, OrdinalType::SByte), -56);
    EXPECT_EQ(FitOrdinal(0xC8, OrdinalType::UByte), 200);
    EXPECT_EQ(FitOrdinal(0x18000, OrdinalType::SWord), -32768);
    EXPECT_EQ(FitOrdinal(0x18000, OrdinalType::UWord), 32768);
    EXPECT_EQ(FitOrdinal(-5, OrdinalType::SLong), -5);
    EXPECT_EQ(LongintType().minValue, INT32_MIN);
    EXPECT_EQ(OrdinalSize(OrdinalType::UWord), 2);
}

TEST(TypeInfo, SetTypesTakeTheWidthOfTheirElements) {
    EXPECT_EQ(testing::TestFontStylesType().ordinalType, OrdinalType::UByte);
    EXPECT_EQ(testing::TestFontStylesType().elementType, &testing::TestFontStyleType());
    EXPECT_THROW(SetTypeInfo("TBad", LongintType()), std::logic_error);
}

} // namespace
} // namespace velbrin
