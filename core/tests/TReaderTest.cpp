#include "core/TReader.h"

#include "ReaderTestSupport.h"
#include "TestClasses.h"
#include "TestSupport.h"
#include "core/ClassRegistry.h"
#include "core/TMemoryStream.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

using namespace velbrin::testing;

// The message 61465 wraps around the one of the failing entry.
std::string EntryError(const std::string& owner, const std::string& path,
                       const std::string& inner) {
    return owner + "." + path + " の読み込み中のｴﾗｰ: " + inner;
}

const std::string InvalidValue = "不正なﾌﾟﾛﾊﾟﾃｨの値です";
const std::string ReadError = "ｽﾄﾘｰﾑからの読み込みｴﾗｰ";
const std::string UnknownProperty = "ﾌﾟﾛﾊﾟﾃｨが存在しません";

// A TProbeRoot holding one probe, "Probe1", whose properties `properties` writes.
std::string ProbeResource(const WriteSteps& properties, const WriteSteps& more = {}) {
    return MakeResource([&](TWriter& w) {
        WriteRecord(w, "TProbeRoot", "Root", {}, [&](TWriter& children) {
            WriteRecord(children, "TProbe", "Probe1", properties);
            if (more) {
                more(children);
            }
        });
    });
}

std::string ReadFails(const std::string& bytes, TComponent* root) {
    return MessageOf<EReadError>([&] { ReadResource(bytes, root); });
}

class Reader : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestIdentMaps(); }
};

TEST_F(Reader, ReadsAPropertyOfEveryKind) {
    TProbeRoot root(nullptr);
    ReadResource(ProbeResource([](TWriter& w) {
                     w.WritePropertyName("Count");
                     w.WriteInteger(-70000);
                     w.WritePropertyName("Offset");
                     w.WriteInteger(-5);
                     w.WritePropertyName("Letter");
                     w.WriteChar('q');
                     w.WritePropertyName("Alignment");
                     w.WriteIdent("TACENTER");
                     w.WritePropertyName("Ratio");
                     w.WriteFloat(0.25L);
                     w.WritePropertyName("Weight");
                     w.WriteInteger(3);
                     w.WritePropertyName("Price");
                     w.WriteFloat(2.5L);
                     w.WritePropertyName("Code");
                     w.WriteString("0123456789");
                     w.WritePropertyName("Title");
                     w.WriteString(std::string(300, 't'));
                     w.WritePropertyName("Label");
                     w.WriteString("x");
                     w.WritePropertyName("Style");
                     w.WriteSet(std::vector<std::string>{"fsUnderline", "FSBOLD"});
                     w.WritePropertyName("Right");
                     w.WriteInteger(12);
                     w.WritePropertyName("Color");
                     w.WriteIdent("clRed");
                     w.WritePropertyName("OnProbe");
                     w.WriteIdent("probed");
                     w.WritePropertyName("Tag");
                     w.WriteInteger(99);
                 }),
                 &root);
    ASSERT_NE(root.Probe1, nullptr);
    const TProbe& probe = *root.Probe1;
    EXPECT_EQ(root.Name(), "");
    EXPECT_EQ(probe.count, -70000);
    EXPECT_EQ(probe.offset, -5);
    EXPECT_EQ(probe.letter, 'q');
    EXPECT_EQ(probe.alignment, 2);
    EXPECT_EQ(probe.ratio, 0.25);
    EXPECT_EQ(probe.weight, 3.0f);
    EXPECT_EQ(probe.price, 25000);
    EXPECT_EQ(probe.code, "01234567");
    EXPECT_EQ(probe.title, std::string(300, 't'));
    EXPECT_EQ(probe.GetLabel(), "<x>");
    EXPECT_EQ(probe.style, 0b101);
    EXPECT_EQ(probe.sides[2], 12);
    EXPECT_EQ(probe.color, 0x0000FF);
    EXPECT_EQ(probe.Tag(), 99);
    ASSERT_TRUE(probe.onProbe.Assigned());
    EXPECT_EQ(probe.onProbe.Data(), &root);
    probe.onProbe(root.Probe1);
    EXPECT_EQ(root.probed, std::vector<TObject*>{root.Probe1});
}

