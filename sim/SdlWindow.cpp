#include "sim/SdlWindow.h"

#include <linux/input-event-codes.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/HostFramebuffer.h"
#include "sim/ConsoleRelay.h"
#include "sim/KeyFeeder.h"

namespace {

struct KeyBinding {
    SDL_Keycode key;
    uint16_t code;
};

// The keyboard's keys that exist on the front panel (or stand in for one of its keys).
constexpr KeyBinding kKeyboard[] = {
    {SDLK_ESCAPE, KEY_ESC}, {SDLK_RETURN, KEY_ENTER}, {SDLK_KP_ENTER, KEY_ENTER}, {SDLK_F1, KEY_F1},
    {SDLK_UP, KEY_UP},      {SDLK_DOWN, KEY_DOWN},    {SDLK_F6, KEY_F6},          {SDLK_F7, KEY_F7},
    {SDLK_F9, KEY_F9},      {SDLK_F10, KEY_F10},
};

uint16_t PanelKey(SDL_Keycode key) {
    for (const KeyBinding& b : kKeyboard) {
        if (b.key == key) return b.code;
    }
    return 0;
}

// A desktop's display only: with none, SDL would fall back to drawing on the text console (KMS)
// or into memory, where nobody sees the window. "" leaves the choice of SDL_VIDEODRIVER to SDL.
const char* DesktopDriver() {
    auto set = [](const char* name) {
        const char* value = SDL_getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    if (set("SDL_VIDEODRIVER")) return "";
    if (set("DISPLAY")) return "x11";
    if (set("WAYLAND_DISPLAY")) return "wayland";
    return nullptr;
}

// Often enough for the picture to follow the program by eye; the wait ends early on any event.
constexpr int kPollMs = 15;
// How long the end of the run waits for the window to go.
constexpr int kLetGoSeconds = 5;

}  // namespace

std::unique_ptr<SimWindow> SimWindow::Open(const Setup& setup, std::string* error) {
    auto window = std::make_unique<SdlWindow>(setup);
    if (!window->Start(error)) return nullptr;
    return window;
}

SdlWindow::SdlWindow(const Setup& setup) : setup_(setup), strip_(setup.width, setup.keys->FeedsKeys()) {}

SdlWindow::~SdlWindow() { Close(); }

bool SdlWindow::Start(std::string* error) {
    std::promise<std::string> started;
    std::future<std::string> outcome = started.get_future();
    thread_ = std::thread([this, &started] { Run(&started); });
    *error = outcome.get();
    if (error->empty()) {
        // The whole memory at every flush, whatever part of it the program redrew.
        setup_.framebuffer->SetFlushListener([this](const std::vector<uint8_t>& memory) {
            std::lock_guard<std::mutex> hold(frameLock_);
            frame_ = memory;
            frameFlushed_ = true;
        });
        return true;
    }
    thread_.join();
    return false;
}

void SdlWindow::Close() {
    quit_ = true;
    // The user closed the window: the run ends from the window's own thread.
    if (thread_.get_id() == std::this_thread::get_id()) return;
    std::lock_guard<std::mutex> once(closeLock_);
    if (!thread_.joinable()) return;
    // The program is ending: a window system that does not let go must not keep it from ending.
    if (finishedFuture_.wait_for(std::chrono::seconds(kLetGoSeconds)) == std::future_status::ready) {
        thread_.join();
    } else {
        std::fprintf(stderr, "tovrask-sim: the window did not close; leaving it to the end of the process\n");
        thread_.detach();
    }
}

void SdlWindow::Run(std::promise<std::string>* started) {
    std::string error;
    if (!Create(&error)) {
        Destroy();
        finished_.set_value();
        started->set_value("--window: cannot open a window: " + error);
        return;
    }
    started->set_value("");
    Show();
    while (!quit_) {
        SDL_Event event;
        bool redraw = false;
        if (SDL_WaitEventTimeout(&event, kPollMs) != 0) {
            do {
                if (!Handle(event)) {
                    setup_.closed();
                    return;
                }
                redraw = redraw || event.type == SDL_WINDOWEVENT || event.type == SDL_MOUSEBUTTONDOWN ||
                         event.type == SDL_MOUSEBUTTONUP || event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
            } while (SDL_PollEvent(&event) != 0);
        }
        redraw = strip_.SetLine(setup_.console->LastLine()) || redraw;
        if (TakeFrame()) {
            SDL_UpdateTexture(picture_, nullptr, showing_.data(), setup_.lineLength);
            redraw = true;
        }
        if (redraw) Show();
    }
    // The window stays until the process ends, which takes it away with the connection: SDL torn
    // down beside the program's exit could make X requests on a window already going, and Xlib
    // ends the whole process with status 1 on such an error.
    finished_.set_value();
}

bool SdlWindow::TakeFrame() {
    std::lock_guard<std::mutex> hold(frameLock_);
    if (!frameFlushed_) return false;
    frameFlushed_ = false;
    // Swapped, not copied: the program's next flush reuses the buffer shown before.
    showing_.swap(frame_);
    return showing_.size() >= static_cast<size_t>(setup_.lineLength) * setup_.height;
}

bool SdlWindow::Create(std::string* error) {
    // SDL would turn Ctrl-C into a quit event; the program's own handling of signals stays.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Drawing in software: a small picture needs no GPU, and an OpenGL driver's own threads and
    // exit handlers can hang a process that ends while the window still draws.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A click that gives the window its focus is a press of the button under it too: SDL would
    // drop a click within 10 ms of the focus (the first click on a panel button, or a click that
    // comes while the window draws its first picture).
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    const char* driver = DesktopDriver();
    if (driver == nullptr) {
        *error = "no display (DISPLAY and WAYLAND_DISPLAY are not set)";
        return false;
    }
    if (driver[0] != '\0') SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        *error = SDL_GetError();
        if (std::string(driver) == "x11") *error += std::string(" (DISPLAY=") + SDL_getenv("DISPLAY") + ")";
        return false;
    }
    const int scale = setup_.scale;
    const std::string title = "tovrask-sim " + std::to_string(setup_.width) + "x" + std::to_string(setup_.height);
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               strip_.Width() * scale, (setup_.height + strip_.Height()) * scale, 0);
    if (window_ != nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ != nullptr) {
        picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     setup_.width, setup_.height);
        panel_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                   strip_.Width(), strip_.Height());
    }
    if (picture_ == nullptr || panel_ == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    // The panel is black until the program maps and flushes its framebuffer.
    const std::vector<uint8_t> black(static_cast<size_t>(setup_.lineLength) * setup_.height, 0);
    SDL_UpdateTexture(picture_, nullptr, black.data(), setup_.lineLength);
    return true;
}

