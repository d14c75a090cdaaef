#include "tovrask/WidgetMain.h"

#include <dirent.h>

#include <cstdio>
#include <cstring>

#include "gui/NowMs.h"
#include "gui/engine/Image.h"
#include "gui/engine/data/BackgroundPictures.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "tovrask/AccessCodes.h"
#include "tovrask/ApplicationEvents.h"
#include "tovrask/DialogFileSelect.h"
#include "tovrask/DialogMessage.h"
#include "tovrask/DialogPassword.h"
#include "tovrask/DialogProgressBar.h"
#include "tovrask/DialogUpgrade.h"
#include "update/BundleError.h"

namespace tovrask {

namespace {

constexpr uint32_t kBundleReserve = 0x2000000;  // whole files of up to 32 MiB are held in memory
constexpr int kLoadChunk = 32768;
constexpr int32_t kMediaWaitMs = 5000;
constexpr int32_t kMessageMs = 3500;
constexpr int32_t kFormatDelayMs = 100;

}  // namespace

WidgetMain::WidgetMain(const PlatformInfo* info, int32_t width, int32_t height)
    : gui::Widget(nullptr), platform(info), stateTime(gui::NowMs()), scratch_(kLoadChunk) {
    dirty = false;
    focusable = true;
    mounts = CreateMountTable(platform != nullptr ? platform->cpuType : 1);
    std::printf("Created possible block devices.\n");
    bundle = std::make_unique<BundleReader>(kBundleReserve);
    bundle->SetDestinationRoot(mounts[kMountNand]->directory);
    installation = std::make_unique<Installation>(*bundle, *mounts[kMountNand], *mounts[kMountBoot]);
    textColour = 0x00FFFFFF;
    backgroundColour = 0x00000000;
    focusFrameColour = 0x00FFFF00;
    frameColour = 0x0000FF00;
    SetRect(gui::Rect(0, 0, width, height), true);
    backgroundOrigin = gui::Point(0, 0);
    CreateBackground();
}

WidgetMain::~WidgetMain() = default;

void WidgetMain::Stamp() { stateTime = gui::NowMs(); }

int32_t WidgetMain::Elapsed() const {
    return static_cast<int32_t>(static_cast<uint32_t>(gui::NowMs()) - static_cast<uint32_t>(stateTime));
}

void WidgetMain::CloseDialog() {
    if (dialog != nullptr) DeleteChild(dialog);
    dialog = nullptr;
}

void WidgetMain::ShowMessage(const char* title, const char* text) {
    CloseDialog();
    dialog = new DialogMessage(title, text, this);
}

void WidgetMain::ShowResult(int status, const char* success, const char* failure) {
    if (status == 0) {
        ShowMessage("Info", success);
    } else {
        ShowMessage("Warning", failure);
    }
    Stamp();
    m_eState = sMessage;
    RedrawAll();
}

void WidgetMain::SetProgress(int value) {
    if (auto* progress = dynamic_cast<DialogProgressBar*>(dialog)) progress->SetProgress(value);
}

std::string WidgetMain::BundleName() const {
    const size_t usb = mounts[kMountUsb]->directory.size();
    return bundlePathText.size() > usb ? bundlePathText.substr(usb) : std::string();
}

void WidgetMain::CreateBackground() {
    if (background != nullptr) {
        std::printf("Error: Background was alredy created.\n");
        return;
    }
    const int32_t w = rect.Width(), h = rect.Height();
    const bool small = w == 640 && h == 480;
    const gui::Pixmap16 emblem(small ? gui::kEmblemSmall : gui::kEmblemLarge);
    const gui::Pixmap16 mark(small ? gui::kMarkSmall : gui::kMarkLarge);
    background = std::make_unique<gui::Pixmap16>(gui::Size{w, h});
    background->Fill(0);
    background->DrawPixmap(gui::Point((w - emblem.width) / 2,
                                      static_cast<int32_t>(static_cast<double>(h) * 0.4 - (emblem.height / 2))),
                           emblem);
    background->DrawPixmap(gui::Point(w - mark.width - 7, h - mark.height - 7), mark);
}

void WidgetMain::LoadLogo(const std::string& directory) {
    gui::Image logo;
    if (!logo.Load(directory + "/arvel/Logo.img")) return;  // the loader has said why
    std::printf("Logo image loaded. Size (%i,%i)\n", logo.width, logo.height);
    background->DrawImage(gui::Point(20, background->height - logo.height - 20), logo);
}

void WidgetMain::Draw() {
    if (!IsDirty()) return;
    gui::Painter p(this);
    if (backgroundOrigin != gui::Point(0, 0)) {
        p.SetPenColour(0x00000000);
        p.DrawRect(rect, rect.Width(), rect.Height(), -1, -1);
    }
    if (background != nullptr) p.DrawPixmap(backgroundOrigin, *background);
    // No font is selected here: the lines show once a dialog has selected one.
    char line[35];
    std::snprintf(line, sizeof(line), "Tovrask v%d.%d, %s", 1, 0, "Jan 14 2015");
    p.SetPenColour(0x00808080);
    p.DrawText(10, 20, line);
    std::snprintf(line, sizeof(line), "Installed: %s", installedVersion.c_str());
    p.DrawText(10, 45, line);
    SetDirty(false);
}

void WidgetMain::Step() {
    switch (m_eState) {
        case sInit:
            StepInit();
            break;
        case sLoadApp:
            LoadAppStep();
            break;
        case sUpgrade:
            StepUpgrade();
            break;
        case sMediaPrompt:
            CloseDialog();
            ShowMessage("Info", "Waiting for external\nmedia device...");
            m_eState = sWaitMedia;
            Stamp();
            RedrawAll();
            break;
        case sWaitMedia:
            StepWaitMedia();
            break;
        case sVerifyStart:
            StepVerifyStart();
            break;
        case sVerify:
            StepVerify();
            break;
        case sInstallStart:
            StepInstallStart();
            break;
        case sInstall:
            StepInstall();
            break;
        case sInstallDone:
            StepInstallDone();
            break;
        case sFormatStart:
            CloseDialog();
            appFile.Close();
            mounts[kMountNand]->Unmount();
            ShowMessage("Info", "Formating, please wait...");
            m_eState = sFormat;
            Stamp();
            RedrawAll();
            break;
        case sFormat:
            StepFormat();
            break;
        case sResetPrompt:
            CloseDialog();
            m_eState = sResetPassword;
            dialog = new DialogPassword("Confirm reset", this);
            RedrawAll();
            break;
        case sPasswordInvalid:
            ShowMessage("Warning", "Password is invalid.");
            Stamp();
            m_eState = sMessage;
            RedrawAll();
            break;
        case sMessage:
            if (Elapsed() <= kMessageMs) break;
            CloseDialog();
            RedrawAll();
            m_eState = sInit;  // everything is looked at again from the start
            break;
        default:
            break;  // waiting for an event, or done
    }
}

bool WidgetMain::IsWaiting() const {
    switch (m_eState) {
        case sBootMenu:
        case sResetPassword:
        case sFileSelect:
        case sWaitMedia:
        case sMessage:
        case sFormat:
        case sExit:
            return true;
        default:
            return false;
    }
}

void WidgetMain::StepInit() {
    const char* mounted = mounts[kMountNand]->Mount();
    if (mounted == nullptr) {
        std::printf("Init: Could not mount NAND.\n");
        appPresent = false;
        m_eState = sUpgrade;
        return;
    }
    const std::string directory = mounted;
    LoadLogo(directory);
    const std::string appPath = directory + "/arvel/arvel";
    const std::string skipPath = directory + "/etc/skip-update";
    appFile.Open(skipPath, "r");
    if (!appFile.IsOpen()) {
        std::printf("Init: Skip file not found.\n");
        appFile.Open(appPath, "r");
        appPresent = appFile.IsOpen();
        m_eState = sUpgrade;
        return;
    }
    appFile.Close();
    if (rebootRequested) {
        appFile.Open(directory + "/var/reboot", "w");
        appFile.Close();
    }
    appFile.Open(appPath, "r");
    if (!appFile.IsOpen()) {
        std::printf("Init: Firmware not found.\n");
        appPresent = false;
        m_eState = sUpgrade;
        return;
    }
    m_eState = sLoadApp;
    Stamp();
    std::printf("Init: App file found, size is %d MB.\n", static_cast<int>(appFile.Size() / 1048576));
    appFile.Seek(0);
}

void WidgetMain::LoadAppStep() {
    if (appFile.Read(scratch_.data(), kLoadChunk) == kLoadChunk) return;
    const int32_t t = Elapsed();
    const int64_t size = appFile.Size();
    appFile.Close();
    // A load too quick to measure has no speed to show rather than a division by zero.
    const uint32_t speed = t > 0 ? static_cast<uint32_t>(static_cast<uint64_t>(size) / static_cast<uint32_t>(t)) : 0;
    std::printf("Load complete in %dms, avarage speed %d kB/s. %d\n", t, static_cast<int>(speed),
                static_cast<int>(size));
    appPresent = true;
    m_eState = menuRequested ? sUpgrade : sExit;
}

void WidgetMain::StepUpgrade() {
    std::printf("m_eState == sUpgrade\n");
    CloseDialog();
    dialog = new DialogUpgrade(this, appPresent);
    m_eState = sBootMenu;
    if (const char* directory = mounts[kMountNand]->Mount()) {
        if (appFile.Open(std::string(directory) + "/etc/zup_version", "r")) {
            char line[32];
            if (appFile.ReadLine(line, sizeof(line)) != nullptr) installedVersion = line;
        }
    }
    RedrawAll();
}

void WidgetMain::StepWaitMedia() {
    if (mounts[kMountUsb]->Mount() != nullptr) {
        CloseDialog();
        ScanUpdateFiles();
        if (!updateFiles.empty()) {
            dialog = new DialogFileSelect(updateFiles, rect.Width(), rect.Height(), this);
            m_eState = sFileSelect;
            Stamp();
        } else {
            ShowMessage("Warning", "No valid update files\nwere found on external media.");
            Stamp();
            m_eState = sMessage;
            mounts[kMountUsb]->Unmount();
        }
    } else if (Elapsed() > kMediaWaitMs) {
        ShowMessage("Warning", "External media device is\nnot detected.");
        Stamp();
        m_eState = sMessage;
    } else {
        return;  // nothing on the screen changed: the next try comes after the loop's short wait
    }
    RedrawAll();
}

void WidgetMain::ScanUpdateFiles() {
    updateFiles.clear();
    DIR* listing = platform::OpenDirectory(mounts[kMountUsb]->directory);
    if (listing == nullptr) {
        std::printf("Error opening dir.\n");
        return;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const size_t length = std::strlen(entry->d_name);
        if (length > 5 && std::strcmp(entry->d_name + length - 3, "zup") == 0) updateFiles.push_back(entry->d_name);
    }
    ::closedir(listing);
}

void WidgetMain::StepVerifyStart() {
    CloseDialog();
    appFile.Close();
    bundlePathText.insert(0, mounts[kMountUsb]->directory);
    bundle->SetBundlePath(bundlePathText);
    // A display that holds CA certificates installs only bundles signed for it.
    signatureChecked = HoldsCa();
    bundle->SetSignatureAuthority(signatureChecked ? CaPath() : std::string());
    dialog = new DialogProgressBar("Verifying", BundleName(), 100, this);
    m_eState = sVerify;
    RedrawAll();
}

void WidgetMain::StepVerify() {
    const int r = bundle->VerifyStep();
    if (r > 100) {
        CloseDialog();
        m_eState = sInstallStart;
        RedrawAll();
    } else if (r < 0) {
        std::printf("Verify error %d.\n", r);
        ShowMessage("Warning", r == kErrorSignature ? "Update file signature\nERROR." : "Update file checksum\nERROR.");
        m_eState = sMessage;
        Stamp();
        mounts[kMountUsb]->Unmount();
        mounts[kMountNand]->Unmount();
        RedrawAll();
    } else {
        SetProgress(r);
    }
}

void WidgetMain::StepInstallStart() {
    CloseDialog();
    const unsigned version = bundle->BundleHead().contentVersion;
    char text[25];
    std::snprintf(text, sizeof(text), "%s v%u.%u", BundleName().c_str(), version / 100, version % 100);
    dialog = new DialogProgressBar("Installing", text, 100, this);
    m_eState = sInstall;
    if (CaUnseenAtVerify() || !installation->Begin()) {
        // Nothing was written. The bundle is closed first: an open file keeps the stick busy.
        bundle->CloseBundle();
        InstallFailed();
    }
    RedrawAll();
}

std::string WidgetMain::CaPath() const { return mounts[kMountNand]->directory + "/etc/zup-ca.pem"; }

bool WidgetMain::HoldsCa() const {
    struct stat info {};
    return platform::Lstat(CaPath(), &info) == 0;
}

bool WidgetMain::CaUnseenAtVerify() {
    if (signatureChecked)
        return false;
    // The installation mounts the NAND if it was not mounted when the bundle was verified (a
    // mount that failed at start-up, say); a CA file on it then still refuses the bundle.
    return mounts[kMountNand]->Mount() != nullptr && HoldsCa();
}

void WidgetMain::InstallFailed() {
    ShowMessage("Warning", "Extract error.");
    m_eState = sMessage;
    Stamp();
    appPresent = false;
    mounts[kMountBoot]->Unmount();
    mounts[kMountUsb]->Unmount();
    mounts[kMountNand]->Unmount();
}

void WidgetMain::StepInstall() {
    const int r = bundle->ExtractStep();
    if (r >= 0 && r <= 100) {
        SetProgress(r);
        return;
    }
    if (r < 0) {
        std::printf("Extract error %d.\n", r);
        InstallFailed();
        return;
    }
    m_eState = sInstallDone;
    platform::Current().Sync();
    mounts[kMountBoot]->Unmount();
    mounts[kMountUsb]->Unmount();
    mounts[kMountNand]->Unmount();
}

void WidgetMain::StepInstallDone() {
    // The boot keys and the marker; without them the update is not complete, and never a success.
    if (!installation->Finish()) {
        InstallFailed();
        return;
    }
    menuRequested = false;
    appPresent = false;
    // A kernel installed by an earlier update of this run still needs its reboot.
    rebootRequested = rebootRequested || installation->WroteKernel();
    ShowMessage("Info", "Update success.");
    Stamp();
    m_eState = sMessage;
}

void WidgetMain::StepFormat() {
    if (Elapsed() <= kFormatDelayMs) return;  // the message reaches the screen before the erase
    // The block device's name becomes the flash device's: /dev/mtdblock4 -> /dev/mtd4.
    std::string command = "flash_eraseall " + mounts[kMountNand]->device;
    if (command.size() >= 6) command.erase(command.size() - 6, 5);
    std::printf("Filesystem format: %s\n", command.c_str());
    ShowResult(platform::Current().Shell(command.c_str()), "Format success.", "Format FAILED.");
    appPresent = false;
}

bool WidgetMain::OnMenuStart() {
    if (!appPresent) return false;
    mounts[kMountUsb]->Unmount();
    const char* directory = mounts[kMountNand]->Mount();
    if (directory == nullptr) return true;  // no marker can be written: stay in the menu
    const std::string skipPath = std::string(directory) + "/etc/skip-update";
    if (appFile.Open(skipPath, "r")) {
        appFile.Close();
    } else {
        if (appFile.Open(skipPath, "w")) appFile.Write("1", 1);
        appFile.Close();
        platform::Current().Sync();
    }
    m_eState = sExit;
    return true;
}

bool WidgetMain::OnPassword(int64_t param) {
    const uint64_t code = static_cast<uint64_t>(param);
    if (code == access_codes::kReset) {
        if (m_eState == sResetPassword) m_eState = sFormatStart;
    } else if (code == access_codes::kShell) {
        platform::Current().Shell("exec sh");
    } else if (code == access_codes::kRepartition) {
        platform::Current().Shell("exec repartion");
    } else if (code == access_codes::kCleanup) {
        const char* directory = mounts[kMountMaps]->Mount();
        if (directory == nullptr) return true;
        const std::string command = std::string("rm -rf ") + directory + "/*";
        std::printf("Deleting mass storage: %s\n", command.c_str());
        ShowResult(platform::Current().Shell(command.c_str()), "Cleanup completed.", "Cleanup FAILED.");
    } else if (code != access_codes::kAccepted1 && code != access_codes::kAccepted2) {
        m_eState = sPasswordInvalid;
    }
    return true;
}

bool WidgetMain::OnEvent(const Event& e) {
    if (m_eState == sBootMenu) {
        switch (e.type) {
            case evMenuUpdate:
                m_eState = sMediaPrompt;
                return true;
            case evMenuReset:
                m_eState = sResetPrompt;
                return true;
            case evMenuStart:
                return OnMenuStart();
            default:
                return false;
        }
    }
    if (m_eState == sFileSelect) {
        if (e.type == evFileSelected) {
            // Only an entry of the list can be installed.
            if (e.param < 0 || static_cast<uint64_t>(e.param) >= updateFiles.size()) return false;
            bundlePathText = updateFiles[static_cast<size_t>(e.param)];
            m_eState = sVerifyStart;
        } else if (e.type == evCancel) {
            CloseDialog();
            m_eState = sUpgrade;  // back to the menu
        }
        return false;
    }
    switch (e.type) {
        case evEnter:
            std::printf("Enter\n");
            return true;
        case evPassword:
            return OnPassword(e.param);
        case evCancel:
            return true;
        case evKeyF1:
            menuRequested = true;
            return true;
        default:
            return false;
    }
}

}  // namespace tovrask