TEST_F(Reader, NilClearsReferencesAndEvents) {
    TProbeRoot root(nullptr);
    TProbe* probe = new TProbe(&root);
    probe->buddy = &root;
    probe->onProbe = TNotifyEvent::Of<&TProbeRoot::Probed>(&root);
    TMemoryStream stream;
    const std::string bytes = MakeResource([](TWriter& w) {
        w.WritePropertyName("Buddy");
        w.WriteIdent("nil");
        w.WritePropertyName("OnProbe");
        w.WriteIdent("NIL");
        w.WriteListEnd();
    });
    stream.WriteBuffer(bytes.data() + 4, static_cast<std::int32_t>(bytes.size() - 4));
    stream.SetPosition(0);
    TReader reader(stream);
    reader.SetRoot(&root);
    while (!reader.EndOfList()) {
        reader.ReadPropertyEntry(probe);
    }
    EXPECT_EQ(probe->buddy, nullptr);
    EXPECT_FALSE(probe->onProbe.Assigned());
}

TEST_F(Reader, ResolvesReferencesWithinTheRootBeforeAnyAfterLoad) {
    TProbeRoot root(nullptr);
    ReadResource(ProbeResource(
                     [](TWriter& w) {
                         w.WritePropertyName("Buddy");
                         w.WriteIdent("Later");
                     },
                     [](TWriter& w) {
                         WriteRecord(w, "TProbe", "Later", [](TWriter& later) {
                             later.WritePropertyName("Buddy");
                             later.WriteIdent("Nobody");
                         });
                     }),
                 &root);
    TComponent* later = root.FindComponent("Later");
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(root.Probe1->buddy, later);
    EXPECT_EQ(root.Probe1->buddyAtLoad, later);
    EXPECT_EQ(static_cast<TProbe*>(later)->buddy, nullptr);
}

TEST_F(Reader, WrapsAnEntrysErrorWithTheComponentAndThePath) {
    TProbeRoot root(nullptr);
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Color");
                            w.WriteIdent("clNoSuchColour");
                        }),
                        &root),
              EntryError("Probe1", "Color", InvalidValue));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("OnProbe");
                            w.WriteIdent("NotPublished");
                        }),
                        &root),
              EntryError("Probe1", "OnProbe", InvalidValue));
    // A handler of another shape than the event's does not bind.
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("OnProbe");
                            w.WriteIdent("WrongShape");
                        }),
                        &root),
              EntryError("Probe1", "OnProbe", InvalidValue));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Answer");
                            w.WriteInteger(1);
                        }),
                        &root),
              EntryError("Probe1", "Answer", "ﾌﾟﾛﾊﾟﾃｨは書き込み禁止です"));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Count.Depth");
                            w.WriteInteger(1);
                        }),
                        &root),
              EntryError("Probe1", "Count.Depth", "不正なﾌﾟﾛﾊﾟﾃｨのﾊﾟｽです"));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Letter");
                            w.WriteString("ab");
                        }),
                        &root),
              EntryError("Probe1", "Letter", InvalidValue));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Count");
                            w.WriteString("12");
                        }),
                        &root),
              EntryError("Probe1", "Count", InvalidValue));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Alignment");
                            w.WriteIdent("taNone");
                        }),
                        &root),
              EntryError("Probe1", "Alignment", InvalidValue));
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Nonexistent");
                            w.WriteInteger(1);
                        }),
                        &root),
              EntryError("Probe1", "Nonexistent", UnknownProperty));
    // Every failed read left the root's children to the root.
    EXPECT_EQ(root.ComponentCount(), 0);
}

