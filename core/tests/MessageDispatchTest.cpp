#include "core/TObject.h"

#include <gtest/gtest.h>

#include <string>

namespace velbrin {
namespace {

constexpr UINT WM_PING = 0x0400;
constexpr UINT WM_PONG = 0x0401;
constexpr UINT WM_OTHER = 0x0402;

class TBase : public TObject {
    VELBRIN_CLASS(TBase, TObject)

public:
    void DefaultHandler(TMessage& message) override {
        trail += "default" + std::to_string(message.Msg);
    }
    void Ping(TMessage& message) {
        trail += "base-ping;";
        message.Result = 1;
    }
    void Pong(TMessage&) { trail += "base-pong;"; }

    std::string trail;
};

VELBRIN_DEFINE_CLASS_TABLES(TBase, TObject, "Tests") {
    cls.Handle<WM_PING, &TBase::Ping>();
    cls.Handle<WM_PONG, &TBase::Pong>();
}

class TMiddle : public TBase {
    VELBRIN_CLASS(TMiddle, TBase)
};

VELBRIN_DEFINE_CLASS(TMiddle, TBase, "Tests")

class TDerived : public TMiddle {
    VELBRIN_CLASS(TDerived, TMiddle)

public:
    void Ping(TMessage& message) {
        trail += "derived-ping;";
        Inherited(message);
        message.Result += 10;
    }
    void Other(TMessage& message) {
        trail += "derived-other;";
        Inherited(message);
    }
};

VELBRIN_DEFINE_CLASS_TABLES(TDerived, TMiddle, "Tests") {
    cls.Handle<WM_PING, &TDerived::Ping>();
    cls.Handle<WM_OTHER, &TDerived::Other>();
}

TEST(MessageDispatch, FindsTheNearestHandlerAndInheritedReachesTheNextAncestor) {
    TDerived derived;
    TMessage ping{WM_PING, 0, 0, 0};
    derived.Dispatch(ping);
    EXPECT_EQ(derived.trail, "derived-ping;base-ping;");
    EXPECT_EQ(ping.Result, 11);

    derived.trail.clear();
    TMessage pong{WM_PONG, 0, 0, 0};
    derived.Dispatch(pong);
    EXPECT_EQ(derived.trail, "base-pong;");

    // No ancestor handles it: inherited ends in the default handler.
    derived.trail.clear();
    TMessage other{WM_OTHER, 0, 0, 0};
    derived.Dispatch(other);
    EXPECT_EQ(derived.trail, "derived-other;default1026");

    derived.trail.clear();
    TMessage unknown{0x999, 0, 0, 0};
    derived.Dispatch(unknown);
    EXPECT_EQ(derived.trail, "default2457");
}

TEST(MessageDispatch, AnAncestorObjectUsesItsOwnTable) {
    TMiddle middle;
    TMessage ping{WM_PING, 0, 0, 0};
    middle.Dispatch(ping);
    EXPECT_EQ(middle.trail, "base-ping;");
    EXPECT_EQ(ping.Result, 1);
    EXPECT_STREQ(TDerived::StaticClass().Parent()->Name(), "TMiddle");
    EXPECT_STREQ(TDerived::StaticClass().UnitName(), "Tests");
}

// Many numbers, declared out of order, some twice: the first declaration of
// a number in a class counts, and a class's own handler hides its parent's.
class TManyBase : public TObject {
    VELBRIN_CLASS(TManyBase, TObject)

public:
    void DefaultHandler(TMessage& message) override { message.Result = -1; }
    template <int Tag> void Mark(TMessage& message) { message.Result = Tag; }
};

VELBRIN_DEFINE_CLASS_TABLES(TManyBase, TObject, "Tests") {
    cls.Handle<0x0530, &TManyBase::Mark<1>>();
    cls.Handle<0x0510, &TManyBase::Mark<2>>();
    cls.Handle<0x0540, &TManyBase::Mark<3>>();
    cls.Handle<0x0510, &TManyBase::Mark<4>>();
    cls.Handle<0x0520, &TManyBase::Mark<5>>();
}

class TManyDerived : public TManyBase {
    VELBRIN_CLASS(TManyDerived, TManyBase)
};

VELBRIN_DEFINE_CLASS_TABLES(TManyDerived, TManyBase, "Tests") {
    cls.Handle<0x0540, &TManyDerived::Mark<6>>();
    cls.Handle<0x0500, &TManyDerived::Mark<7>>();
    cls.Handle<0x0550, &TManyDerived::Mark<8>>();
}

LRESULT Answer(TObject& object, UINT number) {
    TMessage message{number, 0, 0, 0};
    object.Dispatch(message);
    return message.Result;
}

TEST(MessageDispatch, EachNumberReachesTheNearestFirstDeclaredHandler) {
    TManyDerived derived;
    TManyBase base;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Answer(derived, 0x0500), 7);
        EXPECT_EQ(Answer(derived, 0x0510), 2) << "the first of the base's two";
        EXPECT_EQ(Answer(derived, 0x0520), 5);
        EXPECT_EQ(Answer(derived, 0x0530), 1);
        EXPECT_EQ(Answer(derived, 0x0540), 6) << "the derived class's own";
        EXPECT_EQ(Answer(derived, 0x0550), 8);
        EXPECT_EQ(Answer(derived, 0x0505), -1);
        EXPECT_EQ(Answer(derived, 0x0560), -1);
        EXPECT_EQ(Answer(derived, 0x04FF), -1);
        EXPECT_EQ(Answer(base, 0x0540), 3);
        EXPECT_EQ(Answer(base, 0x0500), -1) << "only the derived class handles it";
        EXPECT_EQ(Answer(base, 0x0550), -1);
    }
}

} // namespace
} // namespace velbrin
