#include "core/Events.h"

#include <gtest/gtest.h>

#include <vector>

namespace velbrin {
namespace {

struct Listener : TObject {
    void Heard(TObject* sender) { senders.push_back(sender); }
    void Other(TObject*) {}
    std::vector<TObject*> senders;
};

TEST(TNotifyEvent, BindsAMethodOfOneObjectAndComparesByBoth) {
    Listener one, two;
    TObject sender;
    TNotifyEvent event;
    EXPECT_FALSE(event.Assigned());
    event = TNotifyEvent::Of<&Listener::Heard>(&two);
    ASSERT_TRUE(event.Assigned());
    event(&sender);
    EXPECT_TRUE(one.senders.empty());
    EXPECT_EQ(two.senders, std::vector<TObject*>{&sender});

    EXPECT_EQ(event, TNotifyEvent::Of<&Listener::Heard>(&two));
    EXPECT_NE(event, TNotifyEvent::Of<&Listener::Heard>(&one));
    EXPECT_NE(event, TNotifyEvent::Of<&Listener::Other>(&two));
    EXPECT_NE(event, TNotifyEvent());
}

} // namespace
} // namespace velbrin
