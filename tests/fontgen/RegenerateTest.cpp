#include <gtest/gtest.h>

#include "tests/support/Regeneration.h"

namespace {

TEST(FontGenerator, RemakesTheCommittedFontByteForByte) {
    EXPECT_EQ(
        testsupport::RegenerationDifference("tovrask-fontgen", TOVRASK_SOURCE_DIR,
                                            "gui/engine/data/BuiltinFont.cpp", "regenerate-font"),
        "");
}

}  // namespace
