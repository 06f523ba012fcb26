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

} // namespace
} // namespace velbrin
