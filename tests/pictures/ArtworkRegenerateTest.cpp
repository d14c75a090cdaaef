#include <gtest/gtest.h>

#include "tests/support/Regeneration.h"

namespace {

TEST(ArtworkGenerator, RemakesTheCommittedPicturesByteForByte) {
    EXPECT_EQ(testsupport::RegenerationDifference("tovrask-artwork", TOVRASK_SOURCE_DIR,
                                                  "gui/engine/data/BackgroundPictures.cpp",
                                                  "regenerate-artwork"),
              "");
}

}  // namespace
