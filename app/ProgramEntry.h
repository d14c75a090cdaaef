#pragma once

// The program as the start-up scripts see it: opens and maps the framebuffer (exit 1 to 4 when
// it cannot be used), builds the application and runs its main loop, which ends the process.
// The backend of the platform boundary must be installed first.
[[noreturn]] void RunProgram();
