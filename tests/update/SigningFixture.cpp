#include "tests/update/SigningFixture.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "update/Sha256.h"
#include "update/SignatureManifest.h"

namespace fixture {

namespace {

using Options = testsupport::TestCertificate::Options;

Options Ca() {
    Options o;
    o.ca = true;
    o.notAfterDays = 3650;
    return o;
}

Options Validity(long from, long to) {
    Options o;
    o.notBeforeDays = from;
    o.notAfterDays = to;
    return o;
}

Options Usage(const std::string& usage) {
    Options o;
    o.extendedUsage = usage;
    return o;
}

}  // namespace

Signers::Signers()
    : root("Arvel test root", nullptr, Ca()),
      intermediate("Arvel test intermediate", &root, Ca()),
      leaf("Arvel test signer", &root, Options()),
      viaIntermediate("Arvel test signer via intermediate", &intermediate, Options()),
      expired("Arvel expired signer", &root, Validity(-730, -365)),
      notYetValid("Arvel future signer", &root, Validity(365, 730)),
      codeSigning("Arvel code signer", &root, Usage("codeSigning")),
      otherRoot("Someone else's root", nullptr, Ca()),
      otherLeaf("Someone else's signer", &otherRoot, Options()) {}

const Signers& TestSigners() {
    static const Signers* signers = new Signers();  // kept for the whole test program
    return *signers;
}

std::string ManifestOf(const std::string& path) {
    const std::string bytes = testsupport::ReadFile(path);
    Sha256 sha256;
    sha256.Update(bytes.data(), bytes.size());
    SignatureManifest manifest;
    EXPECT_TRUE(sha256.Final(&manifest.sha256));
    manifest.size = bytes.size();
    return manifest.Text();
}

void SignFile(const std::string& path, const testsupport::TestCertificate& signer,
              const std::vector<const testsupport::TestCertificate*>& chain) {
    ASSERT_TRUE(testsupport::WriteFile(path + ".sig", signer.Sign(ManifestOf(path), chain)));
}

}  // namespace fixture
