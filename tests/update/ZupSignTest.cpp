// zup sign, and zup verify, extract and list with signatures, on the program itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"
#include "tests/update/SigningFixture.h"

namespace {

using fixture::TestSigners;
using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::WriteFile;

ProcessResult Zup(const std::vector<std::string>& args) {
    return testsupport::RunProgram("zup", args);
}

class ZupSignTest : public ::testing::Test {
protected:
    ZupSignTest() {
        fixture::UseTargetSystem();
        const fixture::Signers& s = TestSigners();
        EXPECT_TRUE(WriteFile(dir / "ca.pem", s.root.CertificatePem()));
        Keep("signer", s.leaf);
        Keep("deep", s.viaIntermediate);
        Keep("stranger", s.otherLeaf);
        EXPECT_TRUE(WriteFile(dir / "chain.pem", s.intermediate.CertificatePem()));
        fixture::Bundle(Bundle())
            .File("etc/hostname", "arvel\n")
            .File("boot/zImage", std::string(30000, 'k'))
            .Finish();
        testsupport::MakeDirs(dir / "out");
    }
    void Keep(const std::string& name, const testsupport::TestCertificate& c) {
        EXPECT_TRUE(WriteFile(dir / (name + ".crt"), c.CertificatePem()));
        EXPECT_TRUE(WriteFile(dir / (name + ".key"), c.KeyPem()));
    }
    std::string Bundle() const { return dir / "b.zup"; }
    ProcessResult Sign(const std::string& who, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"sign", "--cert", dir / (who + ".crt"), "--key",
                                         dir / (who + ".key")};
        args.insert(args.end(), more.begin(), more.end());
        args.push_back(Bundle());
        return Zup(args);
    }
    bool OutEmpty() const { return fixture::Snapshot(dir / "out").empty(); }

    testsupport::TempDir dir;
};

TEST_F(ZupSignTest, ASignedBundleVerifiesAndExtractsWithTheCa) {
    const ProcessResult sign = Sign("signer");
    ASSERT_EQ(sign.status, 0) << sign.err;
    EXPECT_EQ(sign.out + sign.err, "");
    // The signed content is the manifest, as the standard tools show it.
    EXPECT_NE(ReadFile(Bundle() + ".sig").find(fixture::ManifestOf(Bundle())), std::string::npos);

    const ProcessResult verify = Zup({"verify", "--ca", dir / "ca.pem", Bundle()});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    EXPECT_NE(verify.out.find("Verify success.\n"), std::string::npos);
    const ProcessResult extract = Zup({"extract", "--ca", dir / "ca.pem", Bundle(), dir / "out"});
    EXPECT_EQ(extract.status, 0) << extract.out << extract.err;
    EXPECT_EQ(ReadFile(dir / "out/etc/hostname"), "arvel\n");

    const ProcessResult list = Zup({"list", Bundle()});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err, "zup: " + Bundle() + ": signature file " + Bundle() + ".sig (" +
                            std::to_string(ReadFile(Bundle() + ".sig").size()) + " bytes)\n");
}

TEST_F(ZupSignTest, AChainGoesIntoTheSignature) {
    ASSERT_EQ(Sign("deep").status, 0);
    ProcessResult verify = Zup({"verify", "--ca", dir / "ca.pem", Bundle()});
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.out.find("Signature error: not trusted.\n"), std::string::npos) << verify.out;
    ASSERT_EQ(Sign("deep", {"--chain", dir / "chain.pem"}).status, 0);
    verify = Zup({"verify", "--ca", dir / "ca.pem", Bundle()});
    EXPECT_EQ(verify.status, 0) << verify.out;
}