TEST_F(Reader, AnErrorAcceptedGoesOnBehindTheSkippedValue) {
    TForm1 form(nullptr);
    ErrorSink sink;
    const std::string bytes = MakeResource([](TWriter& w) {
        WriteRecord(w, "TForm1", "Form1", {}, [](TWriter& children) {
            WriteRecord(children, "TLabel", "Label1", [](TWriter& l) {
                l.WritePropertyName("Font.Bogus");
                l.WriteString("skipped");
                l.WritePropertyName("Font.Style");
                l.WriteSet(std::vector<std::string>{"fsItalic", "fsNoSuchStyle", "fsBold"});
                l.WritePropertyName("Font.Name");
                l.WriteString("Arial");
                l.WritePropertyName("Caption");
                l.WriteIdent("NotAString");
                l.WritePropertyName("Top");
                l.WriteInteger(5);
            });
        });
    });
    ReadResource(bytes, &form, &sink);
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{EntryError("Label1", "Font.Bogus", UnknownProperty),
                                        EntryError("Label1", "Font.Style", InvalidValue),
                                        EntryError("Label1", "Caption", InvalidValue)}));
    ASSERT_NE(form.Label1, nullptr);
    EXPECT_EQ(form.Label1->Font()->name, "Arial");
    EXPECT_EQ(form.Label1->Font()->style, 0);
    // The font was reached through its property, never assigned.
    EXPECT_EQ(form.Label1->Font()->changes, 0);
    EXPECT_EQ(form.Label1->top, 5);
}

TEST_F(Reader, AChildThatCannotBeMadeIsSkippedWhenTheErrorIsAccepted) {
    TForm1 form(nullptr);
    ErrorSink sink;
    const std::string bytes = MakeResource([](TWriter& w) {
        WriteRecord(w, "TForm1", "Form1", {}, [](TWriter& children) {
            WriteRecord(
                children, "TUnknownThing", "Thing1",
                [](TWriter& p) {
                    p.WritePropertyName("Left");
                    p.WriteInteger(1);
                },
                [](TWriter& grand) { WriteRecord(grand, "TLabel", "Inner"); });
            WriteRecord(children, "TLabel", "1bad");
            WriteRecord(children, "TLabel", "Label1");
            WriteRecord(children, "TLabel", "LABEL1");
        });
    });
    ReadResource(bytes, &form, &sink);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{
                                 "ｸﾗｽ TUnknownThing が見つかりません",
                                 "ｺﾝﾎﾟｰﾈﾝﾄ名に ''1bad'' は使えません",
                                 "ｺﾝﾎﾟｰﾈﾝﾄ名 LABEL1 はすでに使われています",
                             }));
    ASSERT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Label1, form.Components(0));
}

TEST_F(Reader, ANameTakenTwiceStopsTheReadAndFreesWhatTheReaderMade) {
    RegisterStreamClass(TProbeRoot::StaticClass());
    const std::string bytes = MakeResource([](TWriter& w) {
        WriteRecord(w, "TProbeRoot", "Root", {}, [](TWriter& children) {
            WriteRecord(children, "TProbe", "Probe1");
            WriteRecord(children, "TProbe", "probe1");
        });
    });
    EXPECT_EQ(MessageOf<EComponentError>([&] { ReadResource(bytes, nullptr); }),
              "ｺﾝﾎﾟｰﾈﾝﾄ名 probe1 はすでに使われています");
    TComponent* made = ReadResource(MakeResource([](TWriter& w) {
                                        WriteRecord(w, "TProbeRoot", "Made", {}, [](TWriter& c) {
                                            WriteRecord(c, "TProbe", "Probe1");
                                        });
                                    }),
                                    nullptr);
    ASSERT_TRUE(made->Is<TProbeRoot>());
    EXPECT_EQ(made->Name(), "Made");
    EXPECT_NE(static_cast<TProbeRoot*>(made)->Probe1, nullptr);
    delete made;
    UnregisterStreamClass(TProbeRoot::StaticClass());
}

TEST_F(Reader, RefusesAStreamWithoutTheSignatureBeforeMakingAnything) {
    RegisterStreamClass(TProbeRoot::StaticClass());
    std::string bytes = MakeResource([](TWriter& w) { WriteRecord(w, "TProbeRoot", "Root"); });
    bytes[3] = '1';
    EXPECT_EQ(MessageOf<EReadError>([&] { ReadResource(bytes, nullptr); }), "不正なｽﾄﾘｰﾑ形式です");
    UnregisterStreamClass(TProbeRoot::StaticClass());
    EXPECT_EQ(MessageOf<EClassNotFound>([&] {
                  ReadResource(MakeResource([](TWriter& w) { WriteRecord(w, "TProbeRoot", "R"); }),
                               nullptr);
              }),
              "ｸﾗｽ TProbeRoot が見つかりません");
}

