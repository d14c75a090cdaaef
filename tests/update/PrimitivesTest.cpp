#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <string>

#include "update/BundleError.h"
#include "update/BundleFormat.h"
#include "update/BundleReader.h"
#include "update/DeviceNumber.h"
#include "update/HeadChecksum.h"
#include "update/Md5.h"

namespace {

std::string Hex(const uint8_t* bytes, size_t n) {
    std::string out;
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof(two), "%02x", bytes[i]);
        out += two;
    }
    return out;
}

std::string Md5Hex(const std::string& data) {
    Md5 md5;
    md5.Update(data.data(), data.size());
    md5.Final();
    return Hex(md5.Digest(), Md5::kDigestSize);
}

TEST(Md5Test, KnownDigests) {
    struct Case {
        std::string data;
        const char* digest;
    };
    const Case cases[] = {
        // RFC 1321's test suite.
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Around the padding boundaries of a block.
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(57, 'a'), "652b906d60af96844ebd21b674f35e93"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Md5Hex(c.data), c.digest) << c.data.size() << " bytes";
}

TEST(Md5Test, PiecesGiveTheDigestOfTheWhole) {
    std::string data;
    for (int i = 0; i < 3000; ++i)
        data += static_cast<char>((i * 7919) >> 3);
    const std::string whole = Md5Hex(data);
    for (size_t piece : {1, 3, 63, 64, 65, 127, 1000}) {
        Md5 md5;
        md5.Update("garbage", 7);
        md5.Init();  // reused
        for (size_t at = 0; at < data.size(); at += piece) {
            md5.Update(data.data() + at, std::min(piece, data.size() - at));
        }
        md5.Final();
        md5.Update("after", 5);  // ignored once final
        md5.Final();
        EXPECT_EQ(Hex(md5.Digest(), Md5::kDigestSize), whole) << "pieces of " << piece;
    }
}

TEST(HeadChecksumTest, StartsAtSevenFsWithoutFinalInversion) {
    EXPECT_EQ(HeadChecksum("abc", 3), 0xCADBBECDu);
    EXPECT_EQ(HeadChecksum("", 0), 0x0FFFFFFFu);
}

TEST(DeviceNumberTest, MatchesTheCLibrary) {
    const uint32_t pairs[][2] = {{0, 0},          {1, 3},           {8, 17},      {0xFFF, 0xFF},
                                 {0x1000, 0x100}, {0xFFFF, 0xFFFF}, {259, 65536}, {4095, 1048575}};
    for (const auto& p : pairs) {
        const uint64_t device = MakeDeviceNumber(p[0], p[1]);
        EXPECT_EQ(device, static_cast<uint64_t>(makedev(p[0], p[1]))) << p[0] << "," << p[1];
        EXPECT_EQ(DeviceMajor(device), p[0]);
        EXPECT_EQ(DeviceMinor(device), p[1]);
    }
}

TEST(BundleErrorTest, TextsAndUndocumentedCodes) {
    EXPECT_EQ(BundleReader::ErrorText(0), nullptr);
    EXPECT_STREQ(BundleReader::ErrorText(-50), "Can open the bundle file.");
    EXPECT_STREQ(BundleReader::ErrorText(-44), "Invalid state in verify.");
    EXPECT_STREQ(BundleReader::ErrorText(-30), "Large file size mismatch.");
    for (int code = -50; code <= -30; ++code) {
        ASSERT_NE(BundleReader::ErrorText(code), nullptr);
        EXPECT_STRNE(BundleReader::ErrorText(code), "Undocumented error") << code;
    }
    EXPECT_STREQ(BundleReader::ErrorText(-51), "Invalid signature of the bundle file.");
    for (int code : {-29, -1, 1, 101, -52, -1000}) {
        EXPECT_STREQ(BundleReader::ErrorText(code), "Undocumented error") << code;
    }
}

// The field offsets of the heads, byte by byte.
TEST(BundleFormatTest, HeadsLieAtTheirOffsets) {
    bundle::Head head = bundle::Head::Make(0x0102, 0x0304);
    head.fileCount = 0x05060708;
    head.digest[0] = 0xD0;
    head.reserved34[0] = 0xAA;
    head.reserved40[19] = 0xBB;
    head.checksum = 0x11223344;
    uint8_t bytes[bundle::kHeadSize];
    head.Encode(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 8), std::string("TOVRASK\0", 8));
    EXPECT_EQ(bundle::LoadLe32(bytes + 8), 3u);
    EXPECT_EQ(bytes[12], 0xD0);
    EXPECT_EQ(bundle::LoadLe32(bytes + 28), 0x05060708u);
    EXPECT_EQ(bytes[32], 0x02);
    EXPECT_EQ(bytes[33], 0x01);
    EXPECT_EQ(bytes[34], 0xAA);
    EXPECT_EQ(bundle::LoadLe16(bytes + 38), 0x0304);
    EXPECT_EQ(bytes[59], 0xBB);
    EXPECT_EQ(bytes[60], 0x44);
    EXPECT_EQ(head.ComputeChecksum(), HeadChecksum(bytes, 60));

    bundle::EntryHead entry;
    entry.digest[15] = 0xDD;
    entry.size = 0x01020304;
    entry.type = 7;
    entry.compression = 1;
    entry.major = 0x0A0B;
    entry.minor = 0x0C0D;
    entry.mode = 0x81A4;
    entry.SetPath("boot/zImage");
    entry.SetTarget("t");
    uint8_t e[bundle::kEntryHeadSize];
    entry.Encode(e);
    EXPECT_EQ(e[15], 0xDD);
    EXPECT_EQ(bundle::LoadLe32(e + 16), 0x01020304u);
    EXPECT_EQ(e[20], 7);
    EXPECT_EQ(e[21], 1);
    EXPECT_EQ(bundle::LoadLe16(e + 26), 0x0A0B);
    EXPECT_EQ(bundle::LoadLe16(e + 28), 0x0C0D);
    EXPECT_EQ(bundle::LoadLe16(e + 30), 0x81A4);
    EXPECT_STREQ(reinterpret_cast<char*>(e + 32), "boot/zImage");
    EXPECT_STREQ(reinterpret_cast<char*>(e + 272), "t");
    const bundle::EntryHead back = bundle::EntryHead::Decode(e);
    EXPECT_EQ(back.Path(), "boot/zImage");
    EXPECT_EQ(back.mode, 0x81A4);
    EXPECT_EQ(bundle::LoadBe32(reinterpret_cast<const uint8_t*>("\x01\x02\x03\x04")), 0x01020304u);
}

TEST(BundleFormatTest, NameFieldsMayLackTheirZero) {
    bundle::EntryHead entry;
    entry.SetPath(std::string(239, 'p'));
    EXPECT_TRUE(entry.PathTerminated());
    entry.SetPath(std::string(240, 'p'));
    EXPECT_FALSE(entry.PathTerminated());
    EXPECT_EQ(entry.Path(), std::string(240, 'p'));
    entry.SetTarget(std::string(300, 't'));
    EXPECT_FALSE(entry.TargetTerminated());
}

}  // namespace
