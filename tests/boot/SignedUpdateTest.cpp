// Signed bundles end to end through tovrask-sim: a display holding /etc/zup-ca.pem installs what
// its CA vouches for, refuses everything else without writing a byte, and can be given a new CA
// by a signed bundle.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/boot/DeviceRoot.h"
#include "tests/update/BundleFixture.h"
#include "tests/update/SigningFixture.h"

using fixture::SignFile;
using fixture::TestSigners;
using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// From the "Boot options" menu to "Update" and the only file on the stick; the run stops when
// the menu is back, whatever came of the update (status 124), with no marker written.
const std::string kUpdateKeys =
    "until:\"m_eState == sUpgrade\" wait:100 DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER "
    "until:\"m_eState == sUpgrade\" stop";

class SignedUpdateTest : public ::testing::Test {
protected:
    SignedUpdateTest() {
        fixture::UseTargetSystem();
        device.InstallApplication(1000, false);
        device.WriteNand("etc/zup-ca.pem", TestSigners().root.CertificatePem());
        device.InsertUsb();
    }
    // A bundle of a new application on the stick; more files may come along.
    std::string PutBundle(const std::vector<std::pair<std::string, std::string>>& more = {}) {
        fixture::Bundle bundle(device.Usb("release.zup"));
        bundle.File("arvel/arvel", "new application", 0100755, true);
        for (const auto& f : more)
            bundle.File(f.first, f.second);
        return bundle.Finish();
    }
    ProcessResult Update() const { return device.Run(kUpdateKeys); }
    // Everything on the NAND and the boot partition.
    std::map<std::string, std::string> Media() const {
        auto all = fixture::Snapshot(device.Nand(""));
        for (const auto& e : fixture::Snapshot(device.Boot("")))
            all["boot:" + e.first] = e.second;
        return all;
    }

    DeviceRoot device;
};

TEST_F(SignedUpdateTest, ABundleSignedForTheDisplayInstalls) {
    const fixture::Signers& s = TestSigners();
    SignFile(PutBundle(), s.viaIntermediate, {&s.intermediate});
    const ProcessResult r = Update();
    EXPECT_EQ(r.status, 124) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"ZUP Verify start - 1 files, bundle type 1.\n", "Verify success.\n",
                                "Bundle extraction is complete.\n", "m_eState == sUpgrade\n"}))
        << r.out;
    EXPECT_EQ(r.out.find("Signature"), std::string::npos);
    EXPECT_EQ(ReadFile(device.Nand("arvel/arvel")), "new application");
}

TEST_F(SignedUpdateTest, RefusedBundlesLeaveTheMediaAsTheyWere) {
    const fixture::Signers& s = TestSigners();
    struct Case {
        const char* name;
        std::function<void(const std::string&)> prepare;
        const char* why;
    };
    const Case cases[] = {
        {"unsigned", [](const std::string&) {}, "no signature file."},
        {"signed by a stranger", [&](const std::string& b) { SignFile(b, s.otherLeaf); },
         "not trusted."},
        {"changed after signing",
         [&](const std::string& b) {
             SignFile(b, s.leaf);
             std::string bytes = ReadFile(b);
             bytes[bytes.size() - 1] ^= 1;
             bundle::Seal(reinterpret_cast<uint8_t*>(&bytes[0]), bytes.size());
             ASSERT_TRUE(WriteFile(b, bytes));
         },
         "digest mismatch."},
        {"garbage signature",
         [](const std::string& b) { ASSERT_TRUE(WriteFile(b + ".sig", std::string(100, 'x'))); },
         "malformed."},
        {"a CA file without a certificate",
         [&](const std::string& b) {
             SignFile(b, s.leaf);
             device.WriteNand("etc/zup-ca.pem", "");
         },
         "no usable CA."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink((device.Usb("release.zup") + ".sig").c_str());
        c.prepare(PutBundle());
        const auto before = Media();
        const ProcessResult r = Update();
        EXPECT_EQ(r.status, 124) << r.out;
        EXPECT_TRUE(InOrder(r.out, {"ZUP Verify start - 1 files, bundle type 1.\n",
                                    std::string("Signature error: ") + c.why + "\n",
                                    "Invalid signature of the bundle file.\n", "Verify error -51.\n",
                                    "Unmounting /mnt/usb/ ... Ok.\n", "Unmounting /mnt/nand/ ... Ok.\n",
                                    "m_eState == sUpgrade\n"}))
            << r.out;
        EXPECT_EQ(r.out.find("Verify success."), std::string::npos);
        EXPECT_EQ(Media(), before);
        device.WriteNand("etc/zup-ca.pem", s.root.CertificatePem());
    }
}

// A signed bundle brings a new CA: from then on only bundles of the new CA install.
TEST_F(SignedUpdateTest, ASignedBundleRotatesTheCa) {
    const fixture::Signers& s = TestSigners();
    SignFile(PutBundle({{"etc/zup-ca.pem", s.otherRoot.CertificatePem()}}), s.leaf);
    ProcessResult r = Update();
    ASSERT_EQ(r.status, 124) << r.out;
    ASSERT_EQ(ReadFile(device.Nand("etc/zup-ca.pem")), s.otherRoot.CertificatePem()) << r.out;

    SignFile(PutBundle({{"etc/motd", "old CA"}}), s.leaf);
    r = Update();
    EXPECT_TRUE(InOrder(r.out, {"Signature error: not trusted.\n", "Verify error -51.\n"})) << r.out;
    EXPECT_FALSE(testsupport::Exists(device.Nand("etc/motd")));

    SignFile(PutBundle({{"etc/motd", "new CA"}}), s.otherLeaf);
    r = Update();
    EXPECT_TRUE(InOrder(r.out, {"Verify success.\n", "Bundle extraction is complete.\n"})) << r.out;
    EXPECT_EQ(ReadFile(device.Nand("etc/motd")), "new CA");
}

}  // namespace
