#include "core/TComponent.h"

#include "TestClasses.h"
#include "TestSupport.h"
#include "core/ClassRegistry.h"
#include "core/TList.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velbrin {
namespace {

using testing::MessageOf;
using testing::TForm1;
using testing::TLabel;

// Records what happens to it in a journal shared by its siblings.
class TTracked : public TComponent {
    VELBRIN_CLASS(TTracked, TComponent)

public:
    TTracked(TComponent* owner, std::vector<std::string>* journal, std::string tag)
        : TComponent(owner), journal_(journal), tag_(std::move(tag)) {
        SetName(tag_);
    }
    ~TTracked() override {
        journal_->push_back("free " + tag_ + (HasState(csDestroying) ? " destroying" : ""));
    }
    void ComponentNotice(TComponent* component, TOperation operation) override {
        if (operation == opRemove) {
            // The component's own destructor has run by now; its name is
            // still there.
            journal_->push_back(tag_ + " told of removal of " + component->Name());
        }
        TComponent::ComponentNotice(component, operation);
    }

private:
    std::vector<std::string>* journal_;
    std::string tag_;
};

VELBRIN_DEFINE_CLASS(TTracked, TComponent, "Tests")

TEST(TComponent, OwnerFreesItsComponentsLastFirstAllMarkedDestroying) {
    std::vector<std::string> journal;
    auto* owner = new TComponent(nullptr);
    new TTracked(owner, &journal, "A");
    new TTracked(owner, &journal, "B");
    new TTracked(owner, &journal, "C");
    EXPECT_EQ(owner->ComponentCount(), 3);
    delete owner;
    EXPECT_EQ(journal, (std::vector<std::string>{"free C destroying", "free B destroying",
                                                 "free A destroying"}));
}

TEST(TComponent, FreeingAnOwnedComponentTellsItsSiblingsAndLeavesTheOwner) {
    std::vector<std::string> journal;
    TComponent owner(nullptr);
    auto* a = new TTracked(&owner, &journal, "A");
    new TTracked(&owner, &journal, "B");
    delete a;
    EXPECT_EQ(journal, (std::vector<std::string>{"free A", "B told of removal of A"}));
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(TComponent, FindComponentIgnoresAsciiLetterCase) {
    TComponent owner(nullptr);
    auto* label = new TComponent(&owner);
    label->SetName("Label1");
    EXPECT_EQ(owner.FindComponent("label1"), label);
    EXPECT_EQ(owner.FindComponent("LABEL1"), label);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_EQ(owner.FindComponent("Label"), nullptr);
    EXPECT_EQ(TComponent(nullptr).FindComponent("x"), nullptr);
}

// An owner that lets its components share a name.
class TLenient : public TComponent {
    VELBRIN_CLASS(TLenient, TComponent)

public:
    using TComponent::TComponent;
    void CheckRename(TComponent*, const std::string&, const std::string&) override {}
};

VELBRIN_DEFINE_CLASS(TLenient, TComponent, "Tests")

TEST(TComponent, FindComponentGivesTheFirstInListOrderAndFollowsRenames) {
    TLenient owner(nullptr);
    auto* first = new TComponent(&owner);
    auto* second = new TComponent(&owner);
    second->SetName("Twin");
    first->SetName("twin");
    EXPECT_EQ(owner.FindComponent("TWIN"), first);
    first->SetComponentIndex(1);
    EXPECT_EQ(owner.FindComponent("TWIN"), second);
    second->SetName("Single");
    EXPECT_EQ(owner.FindComponent("twin"), first);
    EXPECT_EQ(owner.FindComponent("single"), second);
    delete first;
    EXPECT_EQ(owner.FindComponent("twin"), nullptr);
    owner.DisownComponent(second);
    EXPECT_EQ(owner.FindComponent("single"), nullptr);
    delete second;
}

TEST(TComponent, RenamingKeepsNamesUniqueAmongSiblings) {
    TComponent owner(nullptr);
    auto* label = new TComponent(&owner);
    auto* grid = new TComponent(&owner);
    label->SetName("Label1");
    grid->SetName("Grid1");
    label->SetName("LABEL1");
    EXPECT_EQ(label->Name(), "LABEL1");
    EXPECT_EQ(MessageOf<EComponentError>([&] { grid->SetName("label1"); }),
              "ｺﾝﾎﾟｰﾈﾝﾄ名 label1 はすでに使われています");
    EXPECT_EQ(grid->Name(), "Grid1");
    EXPECT_EQ(owner.ComponentCount(), 2);
    // Components without an owner never clash.
    TComponent loose(nullptr);
    loose.SetName("Grid1");
    EXPECT_EQ(loose.Name(), "Grid1");
}

TEST(TComponent, NamesMustBeIdentifiers) {
    TComponent component(nullptr);
    component.SetName("Good_1");
    EXPECT_EQ(MessageOf<EComponentError>([&] { component.SetName("1abc"); }),
              "ｺﾝﾎﾟｰﾈﾝﾄ名に ''1abc'' は使えません");
    EXPECT_EQ(MessageOf<EComponentError>([&] { component.SetName("a-b"); }),
              "ｺﾝﾎﾟｰﾈﾝﾄ名に ''a-b'' は使えません");
    EXPECT_EQ(component.Name(), "Good_1");
    EXPECT_TRUE(IsValidIdent("_x9"));
    EXPECT_FALSE(IsValidIdent("x\x82\xa0"));
    EXPECT_FALSE(IsValidIdent(""));
}

TEST(TComponent, NamingBindsAndUnbindsTheOwnersPublishedField) {
    TForm1 form(nullptr);
    auto* label = new TLabel(&form);
    EXPECT_EQ(form.Label1, nullptr);
    label->SetName("label1");
    EXPECT_EQ(form.Label1, label);
    label->SetName("Caption1");
    EXPECT_EQ(form.Label1, nullptr);
    label->SetName("Label1");
    EXPECT_EQ(form.Label1, label);
    label->SetName("");
    EXPECT_EQ(form.Label1, nullptr);
    label->SetName("Label1");
    delete label;
    EXPECT_EQ(form.Label1, nullptr);
    // A component of another class than the field's is not bound.
    auto* impostor = new TComponent(&form);
    impostor->SetName("Label1");
    EXPECT_EQ(form.Label1, nullptr);
}

TEST(TComponent, AdoptingANamedComponentWhoseNameIsTakenFailsBeforeItJoins) {
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    first->SetName("Same");
    TComponent second(nullptr);
    second.SetName("SAME");
    EXPECT_EQ(MessageOf<EComponentError>([&] { owner.AdoptComponent(&second); }),
              "ｺﾝﾎﾟｰﾈﾝﾄ名 SAME はすでに使われています");
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(second.Owner(), nullptr);
}

TEST(TComponent, ComponentsIndexingAndReordering) {
    TComponent owner(nullptr);
    EXPECT_EQ(MessageOf<EListError>([&] { owner.Components(0); }),
              "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています");
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    auto* c = new TComponent(&owner);
    EXPECT_THROW(owner.Components(3), EListError);
    c->SetComponentIndex(-5);
    EXPECT_EQ(owner.Components(0), c);
    EXPECT_EQ(owner.Components(1), a);
    a->SetComponentIndex(99);
    EXPECT_EQ(owner.Components(2), a);
    EXPECT_EQ(b->ComponentIndex(), 1);
    owner.DisownComponent(b);
    EXPECT_EQ(b->Owner(), nullptr);
    EXPECT_EQ(owner.ComponentCount(), 2);
    delete b;
}

TEST(TComponent, FreeNoticesAreMutualAcrossOwners) {
    std::vector<std::string> journal;
    auto* watcher = new TTracked(nullptr, &journal, "W");
    auto* watched = new TTracked(nullptr, &journal, "X");
    watcher->RequestFreeNotice(watched);
    delete watched;
    EXPECT_EQ(journal, (std::vector<std::string>{"free X", "W told of removal of X"}));
    journal.clear();
    // The watcher's list no longer holds the freed component.
    delete watcher;
    EXPECT_EQ(journal, (std::vector<std::string>{"free W"}));
}

TEST(TComponent, DesignModeSpreadsOverTheOwnershipTree) {
    TComponent owner(nullptr);
    auto* early = new TComponent(&owner);
    owner.SetDesigning(true);
    EXPECT_TRUE(early->HasState(csDesigning));
    auto* late = new TComponent(&owner);
    EXPECT_TRUE(late->HasState(csDesigning));
    owner.SetDesigning(false);
    EXPECT_FALSE(late->HasState(csDesigning));
    owner.Updating();
    EXPECT_EQ(owner.ComponentState(), csUpdating);
    owner.Updated();
    EXPECT_EQ(owner.ComponentState(), 0);
}

TEST(TPersistent, AssigningNilOrAnUnrelatedClassRaisesTheAssignmentError) {
    testing::TTestFont font;
    EXPECT_EQ(MessageOf<EConvertError>([&] { font.Assign(nullptr); }),
              "nil を TTestFont に代入することはできません");
    TComponent component(nullptr);
    EXPECT_EQ(MessageOf<EConvertError>([&] { font.Assign(&component); }),
              "TComponent を TTestFont に代入することはできません");
    EXPECT_EQ(font.changes, 0);
}

// Classes registered by the registry test only.
class TRegisteredBase : public TPersistent {
    VELBRIN_CLASS(TRegisteredBase, TPersistent)
};
VELBRIN_DEFINE_CLASS(TRegisteredBase, TPersistent, "Tests")

class TRegistered : public TRegisteredBase {
    VELBRIN_CLASS(TRegistered, TRegisteredBase)
};
VELBRIN_DEFINE_CLASS(TRegistered, TRegisteredBase, "Tests")

namespace other {
class TRegistered : public TPersistent {
    VELBRIN_CLASS(TRegistered, TPersistent)
};
VELBRIN_DEFINE_CLASS(TRegistered, TPersistent, "Tests")
} // namespace other

TEST(ClassRegistry, RegistersTheAncestorsAndRefusesATakenName) {
    RegisterStreamClass(TRegistered::StaticClass());
    EXPECT_EQ(LookupStreamClass("tregistered"), &TRegistered::StaticClass());
    EXPECT_EQ(LookupStreamClass("TRegisteredBase"), &TRegisteredBase::StaticClass());
    EXPECT_EQ(LookupStreamClass("TPersistent"), &TPersistent::StaticClass());
    EXPECT_EQ(LookupStreamClass("TObject"), nullptr);
    // Registering again changes nothing.
    RegisterStreamClasses({&TRegistered::StaticClass(), &TRegisteredBase::StaticClass()});
    EXPECT_EQ(
        MessageOf<EFilerError>([] { RegisterStreamClass(other::TRegistered::StaticClass()); }),
        "ｸﾗｽ名 TRegistered はすでに使われています");
    EXPECT_EQ(&FindStreamClass("TREGISTERED"), &TRegistered::StaticClass());
    EXPECT_EQ(MessageOf<EClassNotFound>([] { FindStreamClass("TNowhere"); }),
              "ｸﾗｽ TNowhere が見つかりません");
    UnregisterStreamClass(TRegistered::StaticClass());
    UnregisterStreamClass(TRegisteredBase::StaticClass());
    EXPECT_EQ(LookupStreamClass("TRegistered"), nullptr);
}

TEST(TMetaClass, ConstructsTheClassItDescribesWithAnOwner) {
    TComponent owner(nullptr);
    TObject* made = TLabel::StaticClass().Construct(&owner);
    ASSERT_TRUE(made->Is<TLabel>());
    EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), &owner);
    EXPECT_FALSE(TComponent::StaticClass().InheritsFrom(TLabel::StaticClass()));
    EXPECT_THROW(TObject::StaticClass().Construct(nullptr), EInvalidOperation);
}

} // namespace
} // namespace velbrin
