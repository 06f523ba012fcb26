#include "core/Events.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

class Listener : public TObject {
public:
    void Heard(TObject* sender) { senders.push_back(sender); }
    void Other(TObject* sender) { senders.push_back(sender); }

    std::vector<TObject*> senders;
};

TEST(TNotifyEvent, IsAssignedOnceBoundAndCallsTheBoundObject) {
    TNotifyEvent event;
    EXPECT_FALSE(event.Assigned());
    EXPECT_EQ(event, TNotifyEvent());

    Listener first;
    Listener second;
    TObject sender;
    event = TNotifyEvent::Of<&Listener::Heard>(&second);
    ASSERT_TRUE(event.Assigned());
    EXPECT_EQ(event.Data(), &second);
    event(&sender);
    EXPECT_TRUE(first.senders.empty());
    EXPECT_EQ(second.senders, std::vector<TObject*>{&sender});
}

TEST(TNotifyEvent, EqualWhenMethodAndObjectAreEqual) {
    Listener one;
    Listener two;
    auto heard = TNotifyEvent::Of<&Listener::Heard>(&one);
    EXPECT_EQ(heard, TNotifyEvent::Of<&Listener::Heard>(&one));
    EXPECT_NE(heard, TNotifyEvent::Of<&Listener::Heard>(&two));
    EXPECT_NE(heard, TNotifyEvent::Of<&Listener::Other>(&one));
}

} // namespace
} // namespace velbrin
