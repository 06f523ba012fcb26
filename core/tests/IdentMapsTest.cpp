#include "core/IdentMaps.h"

#include "ReaderTestSupport.h"
#include "TestClasses.h"

#include <gtest/gtest.h>

#include <array>

namespace velbrin {
namespace {

const TypeInfo& TwoMapsType() {
    static const TypeInfo type = IntegerTypeInfo("TTwoMaps", OrdinalType::SLong, 0, 1000);
    return type;
}

constexpr std::array<TIdentMapEntry, 2> FirstMap = {{{1, "one"}, {2, "shared"}}};
constexpr std::array<TIdentMapEntry, 2> SecondMap = {{{20, "SHARED"}, {30, "thirty"}}};

void RegisterTwoMaps() {
    static const bool registered = [] {
        RegisterIdentMap(
            TwoMapsType,
            [](std::string_view ident, std::int32_t& value) {
                return IdentToIntFromTable(FirstMap, ident, value);
            },
            [](std::int32_t value, std::string& ident) {
                return IntToIdentFromTable(FirstMap, value, ident);
            });
        RegisterIdentMap(
            TwoMapsType,
            [](std::string_view ident, std::int32_t& value) {
                return IdentToIntFromTable(SecondMap, ident, value);
            },
            [](std::int32_t value, std::string& ident) {
                return IntToIdentFromTable(SecondMap, value, ident);
            });
        return true;
    }();
    (void)registered;
}

TEST(IdentMaps, TheFirstMapThatKnowsAnIdentifierGivesItsValue) {
    RegisterTwoMaps();
    std::int32_t value = 0;
    ASSERT_TRUE(IdentToIntOf(TwoMapsType(), "Shared", value));
    EXPECT_EQ(value, 2);
    ASSERT_TRUE(IdentToIntOf(TwoMapsType(), "thirty", value));
    EXPECT_EQ(value, 30);
    EXPECT_FALSE(IdentToIntOf(TwoMapsType(), "forty", value));
    EXPECT_FALSE(IdentToIntOf(LongintType(), "one", value));
    EXPECT_TRUE(HasIdentMap(TwoMapsType()));
    EXPECT_FALSE(HasIdentMap(LongintType()));
}

TEST(IdentMaps, OnlyTheFirstMapNamesAValue) {
    RegisterTwoMaps();
    std::string ident;
    ASSERT_TRUE(IntToIdentOf(TwoMapsType(), 1, ident));
    EXPECT_EQ(ident, "one");
    // The second map would know 30, but the writer asks the first one only.
    EXPECT_FALSE(IntToIdentOf(TwoMapsType(), 30, ident));
}

TEST(IdentMaps, TheReaderResolvesIntegerIdentifiersThroughTheMaps) {
    testing::RegisterTestIdentMaps();
    testing::TProbeRoot root(nullptr);
    testing::ReadResource(testing::MakeResource([](TWriter& w) {
                              testing::WriteRecord(w, "TProbeRoot", "Root", {}, [](TWriter& c) {
                                  testing::WriteRecord(c, "TProbe", "Probe1", [](TWriter& p) {
                                      p.WritePropertyName("Color");
                                      p.WriteIdent("CLWINDOWTEXT");
                                  });
                              });
                          }),
                          &root);
    EXPECT_EQ(root.Probe1->color, testing::clWindowText);
}

} // namespace
} // namespace velbrin