TEST_F(Reader, AnInheritedComponentMustExistInTheRoot) {
    TProbeRoot root(nullptr);
    auto* existing = new TProbe(&root);
    existing->SetName("Probe1");
    ReadResource(MakeResource([](TWriter& w) {
                     WriteRecord(w, "TProbeRoot", "Root", {}, [](TWriter& children) {
                         children.WritePrefix(ffInherited, 0);
                         WriteRecord(children, "TProbe", "Probe1", [](TWriter& p) {
                             p.WritePropertyName("Count");
                             p.WriteInteger(3);
                         });
                     });
                 }),
                 &root);
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(existing->count, 3);
    EXPECT_EQ(MessageOf<EReadError>([&] {
                  ReadResource(MakeResource([](TWriter& w) {
                                   WriteRecord(w, "TProbeRoot", "Root", {}, [](TWriter& c) {
                                       c.WritePrefix(ffInherited | ffChildPos, 4);
                                       WriteRecord(c, "TProbe", "Ghost");
                                   });
                               }),
                               &root);
              }),
              "'Ghost' の継承元が存在しません.");
}

TEST_F(Reader, ReadsCollectionsItemByItem) {
    TProbeRoot root(nullptr);
    ReadResource(ProbeResource([](TWriter& w) {
                     w.WritePropertyName("Items");
                     w.WriteValue(ValCollection);
                     w.WriteListBegin();
                     w.WritePropertyName("Value");
                     w.WriteInteger(10);
                     w.WriteListEnd();
                     w.WriteInteger(3 - 3);
                     w.WriteListBegin();
                     w.WritePropertyName("Text");
                     w.WriteString("first again");
                     w.WriteListEnd();
                     w.WriteListBegin();
                     w.WritePropertyName("Value");
                     w.WriteInteger(20);
                     w.WriteListEnd();
                     w.WriteListEnd();
                 }),
                 &root);
    TCollection& items = *root.Probe1->Items();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(static_cast<TProbeItem*>(items.Items(0))->value, 10);
    EXPECT_EQ(static_cast<TProbeItem*>(items.Items(0))->text, "first again");
    EXPECT_EQ(static_cast<TProbeItem*>(items.Items(1))->value, 20);
    EXPECT_EQ(items.UpdateCount(), 0);

    // An index far beyond the items is refused rather than filled up to.
    TProbeRoot other(nullptr);
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Items");
                            w.WriteValue(ValCollection);
                            w.WriteInteger(2000000000);
                            w.WriteListBegin();
                            w.WriteListEnd();
                            w.WriteListEnd();
                        }),
                        &other),
              EntryError("Probe1", "Items", InvalidValue));
}

TEST_F(Reader, HandsPseudoPropertiesToTheirDeclarations) {
    TProbeRoot root(nullptr);
    const std::string blob("\x00\x01\xFFz", 4);
    ReadResource(ProbeResource([&](TWriter& w) {
                     w.WritePropertyName("Blob");
                     w.WriteBinary(blob.data(), 4);
                     w.WritePropertyName("top");
                     w.WriteInteger(-2);
                     w.WritePropertyName("Left");
                     w.WriteInteger(7);
                 }),
                 &root);
    EXPECT_EQ(root.Probe1->blob, blob);
    // "Left" is the probe's published property; "Top" its design position.
    EXPECT_EQ(root.Probe1->sides[0], 7);
    EXPECT_EQ(root.Probe1->DesignInfo(), static_cast<std::int32_t>(0xFFFE0000));

    TProbeRoot other(nullptr);
    EXPECT_EQ(ReadFails(ProbeResource([](TWriter& w) {
                            w.WritePropertyName("Blob");
                            w.WriteString("not binary");
                        }),
                        &other),
              EntryError("Probe1", "Blob", InvalidValue));
}

