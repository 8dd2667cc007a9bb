#include "script/control_rules.h"

#include <gtest/gtest.h>

#include "script/keywords.h"

namespace lv {
namespace {

TEST(ControlRect, EditMovesOneEdgeOrTheFarEdgeOfASize) {
    const ControlRect moved{20, 30, 120, 130};
    EXPECT_EQ(*editRect(moved, kwLeft, 10), (ControlRect{10, 30, 120, 130}));
    EXPECT_EQ(*editRect(moved, kwWidth, 50), (ControlRect{20, 30, 70, 130}));
    EXPECT_EQ(*editRect(moved, kwHeight, 5), (ControlRect{20, 30, 120, 35}));
    EXPECT_EQ(*editRect(moved, kwRight, 300), (ControlRect{20, 30, 300, 130}));
    EXPECT_EQ(*editRect(moved, kwBottom, 31), (ControlRect{20, 30, 120, 31}));
    EXPECT_EQ(*editRect(moved, kwTop, -4), (ControlRect{20, -4, 120, 130}));
    EXPECT_FALSE(editRect(moved, kwVisible, 1));
}

TEST(ControlRect, ReadsEdgesAndSizes) {
    const ControlRect r{5, 7, 45, 17};
    EXPECT_EQ(rectProperty(r, kwLeft), 5);
    EXPECT_EQ(rectProperty(r, kwBottom), 17);
    EXPECT_EQ(rectProperty(r, kwWidth), 40);
    EXPECT_EQ(rectProperty(r, kwHeight), 10);
    EXPECT_FALSE(rectProperty(r, kwHwnd));
}

TEST(ButtonPictures, AllFourStatesArePicturesAndNothingElse) {
    EXPECT_EQ(buttonPictureSlot(kwNormalstate), 0);
    EXPECT_EQ(buttonPictureSlot(kwDownstate), 2);
    EXPECT_EQ(buttonPictureSlot(kwSeldownstate), 3);  // never the window text
    EXPECT_FALSE(buttonPictureSlot(kwSeldownstate + 1));
    EXPECT_FALSE(buttonPictureSlot(kwNormalstate - 1));
    EXPECT_FALSE(buttonPictureSlot(kwText));
}

TEST(Visibility, FirstCharacterParity) {
    EXPECT_TRUE(visibleByParity("1"));
    EXPECT_TRUE(visibleByParity("3"));
    EXPECT_TRUE(visibleByParity("1x"));
    EXPECT_FALSE(visibleByParity("0"));
    EXPECT_FALSE(visibleByParity("2"));
    EXPECT_FALSE(visibleByParity("21"));
    EXPECT_FALSE(visibleByParity(""));
}

// Drives the button rules as the window procedure does: a pointer, a left
// mouse button and the capture, recording the labels run.
class ButtonRules : public ::testing::Test {
protected:
    void send(ButtonMouse message, bool inside) {
        const ButtonReaction r = buttonReaction({message, inside, pressed, capture, leftHeld});
        if (r.pressed) pressed = *r.pressed;
        if (r.capture == CaptureChange::Take) capture = true;
        if (r.capture == CaptureChange::Release) capture = false;
        if (r.state) {
            const ButtonLabel label = labelForChange(state, *r.state);
            if (label == ButtonLabel::In) labels += "in ";
            if (label == ButtonLabel::Out) labels += "out ";
            state = *r.state;
        }
        if (r.trigger) labels += "trigger ";
    }
    // Runs steps such as "m+ d+ m- u-" (move, left down, left up; inside +,
    // outside -) and gives the state after each: N, O or D, * with capture.
    std::string walk(std::string_view steps) {
        std::string states;
        for (std::size_t at = 0; at + 1 < steps.size(); at += 3) {
            const bool inside = steps[at + 1] == '+';
            if (steps[at] != 'm') leftHeld = steps[at] == 'd';
            send(steps[at] == 'm' ? ButtonMouse::Move : steps[at] == 'd' ? ButtonMouse::LeftDown : ButtonMouse::LeftUp, inside);
            states += std::string(state == ButtonState::Normal ? "N" : state == ButtonState::Over ? "O" : "D") + (capture ? "* " : " ");
        }
        return states;
    }

    ButtonState state = ButtonState::Normal;
    bool pressed = false, capture = false, leftHeld = false;
    std::string labels;
};

struct Gesture {
    const char* name;
    bool leftHeldBefore;
    const char* steps;
    const char* states;
    const char* labels;
};

class Gestures : public ButtonRules, public ::testing::WithParamInterface<Gesture> {};

TEST_P(Gestures, GiveTheirStatesAndLabels) {
    leftHeld = GetParam().leftHeldBefore;
    EXPECT_EQ(walk(GetParam().steps), GetParam().states);
    EXPECT_EQ(labels, GetParam().labels);
}

// A click runs out before trigger; dragging off is a change to over, so the
// in label runs again; a release outside runs no trigger.
INSTANTIATE_TEST_SUITE_P(
    ButtonRules, Gestures,
    ::testing::Values(Gesture{"HoverTakesTheCaptureLeavingReleasesIt", false, "m+ m+ m-", "O* O* N ", "in out "},
                      Gesture{"Click", false, "m+ d+ u+", "O* D* N ", "in in out trigger "},
                      Gesture{"ReleaseOutside", false, "m+ d+ m- u-", "O* D* O* N ", "in in in out "},
                      Gesture{"DragOffAndBackTriggersOnce", false, "m+ d+ m- m+ u+", "O* D* O* D* N ", "in in in in out trigger "},
                      Gesture{"EnteringWithTheButtonHeldElsewhere", true, "m+", "N ", ""},
                      Gesture{"ReleaseWithoutCaptureInside", false, "u+", "O* ", "in "}),
    [](const auto& info) { return std::string(info.param.name); });

// A thick frame grows by frame and caption; a dialog frame wins over a thick
// one; a bare popup keeps the client rectangle.
TEST(WindowFrame, OuterRectangleFromTheClientsAndTheStyle) {
    const FrameMetrics metrics{3, 3, 4, 4, 1, 1, 18};
    const ControlRect client{100, 100, 300, 200};
    const ControlRect thick = outerFromClient(client, {false, true, true, true}, metrics);
    EXPECT_EQ(thick, (ControlRect{96, 100 - 4 - 18 - 2, 304, 204}));
    const ControlRect dialog = outerFromClient(client, {true, true, false, true}, metrics);
    EXPECT_EQ(dialog, (ControlRect{97, 100 - 3 - 18 - 2, 303, 203}));
    EXPECT_EQ(outerFromClient(client, {}, metrics), client);
}

}  // namespace
}  // namespace lv
