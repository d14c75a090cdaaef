// Signed bundles through the reader: which signatures a CA file lets through, the lines and the
// code of a refusal, and that the SHA-256 rides along the MD5's steps.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"
#include "tests/update/SigningFixture.h"
#include "update/BundleError.h"
#include "update/SignatureManifest.h"

using fixture::Bundle;
using fixture::SignFile;
using fixture::StepRun;
using fixture::Steps;
using fixture::TestSigners;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

class SignatureTest : public ::testing::Test {
protected:
    SignatureTest() : reader(0) {
        fixture::UseTargetSystem();
        EXPECT_TRUE(WriteFile(Ca(), TestSigners().root.CertificatePem()));
    }

    std::string Ca() const { return dir / "zup-ca.pem"; }
    std::string Path() const { return dir / "b.zup"; }
    // A bundle of a few chunks, so that the digest covers more than one step.
    std::string MakeBundle(const std::string& text = "new kernel") {
        return Bundle(Path())
            .File("boot/zImage", std::string(20000, 'k') + text)
            .File("etc/hostname", "arvel\n")
            .Finish();
    }
    StepRun Verify(const std::string& ca) {
        reader.SetSignatureAuthority(ca);
        reader.SetBundlePath(Path());
        return Steps(reader, &BundleReader::VerifyStep);
    }
    void ExpectRefused(const StepRun& run, const char* why) {
        EXPECT_EQ(run.Last(), kErrorSignature);
        EXPECT_EQ(reader.State(), -1);
        EXPECT_EQ(reader.Error(), kErrorSignature);
        const std::string tail =
            std::string("Signature error: ") + why + "\nInvalid signature of the bundle file.\n";
        ASSERT_GE(run.out.size(), tail.size()) << run.out;
        EXPECT_EQ(run.out.substr(run.out.size() - tail.size()), tail) << run.out;
        EXPECT_EQ(run.out.find("Verify success."), std::string::npos);
    }

    TempDir dir;
    BundleReader reader;
};

TEST_F(SignatureTest, AcceptedSignersLeadToTheCaWhateverTheirDatesAndPurposes) {
    const fixture::Signers& s = TestSigners();
    struct Case {
        const char* name;
        const testsupport::TestCertificate& signer;
        std::vector<const testsupport::TestCertificate*> chain;
    };
    const Case cases[] = {
        {"issued by the CA", s.leaf, {}},
        {"through an intermediate", s.viaIntermediate, {&s.intermediate}},
        {"expired", s.expired, {}},
        {"not yet valid", s.notYetValid, {}},
        {"code signing without e-mail protection", s.codeSigning, {}},
        {"the CA itself", s.root, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeBundle();
        SignFile(Path(), c.signer, c.chain);
        const StepRun run = Verify(Ca());
        EXPECT_EQ(run.Last(), 101) << run.out;
        EXPECT_EQ(reader.State(), 3);
        EXPECT_NE(run.out.find("Verify success.\n"), std::string::npos);
        EXPECT_EQ(run.out.find("Signature"), std::string::npos);
    }
}

TEST_F(SignatureTest, RefusedSignatures) {
    const fixture::Signers& s = TestSigners();
    using Prepare = std::function<void()>;
    const auto resealed = [this](const std::function<void(std::string&)>& change) {
        // A forger keeps the bundle's own checks right: only the signature can tell.
        std::string bytes = ReadFile(Path());
        change(bytes);
        bundle::Seal(reinterpret_cast<uint8_t*>(&bytes[0]), bytes.size());
        ASSERT_TRUE(WriteFile(Path(), bytes));
    };
    const auto sigBytes = [this](const std::function<void(std::string&)>& change) {
        std::string bytes = ReadFile(Path() + ".sig");
        change(bytes);
        ASSERT_TRUE(WriteFile(Path() + ".sig", bytes));
    };
    struct Case {
        const char* name;
        Prepare prepare;
        const char* why;
    };
    const Case cases[] = {
        {"no signature file", [] {}, "no signature file."},
        {"signed by another CA", [&] { SignFile(Path(), s.otherLeaf, {&s.otherRoot}); },
         "not trusted."},
        {"intermediate left out", [&] { SignFile(Path(), s.viaIntermediate); }, "not trusted."},
        {"signature of another bundle",
         [&] {
             ASSERT_TRUE(WriteFile(dir / "other.zup", ReadFile(Path()) + "x"));
             SignFile(dir / "other.zup", s.leaf);
             ASSERT_TRUE(WriteFile(Path() + ".sig", ReadFile(dir / "other.zup.sig")));
         },
         "digest mismatch."},
        {"one byte changed after signing",
         [&] {
             SignFile(Path(), s.leaf);
             resealed([](std::string& b) { b[b.size() - 3] ^= 1; });
         },
         "digest mismatch."},
        {"truncated after signing",
         [&] {
             SignFile(Path(), s.leaf);
             resealed([](std::string& b) { b.resize(b.size() - 7); });
         },
         "digest mismatch."},
        {"truncated signature",
         [&] {
             SignFile(Path(), s.leaf);
             sigBytes([](std::string& b) { b.resize(b.size() / 2); });
         },
         "malformed."},
        {"garbage signature", [&] { ASSERT_TRUE(WriteFile(Path() + ".sig", "not a signature")); },
         "malformed."},
        {"empty signature", [&] { ASSERT_TRUE(WriteFile(Path() + ".sig", "")); }, "malformed."},
        {"bytes behind the signature",
         [&] {
             SignFile(Path(), s.leaf);
             sigBytes([](std::string& b) { b += '\0'; });
         },
         "malformed."},
        {"oversized signature",
         [&] {
             SignFile(Path(), s.leaf);
             sigBytes([](std::string& b) { b.resize(64 * 1024 + 1, '\0'); });
         },
         "malformed."},
        {"signed text that is no manifest",
         [&] { ASSERT_TRUE(WriteFile(Path() + ".sig", s.leaf.Sign("sha256 0\nsize 1\n"))); },
         "malformed."},
        {"manifest content changed inside the signature",
         [&] {
             SignFile(Path(), s.leaf);
             sigBytes([](std::string& b) {
                 const size_t at = b.find("size ");
                 ASSERT_NE(at, std::string::npos);
                 b[at + 5] = b[at + 5] == '9' ? '8' : '9';
             });
         },
         "not trusted."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink((Path() + ".sig").c_str());
        MakeBundle();
        c.prepare();
        ExpectRefused(Verify(Ca()), c.why);
    }
}

TEST_F(SignatureTest, AnUnusableCaRefusesEveryBundle) {
    MakeBundle();
    SignFile(Path(), TestSigners().leaf);
    const std::string key = TestSigners().leaf.KeyPem();
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}},
        {"empty", [](const std::string& p) { ASSERT_TRUE(WriteFile(p, "")); }},
        {"garbage", [](const std::string& p) { ASSERT_TRUE(WriteFile(p, "-----BEGIN junk\n")); }},
        {"a key, no certificate", [&](const std::string& p) { ASSERT_TRUE(WriteFile(p, key)); }},
        {"a folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0755), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ca = dir / (std::string("ca-") + c.name);
        c.make(ca);
        ExpectRefused(Verify(ca), "no usable CA.");
    }
}

