// Win32Platform wiring.
#include <gtest/gtest.h>

#include "fakes/Fakes.h"
#include "platform/win32/Win32Platform.h"

namespace {

using qrtl::win32::Win32Platform;

TEST(Win32PlatformTest, Services_EveryServiceIsItsOwnAdapterAndPromptPassesThrough) {
    Win32Platform platform;
    fakes::FakePrompt prompt;
    const qrtl::Services s = platform.Services(&prompt);
    EXPECT_EQ(s.profile, &platform.profile);
    EXPECT_EQ(s.module, &platform.module);
    EXPECT_EQ(s.registry, &platform.registry);
    EXPECT_EQ(s.desktop, &platform.desktop);
    EXPECT_EQ(s.card, &platform.card);
    EXPECT_EQ(s.clock, &platform.clock);
    EXPECT_EQ(s.launcher, &platform.launcher);
    EXPECT_EQ(s.shutdown, &platform.shutdown);
    EXPECT_EQ(s.prompt, &prompt);
}

}  // namespace
