#include <gtest/gtest.h>

#include "gui/WidgetStatic.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/ScreenCheck.h"
#include "tovrask/ApplicationEvents.h"
#include "tovrask/DialogFileSelect.h"
#include "tovrask/DialogMessage.h"
#include "tovrask/DialogPassword.h"
#include "tovrask/DialogProgressBar.h"
#include "tovrask/DialogUpgrade.h"

using gui::Rect;

// Dialogs sit on a full-screen root, as on the device.
class BootDialogsTest : public GuiFixture {
protected:
    BootDialogsTest() : screen(nullptr, "screen", true) { screen.SetRect(Rect(0, 0, 800, 480), false); }

    std::vector<std::string> Labels(const gui::Widget& dialog) {
        std::vector<std::string> texts;
        for (const gui::Widget* w : dialog.children) {
            if (auto* s = dynamic_cast<const gui::WidgetStatic*>(w)) texts.push_back(s->text);
        }
        return texts;
    }

    std::vector<Event> Posted() {
        std::vector<Event> out;
        Event e;
        while (events.Take(&e)) out.push_back(e);
        return out;
    }

    RecordingWidget screen;
};

TEST_F(BootDialogsTest, MessagesSplitAtTheFirstLineFeed) {
    struct Case {
        const char* text;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"Update success.", {"Update success."}},
        {"Update file checksum\nERROR.", {"Update file checksum", "ERROR."}},
        {"Formating\n", {"Formating", ""}},
        {"a\nb\nc", {"a", "b\nc"}},
    };
    for (const Case& c : cases) {
        auto* dialog = new tovrask::DialogMessage("Info", c.text, &screen);
        EXPECT_EQ(Labels(*dialog), c.labels) << c.text;
        EXPECT_EQ(dialog->rect, Rect(255, 180, 290, 120)) << "centred";
        EXPECT_EQ(dialog->children[0]->rect, Rect(255 + 4 + 10, 180 + 30 + 25, 262, 20));
        if (c.labels.size() > 1) {
            EXPECT_EQ(dialog->children[1]->rect.top, 180 + 30 + 50);
        }
        screen.DeleteChild(dialog);
    }
}

TEST_F(BootDialogsTest, ProgressDialogClampsItsBar) {
    auto* dialog = new tovrask::DialogProgressBar("Verifying", "update.zup", 100, &screen);
    EXPECT_EQ(dialog->rect, Rect(275, 180, 250, 120));
    EXPECT_EQ(dialog->textLabel->text, "update.zup");
    EXPECT_EQ(dialog->progressBar->rect, Rect(275 + 14, 180 + 30 + 45, 222, 15));
    dialog->SetProgress(150);
    EXPECT_EQ(dialog->progressBar->value, 100);
}

TEST_F(BootDialogsTest, FileListSizesFollowTheScreen) {
    struct Case {
        int screenHeight, dialogHeight, menuTop, menuHeight;
    };
    // Client heights 260 (six rows of 42, 8 pixels spare) and 196 (four rows, 28 spare).
    const Case cases[] = {{480, 294, 4, 252}, {272, 230, 14, 168}};
    for (const Case& c : cases) {
        screen.SetRect(Rect(0, 0, 480, c.screenHeight), false);
        auto* dialog = new tovrask::DialogFileSelect({"a.zup", "b.zup"}, 480, c.screenHeight, &screen);
        EXPECT_EQ(dialog->rect.Width(), 290);
        EXPECT_EQ(dialog->rect.Height(), c.dialogHeight);
        EXPECT_EQ(dialog->choiceMenu->rect.top - dialog->rect.top - 30, c.menuTop);
        EXPECT_EQ(dialog->choiceMenu->rect.Height(), c.menuHeight);
        EXPECT_EQ(dialog->choiceMenu->rect.Width(), 282);
        EXPECT_EQ(Manager().focus, dialog->choiceMenu);
        EXPECT_EQ(dialog->backgroundColour, 0x00000000u);
        screen.DeleteChild(dialog);
    }
}

TEST_F(BootDialogsTest, FileListPostsTheChosenIndexAndLetsEscGoOn) {
    auto* dialog = new tovrask::DialogFileSelect({"a.zup", "b.zup", "c.zup"}, 800, 480, &screen);
    screen.handles = -2;
    Manager().Dispatch(Event(evStep, 1));
    Manager().Dispatch(Event(evStep, 1));
    testing::internal::CaptureStdout();
    Manager().Dispatch(Event(evEnter));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File selected.\n");
    const std::vector<Event> posted = Posted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].type, evFileSelected);
    EXPECT_EQ(posted[0].param, 2);
    Manager().Dispatch(Event(evCancel));
    ASSERT_EQ(screen.seen.size(), 1u);
    EXPECT_EQ(screen.seen[0].type, evCancel);
    EXPECT_TRUE(Posted().empty());
    (void)dialog;
}

