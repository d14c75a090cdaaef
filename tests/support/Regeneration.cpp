#include "tests/support/Regeneration.h"

#include <algorithm>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"

namespace testsupport {

std::string RegenerationDifference(const std::string& generator, const std::string& sourceDir,
                                   const std::string& relative, const std::string& target) {
    TempDir dir;
    const std::string generated = dir / "generated";
    const ProcessResult run = RunCommand({ProgramPath(generator), generated});
    if (run.status != 0)
        return generator + " failed with status " + std::to_string(run.status) + ": " + run.err;
    const std::string fresh = ReadFile(generated);
    const std::string committed = ReadFile(sourceDir + "/" + relative);
    if (committed.empty())
        return relative + " is missing or empty";
    if (fresh == committed)
        return "";
    const auto at = std::mismatch(fresh.begin(), fresh.end(), committed.begin(), committed.end());
    const long line = 1 + std::count(fresh.begin(), at.first, '\n');
    return relative + " differs from the generator's output from line " + std::to_string(line) +
           " on; rebuild it with the " + target + " target";
}

}  // namespace testsupport
