#include <gtest/gtest.h>

#include "platform/TextLines.h"

TEST(TextLines, Placeholder) { EXPECT_EQ(platform::SplitLines("a\r\nb").size(), 2u); }
