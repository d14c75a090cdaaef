#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs a program of this build (by its name in the build's bin folder) and collects its output.
// In a cross build the program is started through the build's emulator.
ProcessResult RunProgram(const std::string& name, const std::vector<std::string>& args,
                         const std::string& input = "");

// Runs any command line as given (argv[0] searched in PATH); no emulator.
ProcessResult RunCommand(const std::vector<std::string>& argv, const std::string& input = "");

// Runs a program of this build and kills it (SIGKILL, as a power cut ends it) once its standard
// output so far satisfies `cut`; the status is then 128 + 9.
ProcessResult RunProgramCutWhen(const std::string& name, const std::vector<std::string>& args,
                                const std::function<bool(const std::string& out)>& cut);

// The simulator's --timeout-ms for runs that end by themselves or by their script's "stop": only
// a run that has hung gets there. Generous, for emulated builds on a loaded machine.
constexpr const char* kSimulatorHangMs = "120000";

std::string ProgramPath(const std::string& name);
// The command line RunProgram runs (with the emulator's words in front in a cross build).
std::vector<std::string> ProgramCommand(const std::string& name, const std::vector<std::string>& args);

}  // namespace testsupport
