#include "core/PropertyAccess.h"

#include "TestClasses.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velbrin {
namespace {

using testing::TLabel;
using testing::TProbe;
using testing::TProbeRoot;

const PropInfo& PropertyOf(const TObject& object, std::string_view name) {
    const PropInfo* property = FindPropertyRecord(object.ClassType(), name);
    if (property == nullptr) {
        throw std::logic_error("no property " + std::string(name));
    }
    return *property;
}

TEST(PropertyAccess, FindsPropertiesIgnoringLetterCaseAlongTheClassChain) {
    const TMetaClass& label = TLabel::StaticClass();
    const PropInfo* caption = FindPropertyRecord(label, "caption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption, FindPropertyRecord(label, "CAPTION"));
    EXPECT_EQ(caption, FindPropertyRecord(label, "Caption"));
    EXPECT_EQ(caption->owner, &testing::TTestControl::StaticClass());
    EXPECT_EQ(FindPropertyRecord(label, "Captio"), nullptr);
    EXPECT_EQ(FindPropertyRecord(label, "Name")->owner, &TComponent::StaticClass());
    EXPECT_EQ(FindPropertyRecord(label, "TextHeight"), nullptr);
}

// A class that redeclares an inherited property.
class TRedeclared : public TLabel {
    VELBRIN_CLASS(TRedeclared, TLabel)

public:
    using TLabel::TLabel;
    std::int16_t narrowTag = 0;
};

VELBRIN_DEFINE_CLASS_TABLES(TRedeclared, TLabel, "Tests") {
    cls.Property("TAG", Field<&TRedeclared::narrowTag>, Field<&TRedeclared::narrowTag>);
    cls.Property("Extra", Field<&TRedeclared::narrowTag>, Field<&TRedeclared::narrowTag>);
}

TEST(PropertyAccess, ARedeclaredPropertyHidesTheInheritedOne) {
    const TMetaClass& cls = TRedeclared::StaticClass();
    const PropInfo* tag = FindPropertyRecord(cls, "Tag");
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->owner, &cls);
    EXPECT_EQ(tag->nameIndex, FindPropertyRecord(TComponent::StaticClass(), "Tag")->nameIndex);

    std::vector<const PropInfo*> all = ListPropertyRecords(cls);
    EXPECT_EQ(static_cast<int>(all.size()), TLabel::StaticClass().PropertyCount() + 1);
    EXPECT_EQ(all[static_cast<std::size_t>(tag->nameIndex)], tag);
    EXPECT_EQ(all[0]->name, "Name");
    EXPECT_EQ(all.back()->name, "Extra");
    for (const PropInfo* property : all) {
        EXPECT_NE(property, nullptr);
    }
}

TEST(PropertyAccess, OrdinalFieldsAreReadAndWrittenAtTheirTypesWidth) {
    TProbe probe(nullptr);
    const PropInfo& level = PropertyOf(probe, "Level");
    const PropInfo& offset = PropertyOf(probe, "Offset");
    probe.level = 200;
    EXPECT_EQ(GetOrdinalValue(&probe, level), 200);
    std::memset(&probe.offset, 0xC8, 1);
    EXPECT_EQ(GetOrdinalValue(&probe, offset), -56);

    // Writing the 16-bit field leaves the bytes around it alone.
    std::uint8_t before[sizeof(TProbe)];
    std::memcpy(before, static_cast<void*>(&probe), sizeof before);
    SetOrdinalValue(&probe, PropertyOf(probe, "Span"), 0x12345678);
    EXPECT_EQ(probe.span, 0x5678);
    std::uint8_t after[sizeof(TProbe)];
    std::memcpy(after, static_cast<void*>(&probe), sizeof after);
    const auto spanAt =
        reinterpret_cast<std::uint8_t*>(&probe.span) - reinterpret_cast<std::uint8_t*>(&probe);
    int changed = 0;
    for (std::size_t i = 0; i < sizeof before; ++i) {
        if (before[i] != after[i]) {
            ++changed;
            EXPECT_TRUE(i == static_cast<std::size_t>(spanAt) ||
                        i == static_cast<std::size_t>(spanAt) + 1)
                << "byte " << i << " changed";
        }
    }
    EXPECT_EQ(changed, 2);

    SetOrdinalValue(&probe, PropertyOf(probe, "Depth"), 40000);
    EXPECT_EQ(GetOrdinalValue(&probe, PropertyOf(probe, "Depth")), 40000 - 65536);
    SetOrdinalValue(&probe, PropertyOf(probe, "Letter"), 'Z');
    EXPECT_EQ(probe.letter, 'Z');
}

TEST(PropertyAccess, IndexedAccessorsReceiveTheirIndex) {
    TProbe probe(nullptr);
    SetOrdinalValue(&probe, PropertyOf(probe, "Left"), 5);
    SetOrdinalValue(&probe, PropertyOf(probe, "Right"), 9);
    EXPECT_EQ(probe.sides[0], 5);
    EXPECT_EQ(probe.sides[1], 0);
    EXPECT_EQ(probe.sides[2], 9);
    EXPECT_EQ(GetOrdinalValue(&probe, PropertyOf(probe, "right")), 9);
    EXPECT_EQ(GetOrdinalValue(&probe, PropertyOf(probe, "Answer")), 42);
    EXPECT_EQ(PropertyOf(probe, "Answer").write.kind, PropertyAccessor::Kind::None);
}

TEST(PropertyAccess, StringsFloatsAndStoredFlags) {
    TProbe probe(nullptr);
    SetStringValue(&probe, PropertyOf(probe, "Code"), "ABCDEFGHIJ");
    EXPECT_EQ(probe.code, "ABCDEFGH");
    SetStringValue(&probe, PropertyOf(probe, "Title"), std::string(300, 'x'));
    EXPECT_EQ(probe.title.size(), 300u);
    SetStringValue(&probe, PropertyOf(probe, "Label"), "k");
    EXPECT_EQ(GetStringValue(&probe, PropertyOf(probe, "Label")), "<k>");

    SetFloatValue(&probe, PropertyOf(probe, "Price"), 1.23456L);
    EXPECT_EQ(probe.price, 12346);
    EXPECT_NEAR(static_cast<double>(GetFloatValue(&probe, PropertyOf(probe, "Price"))), 1.2346,
                1e-12);
    SetFloatValue(&probe, PropertyOf(probe, "Weight"), 0.5L);
    EXPECT_EQ(probe.weight, 0.5f);
    SetFloatValue(&probe, PropertyOf(probe, "Precise"), 1.0L / 3);
    EXPECT_EQ(probe.precise, 1.0L / 3);

    EXPECT_FALSE(IsPropertyStored(&probe, PropertyOf(probe, "Count")));
    probe.count = 8;
    EXPECT_TRUE(IsPropertyStored(&probe, PropertyOf(probe, "Count")));
    EXPECT_FALSE(IsPropertyStored(&probe, PropertyOf(probe, "Name")));
    EXPECT_TRUE(IsPropertyStored(&probe, PropertyOf(probe, "Tag")));
    EXPECT_EQ(PropertyOf(probe, "Tag").defaultValue, 0);
    EXPECT_EQ(PropertyOf(probe, "Title").defaultValue, NoDefault);
}

TEST(PropertyAccess, ObjectPropertiesTakeOnlyObjectsOfTheirClass) {
    TProbe probe(nullptr);
    TComponent other(nullptr);
    TStringList notAComponent;
    const PropInfo& buddy = PropertyOf(probe, "Buddy");
    SetObjectValue(&probe, buddy, &other);
    EXPECT_EQ(probe.buddy, &other);
    EXPECT_EQ(GetObjectValue(&probe, buddy), &other);
    SetObjectValue(&probe, buddy, &notAComponent);
    EXPECT_EQ(probe.buddy, nullptr);
    EXPECT_EQ(GetObjectValue(&probe, PropertyOf(probe, "Items")), probe.Items());
}

TEST(PropertyAccess, MethodsAreFoundByNameAndCode) {
    TProbeRoot root(nullptr);
    TProbe probe(nullptr);
    const TMetaClass& cls = TProbeRoot::StaticClass();
    CodePointer code = PublishedMethodAddress(cls, "PROBED");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(PublishedMethodAddress(cls, "Missing"), nullptr);
    EXPECT_EQ(PublishedMethodName(cls, code), "Probed");
    EXPECT_EQ(PublishedMethodName(cls, nullptr), "");

    const PropInfo& onProbe = PropertyOf(probe, "OnProbe");
    SetMethodValue(&probe, onProbe, {code, &root});
    ASSERT_TRUE(probe.onProbe.Assigned());
    probe.onProbe(&probe);
    EXPECT_EQ(root.probed, std::vector<TObject*>{&probe});
    EXPECT_EQ(GetMethodValue(&probe, onProbe), (TMethod{code, &root}));
    // Binding in code gives the code a name lookup gives.
    EXPECT_EQ(TNotifyEvent::Of<&TProbeRoot::Probed>(&root), probe.onProbe);
    EXPECT_EQ(onProbe.Type().name, "TNotifyEvent");
}

TEST(PropertyAccess, FieldsAreFoundByNameAndBindOnlyTheirClass) {
    const PublishedField* field = FindPublishedField(TProbeRoot::StaticClass(), "probe1");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(&field->fieldClass(), &TProbe::StaticClass());
    TProbeRoot root(nullptr);
    TProbe probe(nullptr);
    TLabel label(nullptr);
    field->set(&root, &probe);
    EXPECT_EQ(root.Probe1, &probe);
    field->set(&root, &label);
    EXPECT_EQ(root.Probe1, nullptr);
    EXPECT_EQ(FindPublishedField(TProbeRoot::StaticClass(), "Probe"), nullptr);
}

// A class whose table gives a 4-byte field a 1-byte type.
class TMisdeclared : public TComponent {
    VELBRIN_CLASS(TMisdeclared, TComponent)

public:
    using TComponent::TComponent;
    std::int32_t wide = 0;
};

VELBRIN_DEFINE_CLASS_TABLES(TMisdeclared, TComponent, "Tests") {
    cls.Property("Wide", ByteType, Field<&TMisdeclared::wide>, Field<&TMisdeclared::wide>);
}

TEST(PropertyAccess, ATableWhoseFieldDoesNotFitItsTypeIsRefused) {
    EXPECT_THROW(TMisdeclared::StaticClass(), std::logic_error);
}

} // namespace
} // namespace velbrin
