#include <gtest/gtest.h>

#include <cerrno>
#include <map>

#include "platform/RootedPath.h"

using platform::RootedPath;

namespace {

// A tree described by its links alone; everything else is taken to exist as a plain entry.
struct LinkTree {
    std::map<std::string, std::string> links;

    RootedPath::LinkReader Reader() const {
        return [this](const std::string& path, std::string* target) {
            auto it = links.find(path);
            if (it == links.end()) return false;
            *target = it->second;
            return true;
        };
    }
};

}  // namespace

TEST(RootedPath, ResolvesLikeAChrootedProcess) {
    LinkTree tree;
    tree.links = {
        {"/etc", "/mnt/data/etc"},    // absolute: from the top of the tree
        {"/usr/lib", "../lib"},       // relative: from the link's folder
        {"/escape", "../../../../x"}, // ".." stops at the top
        {"/abs", "/../../host"},
        {"/var/run", "run2"},
        {"/dangling", "/nowhere/file"},
    };
    struct Case {
        std::string path;
        bool followFinal;
        std::string expected;
    };
    const Case cases[] = {
        {"/", true, "/"},
        {"a//b/./c/", false, "/a/b/c"},
        {"/a/../../..", true, "/"},
        {"/etc/passwd", false, "/mnt/data/etc/passwd"},
        {"/usr/lib/libc.so", false, "/lib/libc.so"},
        {"/escape/y", false, "/x/y"},
        {"/abs", true, "/host"},
        {"/abs", false, "/abs"},          // the last link itself
        {"/abs/", false, "/host"},        // a trailing separator follows it
        {"/abs/.", false, "/host"},
        {"/var/run/x", false, "/var/run2/x"},
        {"/dangling", true, "/nowhere/file"},
        {"/etc/../lib", true, "/mnt/data/lib"},  // ".." after a link climbs from its target
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(RootedPath::Resolve(c.path, c.followFinal, tree.Reader(), &out)) << c.path;
        EXPECT_EQ(out, c.expected) << c.path;
    }
}

TEST(RootedPath, GivesUpOnLoopsAfterFortyLinks) {
    LinkTree loop;
    loop.links = {{"/a", "/b"}, {"/b", "a"}};
    std::string out;
    errno = 0;
    EXPECT_FALSE(RootedPath::Resolve("/a/x", false, loop.Reader(), &out));
    EXPECT_EQ(errno, ELOOP);

    LinkTree chain;  // exactly forty links still resolve
    for (int i = 0; i < 40; ++i) chain.links["/l" + std::to_string(i)] = "/l" + std::to_string(i + 1);
    EXPECT_TRUE(RootedPath::Resolve("/l0", true, chain.Reader(), &out));
    EXPECT_EQ(out, "/l40");
    chain.links["/l40"] = "/end";
    EXPECT_FALSE(RootedPath::Resolve("/l0", true, chain.Reader(), &out));
}