TEST_F(Reader, ATruncatedResourceFailsAtEveryLengthAndLeavesNothingBehind) {
    const std::string whole = ProbeResource(
        [](TWriter& w) {
            w.WritePropertyName("Title");
            w.WriteString(std::string(300, 'y'));
            w.WritePropertyName("Items");
            w.WriteValue(ValCollection);
            w.WriteListBegin();
            w.WritePropertyName("Value");
            w.WriteInteger(1);
            w.WriteListEnd();
            w.WriteListEnd();
            w.WritePropertyName("Buddy");
            w.WriteIdent("Probe2");
            w.WritePropertyName("Blob");
            w.WriteBinary("abc", 3);
        },
        [](TWriter& w) { WriteRecord(w, "TProbe", "Probe2"); });
    for (std::size_t length = 0; length < whole.size(); ++length) {
        TProbeRoot root(nullptr);
        EXPECT_THROW(ReadResource(whole.substr(0, length), &root), Exception) << length;
        // Nothing half-read stays: the root keeps only components read whole
        // and named (the one cut off is freed), its field names nothing else,
        // no reference waits to be resolved and the root reads no more.
        for (std::int32_t i = 0; i < root.ComponentCount(); ++i) {
            const std::string name = root.Components(i)->Name();
            EXPECT_TRUE(name == "Probe1" || name == "Probe2") << length << " " << name;
        }
        EXPECT_LE(root.ComponentCount(), 2) << length;
        if (root.Probe1 != nullptr) {
            EXPECT_EQ(root.FindComponent("Probe1"), root.Probe1) << length;
            EXPECT_EQ(root.Probe1->Owner(), &root) << length;
            EXPECT_EQ(root.Probe1->title, std::string(300, 'y')) << length;
            EXPECT_EQ(root.Probe1->blob, "abc") << length;
        }
        EXPECT_EQ(PendingCrossRootRefCount(), 0u) << length;
        EXPECT_FALSE(root.HasState(csReading)) << length;
    }
    TProbeRoot root(nullptr);
    ReadResource(whole, &root);
    EXPECT_NE(root.FindComponent("Probe2"), nullptr);

    // The end inside an entry's value is reported with the entry.
    const std::string cut = whole.substr(0, whole.find("Title") + 5 + 3);
    TProbeRoot other(nullptr);
    EXPECT_EQ(ReadFails(cut, &other), EntryError("Probe1", "Title", ReadError));
    EXPECT_EQ(ReadFails(whole.substr(0, 6), &other), ReadError);
}

TEST_F(Reader, GivesBackTheBytesItDidNotConsume) {
    TProbeRoot root(nullptr);
    const std::string bytes = ProbeResource([](TWriter& w) {
                                  w.WritePropertyName("Count");
                                  w.WriteInteger(1);
                              }) +
                              "trailing";
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
    EXPECT_EQ(stream.LoadRootFromStream(&root), &root);
    EXPECT_EQ(stream.Position(), static_cast<std::int32_t>(bytes.size() - 8));
}

TEST_F(Reader, RefusesNestingDeeperThanItFollows) {
    const std::string deep = MakeResource([](TWriter& w) {
        std::function<void(TWriter&, int)> nest = [&](TWriter& writer, int depth) {
            WriteRecord(writer, "TLabel", "", {}, [&](TWriter& inner) {
                if (depth > 0) {
                    nest(inner, depth - 1);
                }
            });
        };
        WriteRecord(w, "TForm1", "Form1", {}, [&](TWriter& c) { nest(c, 5000); });
    });
    TForm1 form(nullptr);
    EXPECT_EQ(ReadFails(deep, &form), "不正なｽﾄﾘｰﾑ形式です");
}

