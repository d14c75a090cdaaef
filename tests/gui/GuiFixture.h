#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Widget.h"
#include "gui/WidgetManager.h"
#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"

// A widget that records what reaches it and handles only what it is told to.
class RecordingWidget : public gui::Widget {
public:
    explicit RecordingWidget(gui::Widget* parent, std::string n = "", bool canFocus = false)
        : gui::Widget(parent), name(std::move(n)) {
        focusable = canFocus;
    }

    bool OnEvent(const Event& e) override {
        seen.push_back(e);
        if (log != nullptr) log->push_back(name);
        if (e.type == handles) return true;
        return gui::Widget::OnEvent(e);
    }
    void Draw() override {
        if (!IsDirty()) return;
        ++draws;
        if (stayDirty > 0) {
            --stayDirty;
            return;
        }
        SetDirty(false);
    }

    std::string name;
    int32_t handles = -1;
    std::vector<Event> seen;
    std::vector<std::string>* log = nullptr;
    int draws = 0;
    int stayDirty = 0;  // passes this widget stays dirty after drawing
};

// The manager is one per process: every test starts it empty, with a queue and a host clock.
class GuiFixture : public ::testing::Test {
protected:
    GuiFixture() : host(root.Path(), platform::HostFramebuffer::Config{}) {
        platform::Install(&host);
        Manager().focus = nullptr;
        Manager().mainWidget = nullptr;
        Manager().redrawState = 0;
        Manager().container = &events;
    }
    ~GuiFixture() override {
        Manager().focus = nullptr;
        Manager().mainWidget = nullptr;
        Manager().container = nullptr;
    }

    static gui::WidgetManager& Manager() { return gui::WidgetManager::Instance(); }

    testsupport::TempDir root;
    platform::HostSystem host;
    EventContainer events;
};
