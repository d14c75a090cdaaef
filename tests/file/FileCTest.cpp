#include <gtest/gtest.h>

#include <string>

#include "file/AbstractFile.h"
#include "file/FileC.h"
#include "platform/TargetSystem.h"
#include "tests/support/TempDir.h"

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

// The real calls, counting the streams that are open.
class CountingSystem : public platform::TargetSystem {
public:
    FILE* OpenStream(const char* path, const char* mode) override {
        FILE* stream = TargetSystem::OpenStream(path, mode);
        if (stream != nullptr)
            ++open;
        return stream;
    }
    int CloseStream(FILE* stream) override {
        --open;
        return TargetSystem::CloseStream(stream);
    }
    int open = 0;
};

CountingSystem* Counting() {
    static CountingSystem* system = [] {
        auto* s = new CountingSystem();
        platform::Install(s);
        return s;
    }();
    return system;
}

class FileCTest : public ::testing::Test {
protected:
    void SetUp() override { Counting(); }

    // A file with the given bytes, opened for reading.
    void OpenWith(const std::string& bytes) {
        ASSERT_TRUE(WriteFile(dir / "f", bytes));
        ASSERT_TRUE(file.Open(dir / "f", "r"));
    }

    TempDir dir;
    file::FileC file;
};

TEST_F(FileCTest, ReadMagicComparesTheBytesReadAndShowsThemWhenWrong) {
    struct Case {
        std::string bytes;
        unsigned n;
        bool ok;
        std::string line;
        int64_t offsetAfter;
    };
    const Case cases[] = {
        {std::string("QIM32.1\0rest", 12), 8, true, "", 8},
        // Shown up to the n bytes read, never further.
        {"QIM32.1XYZW", 8, false, "Invalid magic 'QIM32.1' 'QIM32.1X'.\n", 8},
        {std::string("QIM\0\0\0\0\0", 8), 8, false, "Invalid magic 'QIM32.1' 'QIM'.\n", 8},
        {"QIM32.1", 8, false, "Invalid magic 'QIM32.1' 'QIM32.1'.\n", 7},
        {std::string(40, 'Q'), 33, false, "Magic size is too long.\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        OpenWith(c.bytes);
        testing::internal::CaptureStdout();
        EXPECT_EQ(file.ReadMagic("QIM32.1", c.n), c.ok);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
        EXPECT_EQ(file.Tell(), c.offsetAfter);
    }
}

TEST_F(FileCTest, ReadVersionAcceptsOneToMax) {
    struct Case {
        std::string bytes;
        unsigned result;
        std::string line;
    };
    const Case cases[] = {
        {std::string("\x01\x00", 2), 1, ""},
        {std::string("\x02\x00", 2), 0, "Image: Invalid version 2 > 1.\n"},
        {std::string("\x00\x00", 2), 0, "Image: Invalid version 0 > 1.\n"},
        {std::string("\x00\x01", 2), 0, "Image: Invalid version 256 > 1.\n"},
        {"", 0, "Image: Invalid version 0 > 1.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        OpenWith(c.bytes);
        testing::internal::CaptureStdout();
        EXPECT_EQ(file.ReadVersion("Image", 1), c.result);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
    }
}

TEST_F(FileCTest, SizeLeavesThePositionAlone) {
    OpenWith(std::string(5000, 'x'));
    ASSERT_EQ(file.Seek(100), 0);
    EXPECT_EQ(file.Size(), 5000);
    EXPECT_EQ(file.Tell(), 100);
}

TEST_F(FileCTest, OpenAndCloseAnyNumberOfTimes) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(file.Open(dir / "missing", "r"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Name(), dir / "missing");
    OpenWith("abc");
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Name(), dir / "f");
    EXPECT_EQ(file.Read(nullptr, 10), 0);
    EXPECT_EQ(file.Seek(0), 1);
}

// The boot state machine reopens its one file object without closing it.
TEST_F(FileCTest, OpenOnAnOpenObjectClosesTheOldStream) {
    ASSERT_TRUE(WriteFile(dir / "a", "first"));
    ASSERT_TRUE(WriteFile(dir / "b", "second"));
    const int before = Counting()->open;
    ASSERT_TRUE(file.Open(dir / "a", "r"));
    ASSERT_TRUE(file.Open(dir / "b", "r"));
    EXPECT_EQ(Counting()->open, before + 1);
    char text[7] = {};
    EXPECT_EQ(file.Read(text, 6), 6);
    EXPECT_STREQ(text, "second");
    file.Close();
    EXPECT_EQ(Counting()->open, before);
    {
        file::FileC scoped;
        ASSERT_TRUE(scoped.Open(dir / "a", "r"));
    }
    EXPECT_EQ(Counting()->open, before);
}

// /dev/full takes the bytes into the stream's buffer and fails when they are written out.
TEST_F(FileCTest, AWriteThatFailsWhenFlushedOrClosedIsReported) {
    ASSERT_TRUE(file.Open("/dev/full", "w"));
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    EXPECT_FALSE(file.Flush());
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileCTest, WriteSeekAndTruncate) {
    ASSERT_TRUE(file.Open(dir / "w", "w"));
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    EXPECT_EQ(file.Tell(), 10);
    ASSERT_EQ(file.Seek(4), 0);
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(file.Write("ab", 2), 2);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadFile(dir / "w"), "0123ab");
}

TEST_F(FileCTest, ReadLineKeepsTheNewlineAndStopsAtCapacity) {
    OpenWith("ab\ncdefg");
    char line[4];
    EXPECT_STREQ(file.ReadLine(line, sizeof(line)), "ab\n");
    EXPECT_STREQ(file.ReadLine(line, sizeof(line)), "cde");
    EXPECT_STREQ(file.ReadLine(line, sizeof(line)), "fg");
    EXPECT_EQ(file.ReadLine(line, sizeof(line)), nullptr);
}

// The default line reader, over bytes in memory.
class MemoryFile : public file::AbstractFile {
public:
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    bool Close() override { return true; }
    bool Flush() override { return true; }
    int Read(void* buffer, int n) override {
        const size_t count = std::min(static_cast<size_t>(n), bytes_.size() - pos_);
        bytes_.copy(static_cast<char*>(buffer), count, pos_);
        pos_ += count;
        return static_cast<int>(count);
    }
    int Write(const void*, int) override { return 0; }
    int Seek(int64_t pos) override {
        pos_ = static_cast<size_t>(pos);
        return 0;
    }
    int64_t Tell() override { return static_cast<int64_t>(pos_); }

private:
    std::string bytes_;
    size_t pos_ = 0;
};

TEST(AbstractFileTest, DefaultReadLineDropsCarriageReturnsAndEndsAtLineFeedOrZero) {
    MemoryFile memory(std::string("one\r\ntwo\0three-long", 19));
    char line[6];
    EXPECT_STREQ(memory.ReadLine(line, sizeof(line)), "one");
    EXPECT_STREQ(memory.ReadLine(line, sizeof(line)), "two");
    EXPECT_STREQ(memory.ReadLine(line, sizeof(line)), "three");
    EXPECT_STREQ(memory.ReadLine(line, sizeof(line)), "-long");
    EXPECT_EQ(memory.ReadLine(line, sizeof(line)), nullptr);
}

}  // namespace
