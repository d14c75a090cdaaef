#include "tests/support/Subprocess.h"

#include <poll.h>
#include <spawn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

namespace testsupport {

namespace {

std::vector<std::string> EmulatorWords() {
    std::vector<std::string> words;
    std::istringstream in(TOVRASK_TEST_EMULATOR);
    std::string w;
    while (in >> w) {
        if (w != ";") words.push_back(w);  // CMake lists arrive joined by ';'
    }
    return words;
}

}  // namespace

// Runs a command, killing it once its output satisfies cut (when given).
static ProcessResult RunCommandCutWhen(const std::vector<std::string>& argv, const std::string& input,
                                       const std::function<bool(const std::string& out)>& cut);

std::string ProgramPath(const std::string& name) { return std::string(TOVRASK_BIN_DIR) + "/" + name; }

ProcessResult RunCommand(const std::vector<std::string>& argv, const std::string& input) {
    return RunCommandCutWhen(argv, input, nullptr);
}

static ProcessResult RunCommandCutWhen(const std::vector<std::string>& argv, const std::string& input,
                                       const std::function<bool(const std::string& out)>& cut) {
    ProcessResult result;
    int out[2], err[2], in[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0 || ::pipe(in) != 0) return result;
    // posix_spawn: no copy of the test's address space for a child that only execs.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t child = -1;
    const int spawned = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
        result.status = 127;
        return result;
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // The child must not see our end of its input once everything is written.
    ::signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    if (input.empty()) ::close(in[1]);
    bool inputOpen = !input.empty();
    bool outOpen = true, errOpen = true, killed = false;
    char buffer[65536];
    while (outOpen || errOpen) {
        pollfd fds[3];
        int n = 0;
        if (outOpen) fds[n++] = {out[0], POLLIN, 0};
        if (errOpen) fds[n++] = {err[0], POLLIN, 0};
        if (inputOpen) fds[n++] = {in[1], POLLOUT, 0};
        // A cut may wait for time to pass as well as for output.
        const int ready = ::poll(fds, static_cast<nfds_t>(n), cut && !killed ? 5 : -1);
        if (ready == 0 && cut(result.out)) {
            ::kill(child, SIGKILL);
            killed = true;
        }
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].fd == in[1]) {
                const ssize_t w = ::write(in[1], input.data() + written, input.size() - written);
                if (w > 0) written += static_cast<size_t>(w);
                if (w < 0 || written == input.size()) {
                    ::close(in[1]);
                    inputOpen = false;
                }
                continue;
            }
            const ssize_t r = ::read(fds[i].fd, buffer, sizeof(buffer));
            if (r <= 0) {
                ::close(fds[i].fd);
                (fds[i].fd == out[0] ? outOpen : errOpen) = false;
            } else {
                (fds[i].fd == out[0] ? result.out : result.err).append(buffer, static_cast<size_t>(r));
                if (cut && !killed && fds[i].fd == out[0] && cut(result.out)) {
                    ::kill(child, SIGKILL);
                    killed = true;
                }
            }
        }
    }
    if (inputOpen) ::close(in[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<std::string> ProgramCommand(const std::string& name, const std::vector<std::string>& args) {
    std::vector<std::string> argv = EmulatorWords();
    argv.push_back(ProgramPath(name));
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

ProcessResult RunProgram(const std::string& name, const std::vector<std::string>& args,
                         const std::string& input) {
    return RunCommand(ProgramCommand(name, args), input);
}

ProcessResult RunProgramCutWhen(const std::string& name, const std::vector<std::string>& args,
                                const std::function<bool(const std::string& out)>& cut) {
    return RunCommandCutWhen(ProgramCommand(name, args), "", cut);
}

}  // namespace testsupport