TEST_F(Reader, PrimitivesReadEachEncoding) {
    const std::string bytes = MakeResource([](TWriter& w) {
        w.WriteInteger(-129);
        w.WriteInteger(40000);
        w.WriteInteger(7);
        w.WriteFloat(-1.5L);
        w.WriteIdent("True");
        w.WriteIdent("x");
        w.WriteIdent("nil");
        w.WriteBoolean(true);
        w.WriteValue(ValNull);
    });
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
    TReader reader(stream, 3);
    reader.ReadSignature();
    EXPECT_EQ(reader.ReadInteger(), -129);
    EXPECT_EQ(reader.ReadInteger(), 40000);
    EXPECT_EQ(reader.ReadFloat(), 7.0L);
    EXPECT_EQ(reader.ReadFloat(), -1.5L);
    EXPECT_EQ(reader.ReadIdent(), "True");
    EXPECT_EQ(reader.ReadIdent(), "x");
    EXPECT_EQ(reader.ReadIdent(), "nil");
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_TRUE(reader.EndOfList());
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_EQ(MessageOf<EReadError>([&] { reader.ReadValue(); }), ReadError);
}

// Roots for the cross-root tests, found by name.
std::vector<TComponent*>& KnownRoots() {
    static std::vector<TComponent*> roots;
    return roots;
}

TComponent* FindKnownRoot(std::string_view name) {
    for (TComponent* root : KnownRoots()) {
        if (AsciiSameText(root->Name(), name)) {
            return root;
        }
    }
    return nullptr;
}

TEST_F(Reader, ResolvesReferencesToOtherRootsOnceTheyExist) {
    SetRootLookupHook(&FindKnownRoot);
    KnownRoots().clear();
    const std::string pointsAway = ProbeResource([](TWriter& w) {
        w.WritePropertyName("Buddy");
        w.WriteIdent("Other.Target");
    });
    TProbeRoot first(nullptr);
    ReadResource(pointsAway, &first);
    EXPECT_EQ(first.Probe1->buddy, nullptr);
    EXPECT_EQ(PendingCrossRootRefCount(), 1u);

    TProbeRoot other(nullptr);
    auto* target = new TProbe(&other);
    target->SetName("Target");
    other.SetName("Other");
    KnownRoots().push_back(&other);
    ResolveCrossRootRefs();
    EXPECT_EQ(first.Probe1->buddy, target);
    EXPECT_EQ(PendingCrossRootRefCount(), 0u);

    // Pending references go with the root that made them.
    auto* second = new TProbeRoot(nullptr);
    KnownRoots().clear();
    ReadResource(pointsAway, second);
    EXPECT_EQ(PendingCrossRootRefCount(), 1u);
    DropPendingRefs(second, "other");
    EXPECT_EQ(PendingCrossRootRefCount(), 0u);
    delete second;
    second = new TProbeRoot(nullptr);
    ReadResource(pointsAway, second);
    EXPECT_EQ(PendingCrossRootRefCount(), 1u);
    delete second;
    EXPECT_EQ(PendingCrossRootRefCount(), 0u);
    SetRootLookupHook(nullptr);
}

TEST_F(Reader, ARootThatFailsToLoadLeavesOtherRootsPendingReferences) {
    SetRootLookupHook(&FindKnownRoot);
    KnownRoots().clear();
    TProbeRoot first(nullptr);
    ReadResource(ProbeResource([](TWriter& w) {
                     w.WritePropertyName("Buddy");
                     w.WriteIdent("Other.Target");
                 }),
                 &first);
    ASSERT_EQ(PendingCrossRootRefCount(), 1u);

    RegisterStreamClass(TProbeRoot::StaticClass());
    const std::string broken = ProbeResource([](TWriter& w) {
        w.WritePropertyName("Buddy");
        w.WriteIdent("Other.Target");
        w.WritePropertyName("NoSuchProperty");
        w.WriteInteger(1);
    });
    EXPECT_FALSE(ReadFails(broken, nullptr).empty());
    UnregisterStreamClass(TProbeRoot::StaticClass());
    EXPECT_EQ(PendingCrossRootRefCount(), 1u);

    TProbeRoot other(nullptr);
    auto* target = new TProbe(&other);
    target->SetName("Target");
    other.SetName("Other");
    KnownRoots().push_back(&other);
    ResolveCrossRootRefs();
    EXPECT_EQ(first.Probe1->buddy, target);
    KnownRoots().clear();
    SetRootLookupHook(nullptr);
}

} // namespace
} // namespace velbrin
