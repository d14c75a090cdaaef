#include "platform/HostShell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/HostMounts.h"

namespace platform {

namespace {

// Keeps glob characters live (the cleanup command relies on "/*") and quotes everything else
// that the shell would read specially.
std::string EscapeForShell(const std::string& word) {
    std::string out;
    for (char c : word) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) ||
                           std::strchr("/._-+,:=@%*?[]", c) != nullptr;
        if (!plain) out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::string HostShell::Rewrite(const std::string& command) const {
    std::string out;
    size_t i = 0;
    while (i < command.size()) {
        if (std::isspace(static_cast<unsigned char>(command[i]))) {
            out += command[i++];
            continue;
        }
        size_t end = i;
        while (end < command.size() && !std::isspace(static_cast<unsigned char>(command[end]))) {
            ++end;
        }
        const std::string word = command.substr(i, end - i);
        out += word[0] == '/' ? EscapeForShell(mounts_.Translate(word, false)) : word;
        i = end;
    }
    return out;
}

int HostShell::Run(const std::string& command) const {
    const std::string rewritten = Rewrite(command);
    const std::string path = "PATH=" + mounts_.Root() + "/sbin";
    std::fflush(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, mounts_.Root().c_str());
    const char* argv[] = {"sh", "-c", rewritten.c_str(), nullptr};
    const char* env[] = {path.c_str(), "HOME=/", nullptr};
    pid_t child = -1;
    const int spawned = ::posix_spawn(&child, "/bin/sh", &actions, nullptr,
                                      const_cast<char* const*>(argv), const_cast<char* const*>(env));
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

}  // namespace platform
