#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file/FileC.h"
#include "gui/Widget.h"
#include "gui/engine/Pixmap16.h"
#include "tovrask/Dialog.h"
#include "tovrask/Installation.h"
#include "tovrask/MountEntry.h"
#include "tovrask/PlatformInfo.h"
#include "update/BundleReader.h"

namespace tovrask {

// The root widget and the whole boot manager: a state machine stepped once per pass of the main
// loop. A normal boot finds the marker and the application on the NAND, reads the application
// once to measure it and ends (status 0). Otherwise, or on F1, the "Boot options" menu offers to
// start, to install an update from the USB medium, or to erase the NAND after an access code.
class WidgetMain : public gui::Widget {
public:
    enum State : int32_t {
        sInit = 1,
        sWaitMedia = 2,
        sLoadApp = 3,
        sExit = 4,
        sMediaPrompt = 6,
        sBootMenu = 7,
        sInstallStart = 9,
        sResetPrompt = 10,
        sResetPassword = 11,
        sPasswordInvalid = 12,
        sUpgrade = 13,
        sVerifyStart = 14,
        sVerify = 15,
        sInstall = 16,
        sInstallDone = 17,
        sFormat = 18,
        sFormatStart = 19,
        sMessage = 20,
        sFileSelect = 21,
    };

    // platform is the application's: its cpuType chooses the NAND device.
    WidgetMain(const PlatformInfo* platform, int32_t width, int32_t height);
    ~WidgetMain() override;

    void Step();
    // Whether the current state only waits for an event or for its time to pass (no bounded work
    // is pending), so that the main loop may block for a moment.
    bool IsWaiting() const;
    bool OnEvent(const Event& e) override;
    void Draw() override;

    const PlatformInfo* platform;
    int32_t m_eState = sInit;
    int32_t stateTime;
    file::FileC appFile;
    bool appPresent = false;
    bool rebootRequested = false;
    bool menuRequested = false;
    Dialog* dialog = nullptr;
    std::unique_ptr<BundleReader> bundle;
    // What an update does around the bundle reader: media, marker, boot keys, reboot decision.
    std::unique_ptr<Installation> installation;
    std::vector<std::unique_ptr<MountEntry>> mounts;
    std::vector<std::string> updateFiles;
    std::string bundlePathText;
    // The NAND held a CA file when the bundle was verified: its signature was checked.
    bool signatureChecked = false;
    std::string installedVersion;
    std::unique_ptr<gui::Pixmap16> background;
    gui::Point backgroundOrigin;

private:
    void StepInit();
    void LoadAppStep();
    void StepUpgrade();
    void StepWaitMedia();
    void StepVerifyStart();
    void StepVerify();
    void StepInstallStart();
    // The NAND, unseen at verification, holds a CA file now: the bundle was never checked for it.
    bool CaUnseenAtVerify();
    std::string CaPath() const;
    // Whatever stands at that name counts: an unreadable one refuses every bundle rather than none.
    bool HoldsCa() const;
    void StepInstall();
    void StepInstallDone();
    // An update that did not complete: the warning, and the media unmounted.
    void InstallFailed();
    void StepFormat();
    bool OnPassword(int64_t code);
    bool OnMenuStart();

    void CloseDialog();
    void ShowMessage(const char* title, const char* text);
    // A service command's outcome, shown as a message for the message's time.
    void ShowResult(int status, const char* success, const char* failure);
    void RedrawAll() { SetTreeDirty(true); }
    void Stamp();
    int32_t Elapsed() const;
    void CreateBackground();
    void LoadLogo(const std::string& directory);
    void ScanUpdateFiles();
    void SetProgress(int value);
    // The name of the chosen bundle without the USB directory.
    std::string BundleName() const;

    std::vector<uint8_t> scratch_;  // the application's data, read and thrown away
};

}  // namespace tovrask