void SdlWindow::Destroy() {
    if (panel_ != nullptr) SDL_DestroyTexture(panel_);
    if (picture_ != nullptr) SDL_DestroyTexture(picture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    panel_ = picture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    SDL_Quit();
}

bool SdlWindow::Handle(const SDL_Event& event) {
    const int scale = setup_.scale;
    switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_WINDOWEVENT:
            return event.window.event != SDL_WINDOWEVENT_CLOSE;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // Holding a key is one press, as on the device: the keyboard's repeats are dropped.
            const uint16_t code = PanelKey(event.key.keysym.sym);
            if (code == 0 || event.key.repeat != 0) return true;
            const bool down = event.type == SDL_KEYDOWN;
            Press(code, down ? 1 : 0);
            strip_.SetPressed(down ? code : 0);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT && mouseHeld_ == 0) {
                mouseHeld_ = strip_.ButtonAt(event.button.x / scale, event.button.y / scale - setup_.height);
                if (mouseHeld_ != 0) {
                    Press(mouseHeld_, 1);
                    strip_.SetPressed(mouseHeld_);
                }
            }
            return true;
        case SDL_MOUSEBUTTONUP:
            // Released wherever the pointer is now, so a key is never left held down.
            if (event.button.button == SDL_BUTTON_LEFT && mouseHeld_ != 0) {
                Press(mouseHeld_, 0);
                strip_.SetPressed(0);
                mouseHeld_ = 0;
            }
            return true;
        default:
            return true;
    }
}

void SdlWindow::Press(uint16_t code, int value) {
    // A root with its own key device: the buttons are disabled and the keyboard does nothing.
    if (setup_.keys->FeedsKeys()) setup_.keys->WriteKey(code, value);
}

void SdlWindow::Show() {
    const std::vector<uint16_t>& strip = strip_.Pixels();
    SDL_UpdateTexture(panel_, nullptr, strip.data(), strip_.Width() * 2);
    const int scale = setup_.scale;
    const SDL_Rect picture{0, 0, setup_.width * scale, setup_.height * scale};
    const SDL_Rect panel{0, setup_.height * scale, strip_.Width() * scale, strip_.Height() * scale};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, picture_, nullptr, &picture);
    SDL_RenderCopy(renderer_, panel_, nullptr, &panel);
    SDL_RenderPresent(renderer_);
}