TEST_F(BootDialogsTest, BootOptionsPostTheirEventsByRow) {
    struct Case {
        bool offerStart;
        int steps;
        int32_t event;
    };
    const Case cases[] = {
        {true, 0, evMenuStart}, {true, 1, evMenuUpdate}, {true, 2, evMenuReset},
        {false, 0, evMenuUpdate}, {false, 1, evMenuReset}, {false, 5, evMenuReset},
    };
    for (const Case& c : cases) {
        auto* dialog = new tovrask::DialogUpgrade(&screen, c.offerStart);
        EXPECT_EQ(dialog->rect, Rect(282, 140, 235, 200));
        EXPECT_EQ(dialog->choiceMenu->rect.Height(), c.offerStart ? 156 : 104);
        EXPECT_EQ(dialog->choiceMenu->rect.top, 140 + 30 + (166 - (c.offerStart ? 156 : 104)) / 2);
        EXPECT_EQ(Manager().focus, dialog->choiceMenu);
        Manager().Dispatch(Event(evStep, c.steps));
        Manager().Dispatch(Event(evEnter));
        const std::vector<Event> posted = Posted();
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].type, c.event);
        EXPECT_EQ(posted[0].param, 0);
        screen.DeleteChild(dialog);
    }
}

TEST_F(BootDialogsTest, PasswordsBecomeTheirHexadecimalValue) {
    struct Case {
        const char* text;
        uint32_t value;
        const char* line;
    };
    const Case cases[] = {
        {"00012F", 0x12F, "Pass 0x12f.\n"},
        {"12", 0x12, "Pass 0x12.\n"},
        {"", 0, "Pass 0x0.\n"},
        {"abcdef", 0xABCDEF, "Pass 0xabcdef.\n"},
        {"1234567", 0x123456, "Pass 0x123456.\n"},  // six characters at the most
        {"1Z", 0x10 + 255, "Pass 0x10f.\n"},        // a character outside the digits counts 255
    };
    for (const Case& c : cases) {
        auto* dialog = new tovrask::DialogPassword("Confirm reset", &screen);
        EXPECT_EQ(Manager().focus, dialog->editBox);
        EXPECT_TRUE(dialog->editBox->active);
        dialog->editBox->text = std::string(c.text) + gui::WidgetEditBox::kEndMarker;
        dialog->editBox->MoveCursor(100);
        testing::internal::CaptureStdout();
        Manager().Dispatch(Event(evEnter));  // ENTER on the marker ends the entry
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("Password entered.\n") + c.line);
        const std::vector<Event> posted = Posted();
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].type, evPassword);
        EXPECT_EQ(posted[0].param, static_cast<int64_t>(c.value));
        EXPECT_EQ(tovrask::DialogPassword::CodeValue(c.text), c.value);
        screen.DeleteChild(dialog);
    }
}

TEST_F(BootDialogsTest, PasswordDialogLeavesEscToTheMainWidget) {
    new tovrask::DialogPassword("Confirm reset", &screen);
    screen.handles = -2;
    Manager().Dispatch(Event(evCancel));  // the edit box stops editing and takes it
    EXPECT_TRUE(screen.seen.empty());
    Manager().Dispatch(Event(evCancel));  // now it is not editing: on to the main widget
    ASSERT_EQ(screen.seen.size(), 1u);
    EXPECT_TRUE(Posted().empty()) << "no evDialogClose";
}

TEST_F(BootDialogsTest, TitlesSitCentredInAThirtySixPixelBar) {
    struct Case {
        gui::Widget* (*make)(gui::Widget* parent);
        const char* title;
        int originX, originY;
        gui::Pixel body;
    };
    // Each bar's centre meets the centre of its title's box (top -17): "Info" is 37 x 21 in the
    // bar 255..544 x 180..215, "Boot options" 124 x 22 in 282..516 x 140..175.
    const Case cases[] = {
        {[](gui::Widget* p) -> gui::Widget* { return new tovrask::DialogMessage("Info", "x", p); },
         "Info", 400 - 18, 198 - -6, 0xFFFF},
        {[](gui::Widget* p) -> gui::Widget* { return new tovrask::DialogUpgrade(p, true); },
         "Boot options", 399 - 62, 158 - -6, 0x0000},  // this dialog's body is black
    };
    for (const Case& c : cases) {
        ScreenCheck check(800, 480, 0x0841);
        gui::Widget* dialog = c.make(&screen);
        dialog->Draw();  // the dialog alone; its children draw themselves
        EXPECT_FALSE(dialog->IsDirty());
        ExpectDialogFrame(check, dialog->rect, 36, 10, 0xFF1E00DC, c.body);
        check.Text(c.originX, c.originY, c.title, 0x00FFFFFF);
        EXPECT_EQ(check.Differences(), "") << c.title;
        screen.DeleteChild(dialog);
    }
}