// A manifest written on another system, with CRLF line ends.
TEST_F(SignatureTest, AManifestWithCrlfLineEnds) {
    MakeBundle();
    std::string crlf;
    for (const char c : fixture::ManifestOf(Path())) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    ASSERT_TRUE(WriteFile(Path() + ".sig", TestSigners().leaf.Sign(crlf)));
    EXPECT_EQ(Verify(Ca()).Last(), 101);
}

TEST_F(SignatureTest, ACaFileWithSeveralCertificatesTrustsEach) {
    const fixture::Signers& s = TestSigners();
    ASSERT_TRUE(WriteFile(Ca(), s.otherRoot.CertificatePem() + s.root.CertificatePem()));
    MakeBundle();
    SignFile(Path(), s.leaf);
    EXPECT_EQ(Verify(Ca()).Last(), 101);
    SignFile(Path(), s.otherLeaf);
    EXPECT_EQ(Verify(Ca()).Last(), 101);
}

// Without a CA the reader prints and steps exactly as it always did, a signature file or not;
// with one, the same steps come, the signature being checked in the last.
TEST_F(SignatureTest, TheDigestRidesAlongTheSameSteps) {
    MakeBundle();
    const StepRun plain = Verify("");
    ASSERT_EQ(plain.Last(), 101);
    ASSERT_TRUE(WriteFile(Path() + ".sig", "garbage, never read"));
    const StepRun ignored = Verify("");
    EXPECT_EQ(ignored.results, plain.results);
    EXPECT_EQ(ignored.out, plain.out);

    SignFile(Path(), TestSigners().leaf);
    const StepRun bytes = Verify(Ca());
    EXPECT_EQ(bytes.results, plain.results);
    EXPECT_EQ(bytes.states, plain.states);
    EXPECT_EQ(bytes.out, plain.out);
}

TEST_F(SignatureTest, TheMd5IsCheckedBeforeTheSignature) {
    Bundle(Path()).File("a", "b").Finish([](bundle::Head& h) {
        h.digest[0] ^= 1;
        h.checksum = h.ComputeChecksum();
    });
    const StepRun run = Verify(Ca());
    EXPECT_EQ(run.Last(), kErrorDigest);
    EXPECT_EQ(run.out.find("Signature"), std::string::npos);
}

TEST(SignatureManifestTest, Texts) {
    const std::string hex(64, 'a');
    struct Case {
        std::string text;
        bool ok;
        uint64_t size;
    };
    const Case cases[] = {
        {"sha256 " + hex + "\nsize 123\n", true, 123},
        {"sha256 " + hex + "\r\nsize 0\r\n", true, 0},
        {"sha256 " + hex + "\nsize 18446744073709551615\n", true, UINT64_MAX},
        {"sha256 " + hex + "\nsize 18446744073709551616\n", false, 0},
        {"sha256 " + std::string(64, 'A') + "\nsize 1\n", false, 0},
        {"sha256 " + std::string(63, 'a') + "\nsize 1\n", false, 0},
        {"sha256 " + std::string(63, 'a') + "g\nsize 1\n", false, 0},
        {"sha256 " + hex + "\nsize 1", false, 0},
        {"sha256 " + hex + "\nsize 1\n\n", false, 0},
        {"sha256 " + hex + "\nsize +1\n", false, 0},
        {"sha256 " + hex + "\nsize \n", false, 0},
        {"sha256 " + hex + "\nsize 1 \n", false, 0},
        {"size 1\nsha256 " + hex + "\n", false, 0},
        {"sha256  " + hex + "\nsize 1\n", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SignatureManifest m;
        const bool ok = SignatureManifest::Parse(reinterpret_cast<const uint8_t*>(c.text.data()),
                                                 c.text.size(), &m);
        EXPECT_EQ(ok, c.ok);
        if (ok) {
            EXPECT_EQ(m.size, c.size);
            EXPECT_EQ(m.sha256[0], 0xaa);
        }
    }
    SignatureManifest m;
    m.sha256.fill(0x0f);
    m.size = 42;
    std::string hex0f;
    for (int i = 0; i < 32; ++i)
        hex0f += "0f";
    EXPECT_EQ(m.Text(), "sha256 " + hex0f + "\nsize 42\n");
}

}  // namespace
