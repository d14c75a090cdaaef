#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"

namespace {

TEST(FontGenerator, RemakesTheCommittedFontByteForByte) {
    testsupport::TempDir dir;
    const std::string generated = dir / "BuiltinFont.cpp";
    const testsupport::ProcessResult run =
        testsupport::RunCommand({testsupport::ProgramPath("tovrask-fontgen"), generated});
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string fresh = testsupport::ReadFile(generated);
    const std::string committed =
        testsupport::ReadFile(std::string(TOVRASK_SOURCE_DIR) + "/gui/engine/data/BuiltinFont.cpp");
    ASSERT_FALSE(committed.empty());
    if (fresh != committed) {
        const auto at =
            std::mismatch(fresh.begin(), fresh.end(), committed.begin(), committed.end());
        const long line = 1 + std::count(fresh.begin(), at.first, '\n');
        ADD_FAILURE() << "gui/engine/data/BuiltinFont.cpp differs from the generator's output from "
                         "line "
                      << line << " on; rebuild it with the regenerate-font target";
    }
}

}  // namespace