TEST_F(ZupSignTest, RefusedBundlesWriteNothing) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::string ca;
        const char* why;
    };
    const std::string ca = dir / "ca.pem";
    const Case cases[] = {
        {"unsigned", [] {}, ca, "no signature file."},
        {"signed by a stranger", [&] { ASSERT_EQ(Sign("stranger").status, 0); }, ca,
         "not trusted."},
        {"changed after signing",
         [&] {
             ASSERT_EQ(Sign("signer").status, 0);
             std::string bytes = ReadFile(Bundle());
             bytes[bytes.size() - 1] ^= 1;
             bundle::Seal(reinterpret_cast<uint8_t*>(&bytes[0]), bytes.size());
             ASSERT_TRUE(WriteFile(Bundle(), bytes));
         },
         ca, "digest mismatch."},
        {"garbage signature", [&] { ASSERT_TRUE(WriteFile(Bundle() + ".sig", "junk")); }, ca,
         "malformed."},
        {"CA file missing", [&] { ASSERT_EQ(Sign("signer").status, 0); }, dir / "none.pem",
         "no usable CA."},
        {"CA file of a key", [&] { ASSERT_EQ(Sign("signer").status, 0); }, dir / "signer.key",
         "no usable CA."},
    };
    const std::string original = ReadFile(Bundle());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFile(Bundle(), original));
        ::unlink((Bundle() + ".sig").c_str());
        c.prepare();
        for (const char* command : {"verify", "extract"}) {
            std::vector<std::string> args = {command, "--ca", c.ca, Bundle()};
            if (std::string(command) == "extract")
                args.push_back(dir / "out");
            const ProcessResult r = Zup(args);
            EXPECT_EQ(r.status, 1) << command;
            EXPECT_NE(r.out.find(std::string("Signature error: ") + c.why +
                                 "\nInvalid signature of the bundle file.\n"),
                      std::string::npos)
                << r.out;
            EXPECT_EQ(r.out.find("Verify success."), std::string::npos);
            EXPECT_EQ(r.err, "zup: " + Bundle() + ": verify failed (-51)\n");
            EXPECT_TRUE(OutEmpty()) << command;
        }
    }
    // Without --ca, today's check: the signature is not looked at.
    ASSERT_TRUE(WriteFile(Bundle(), original));
    const ProcessResult plain = Zup({"extract", Bundle(), dir / "out"});
    EXPECT_EQ(plain.status, 0) << plain.out << plain.err;
    EXPECT_EQ(plain.out.find("Signature"), std::string::npos);
    ::unlink((Bundle() + ".sig").c_str());
    const ProcessResult list = Zup({"list", Bundle()});
    EXPECT_EQ(list.err, "zup: " + Bundle() + ": no signature file\n");
}

TEST_F(ZupSignTest, SigningFailures) {
    // A key that is not the certificate's, a certificate that is not one, a missing chain file.
    const std::vector<std::vector<std::string>> failing = {
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "stranger.key", Bundle()},
        {"sign", "--cert", dir / "signer.key", "--key", dir / "signer.key", Bundle()},
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "signer.crt", Bundle()},
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "signer.key", "--chain",
         dir / "none.pem", Bundle()},
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "signer.key", dir / "none.zup"},
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "signer.key", dir / "no/b.zup"},
    };
    for (const auto& args : failing) {
        SCOPED_TRACE(args[2] + " " + args[4] + " " + args.back());
        const ProcessResult r = Zup(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("zup: ", 0), 0u) << r.err;
        EXPECT_FALSE(testsupport::Exists(Bundle() + ".sig"));
    }
    const std::vector<std::vector<std::string>> usage = {
        {"sign", Bundle()},
        {"sign", "--cert", dir / "signer.crt", Bundle()},
        {"sign", "--key", dir / "signer.key", Bundle()},
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "signer.key"},
        {"sign", "--cert", dir / "signer.crt", "--key", dir / "signer.key", "--chain"},
        {"verify", "--ca", Bundle()},
        {"verify", "--ca", "", Bundle()},
        {"extract", "--ca", dir / "ca.pem", Bundle()},
        {"list", "--ca", dir / "ca.pem", Bundle()},
    };
    for (const auto& args : usage) {
        const ProcessResult r = Zup(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_NE(r.err.find("zup sign --cert"), std::string::npos);
    }
    const ProcessResult help = Zup({"--help"});
    for (const char* word : {"sign", "--ca", "--chain", "/etc/zup-ca.pem"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

}  // namespace
