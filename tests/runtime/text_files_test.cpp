// Path mapping, text encoding and decoding, and the state file.
#include <gtest/gtest.h>

#include "runtime/kp_data.h"
#include "runtime/kp_headless_game.h"
#include "support/test_support.h"

TEST(DataPath, NamesGoUnderTheDataFolder) {
    EXPECT_EQ(kp_data_FixDataPath(u"gfx/ball.png"), u"zembra://data/gfx/ball.png");
}
