// The device program: the real framebuffer, keys, mounts and shell.
#include "app/ProgramEntry.h"
#include "platform/TargetSystem.h"

int main() {
    platform::Install(new platform::TargetSystem());
    RunProgram();
}
