#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"
#include "update/BundleError.h"

using fixture::Bundle;
using fixture::StepRun;
using fixture::Steps;

namespace {

class VerifyTest : public ::testing::Test {
protected:
    VerifyTest() : reader(0) { fixture::UseTargetSystem(); }

    StepRun Verify(const std::string& path) {
        reader.SetBundlePath(path);
        return Steps(reader, &BundleReader::VerifyStep);
    }

    testsupport::TempDir dir;
    BundleReader reader;
};

TEST_F(VerifyTest, HeadChecksStopAtTheFirstFailureInOrder) {
    using Tamper = std::function<void(bundle::Head&)>;
    const auto resealed = [](Tamper change) -> Tamper {
        return [change](bundle::Head& h) {
            change(h);
            h.checksum = h.ComputeChecksum();
        };
    };
    struct Case {
        const char* name;
        Tamper tamper;
        int code;
    };
    const Case cases[] = {
        {"magic", [](bundle::Head& h) { h.magic[7] = '!'; }, kErrorMagic},
        {"type 0", resealed([](bundle::Head& h) { h.type = 0; }), kErrorType},
        {"version", resealed([](bundle::Head& h) { h.version = 2; }), kErrorVersion},
        {"checksum", [](bundle::Head& h) { h.checksum ^= 0x100; }, kErrorChecksum},
        {"all wrong",
         [](bundle::Head& h) {
             h.magic[0] = 'X';
             h.type = 0;
             h.version = 9;
             h.checksum = 0;
         },
         kErrorMagic},
        {"type before version", resealed([](bundle::Head& h) {
             h.type = 0;
             h.version = 4;
         }),
         kErrorType},
        {"content version", [](bundle::Head& h) { h.contentVersion = 101; }, kErrorChecksum},
        {"reserved byte 34", [](bundle::Head& h) { h.reserved34[0] = 1; }, kErrorChecksum},
        {"reserved byte 59", [](bundle::Head& h) { h.reserved40[19] = 1; }, kErrorChecksum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Bundle(dir / "b.zup").Finish(c.tamper);
        reader.SetBundlePath(path);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(reader.OpenHead());
        const std::string line = std::string(BundleReader::ErrorText(c.code)) + "\n";
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Bundle file (re)opened, filesize 0 kB\n" + line);
        EXPECT_EQ(reader.Error(), c.code);
        EXPECT_EQ(reader.State(), -1);

        const StepRun run = Verify(path);
        EXPECT_EQ(run.results, std::vector<int>{kErrorVerifyState});
        EXPECT_EQ(run.out,
                  "Bundle file (re)opened, filesize 0 kB\n" + line + "Invalid state in verify.\n");
        EXPECT_EQ(reader.Error(), kErrorVerifyState);
    }
}

TEST_F(VerifyTest, AShortHeadOrAMissingFile) {
    ASSERT_TRUE(testsupport::WriteFile(dir / "short.zup", "TOVRASK"));
    StepRun run = Verify(dir / "short.zup");
    EXPECT_EQ(run.results, std::vector<int>{kErrorVerifyState});
    EXPECT_EQ(run.out,
              "Bundle file (re)opened, filesize 0 kB\nRead failed during bundle head.\n"
              "Invalid state in verify.\n");

    run = Verify(dir / "missing.zup");
    EXPECT_EQ(run.results, std::vector<int>{kErrorVerifyState});
    EXPECT_EQ(run.out, "Open failed " + dir / "missing.zup" +
                           "\nCan open the bundle file.\nInvalid state in verify.\n");
    reader.SetBundlePath(dir / "missing.zup");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(reader.OpenHead());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(reader.Error(), kErrorOpen);
    EXPECT_EQ(reader.BundleHead().type, 0);
}

TEST_F(VerifyTest, StepSequences) {
    struct Case {
        size_t body;
        std::vector<int> results;
        std::vector<int> states;
    };
    const Case cases[] = {
        {0, {0, 100, 101}, {1, 2, 3}},
        // A body of whole chunks needs one more read that gets nothing.
        {8192, {0, 100, 100, 101}, {1, 1, 2, 3}},
        {3 * 8192 + 1, {0, 33, 66, 99, 100, 101}, {1, 1, 1, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const std::string path = Bundle(dir / "b.zup").Bytes(std::string(c.body, 'x')).Finish();
        const StepRun run = Verify(path);
        EXPECT_EQ(run.results, c.results);
        EXPECT_EQ(run.states, c.states);
        const std::string kb = std::to_string((64 + c.body) / 1024);
        EXPECT_EQ(run.out,
                  "Bundle file (re)opened, filesize " + kb +
                      " kB\nZUP Verify start - 0 files, bundle type 1.\nVerify success.\n");
    }
}

TEST_F(VerifyTest, ADigestMismatchFailsAndTheReaderStaysFailed) {
    const std::string good = Bundle(dir / "good.zup").File("a", "contents").Finish();
    const std::string bad =
        Bundle(dir / "bad.zup").File("a", "contents").Finish([](bundle::Head& h) {
            h.digest[3] ^= 1;
            h.checksum = h.ComputeChecksum();
        });
    StepRun run = Verify(bad);
    EXPECT_EQ(run.Last(), kErrorDigest);
    EXPECT_NE(run.out.find("ZUP Verify start - 1 files, bundle type 1.\n"), std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 32), "Invalid MD5 of the bundle file.\n");
    EXPECT_EQ(reader.State(), -1);

    run = Steps(reader, &BundleReader::VerifyStep);
    EXPECT_EQ(run.results, std::vector<int>{kErrorVerifyState});
    run = Steps(reader, &BundleReader::ExtractStep);
    EXPECT_EQ(run.results, std::vector<int>{kErrorExtractState});
    EXPECT_EQ(run.out, "Invalid state in extract.\n");

    EXPECT_EQ(Verify(good).Last(), 101);
    // A verified reader takes a new bundle: the open one is closed first.
    EXPECT_EQ(Verify(good).Last(), 101);
    run = Steps(reader, &BundleReader::VerifyStep);
    EXPECT_EQ(run.results, std::vector<int>{kErrorVerifyState});
}

}  // namespace
