#include "app/ProgramEntry.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "platform/System.h"

void RunProgram() {
    // Start-up scripts and logs read the console through pipes: keep lines prompt and in order.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    platform::System& os = platform::Current();

    const int fd = os.OpenFramebuffer("/dev/fb0");
    if (fd < 0) {
        std::perror("Error: cannot open framebuffer device");
        std::exit(1);
    }
    std::printf("The framebuffer device was opened successfully.\n");

    fb_fix_screeninfo fixed{};
    if (os.QueryFixedInfo(fd, &fixed) != 0) {
        std::perror("Error reading fixed information");
        std::exit(2);
    }
    fb_var_screeninfo variable{};
    if (os.QueryVariableInfo(fd, &variable) != 0) {
        std::perror("Error reading variable information");
        std::exit(3);
    }
    std::printf("Memory size: %d, linesize: %d\n", static_cast<int>(fixed.smem_len),
                static_cast<int>(fixed.line_length));
    std::printf("%dx%d, %dbpp\n", static_cast<int>(variable.xres), static_cast<int>(variable.yres),
                static_cast<int>(variable.bits_per_pixel));

    void* memory = os.MapFramebuffer(fd, fixed.smem_len);
    if (memory == MAP_FAILED) {
        std::perror("Error: failed to map framebuffer device to memory");
        std::exit(4);
    }
    std::printf("The framebuffer device was mapped to memory successfully.\n");

    Application* application = new Application();
    application->Init(memory, static_cast<int32_t>(variable.xres), static_cast<int32_t>(variable.yres),
                      static_cast<int32_t>(fixed.line_length));
    application->Run();
}
