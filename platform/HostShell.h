#pragma once

#include <string>

namespace platform {

class HostMounts;

// Runs the program's shell commands on the simulated device: "/bin/sh -c" inside the root, with
// PATH holding only ROOT/sbin and every word that starts with "/" translated under the root, so
// only programs the root provides can run and nothing outside it is named.
class HostShell {
public:
    explicit HostShell(const HostMounts& mounts) : mounts_(mounts) {}

    // The command as it is given to the host's shell.
    std::string Rewrite(const std::string& command) const;
    // As system(): the wait status, or -1 when no shell could be started.
    int Run(const std::string& command) const;

private:
    const HostMounts& mounts_;
};

}  // namespace platform
