#pragma once

#include <SDL.h>

#include <atomic>
#include <future>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/PanelStrip.h"
#include "sim/SimWindow.h"

// The window on SDL2. Every SDL call is made on the window's own thread (X11 wants one thread
// per connection); the program's thread only raises a flag when it flushes.
class SdlWindow : public SimWindow {
public:
    explicit SdlWindow(const Setup& setup);
    ~SdlWindow() override;

    // Starts the window's thread and waits until the window is up; false with the reason.
    bool Start(std::string* error);
    void Close() override;

private:
    void Run(std::promise<std::string>* started);
    bool Create(std::string* error);
    void Destroy();
    // False when the user closed the window.
    bool Handle(const SDL_Event& event);
    void Press(uint16_t code, int value);
    // Takes the frame the program last flushed, if it flushed since; true when there is one.
    bool TakeFrame();
    void Show();

    Setup setup_;
    PanelStrip strip_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::mutex frameLock_;
    std::vector<uint8_t> frame_;  // the framebuffer at the last flush, for the window's thread
    bool frameFlushed_ = false;
    std::vector<uint8_t> showing_;  // the window's thread only
    std::mutex closeLock_;
    std::promise<void> finished_;  // the thread has let go of the window system
    std::future<void> finishedFuture_ = finished_.get_future();
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* picture_ = nullptr;
    SDL_Texture* panel_ = nullptr;
    uint16_t mouseHeld_ = 0;  // the button the mouse holds down
};
