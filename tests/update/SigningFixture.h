#pragma once

#include <string>
#include <vector>

#include "tests/support/TestCertificate.h"

// Certificates made once per test program, and signatures of bundles made by the tests.
namespace fixture {

struct Signers {
    Signers();
    testsupport::TestCertificate root;          // the CA a display holds
    testsupport::TestCertificate intermediate;  // issued by root
    testsupport::TestCertificate leaf;          // issued by root
    testsupport::TestCertificate viaIntermediate;
    testsupport::TestCertificate expired;      // issued by root, validity over
    testsupport::TestCertificate notYetValid;  // issued by root, validity to come
    testsupport::TestCertificate codeSigning;  // issued by root, code signing only
    testsupport::TestCertificate otherRoot;    // a CA the display does not hold
    testsupport::TestCertificate otherLeaf;    // issued by otherRoot
};
const Signers& TestSigners();

// The manifest of a file as it is now: its SHA-256 and size.
std::string ManifestOf(const std::string& path);
// Writes path + ".sig": the manifest of path signed by signer, with the chain's certificates.
void SignFile(const std::string& path, const testsupport::TestCertificate& signer,
              const std::vector<const testsupport::TestCertificate*>& chain = {});

}  // namespace fixture
