// The cursor-and-selection editor of the head, waveform and sonagram windows,
// over sequences of pointer and key input as the windows pass them on.
#include "selection/SelectionEditor.h"
#include "soundfile/SfInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace TaskFlags;

enum class Input { Hover, Press, ShiftPress, Drag, Key };

struct Step {
    Input input;
    int x = 0;
    SelectionKey key = SelectionKey::Left;
    bool shift = false;
    bool ctrl = false;
};

Step H(int x) {
    return {Input::Hover, x};
}
Step P(int x) {
    return {Input::Press, x};
}
Step SP(int x) {
    return {Input::ShiftPress, x};
}
Step D(int x) {
    return {Input::Drag, x};
}
Step K(SelectionKey key) {
    return {Input::Key, 0, key};
}
Step SK(SelectionKey key) {
    return {Input::Key, 0, key, true};
}
Step CK(SelectionKey key) {
    return {Input::Key, 0, key, false, true};
}
Step CSK(SelectionKey key) {
    return {Input::Key, 0, key, true, true};
}

constexpr SelectionKey L = SelectionKey::Left;
constexpr SelectionKey R = SelectionKey::Right;
constexpr SelectionKey Home = SelectionKey::Home;
constexpr SelectionKey End = SelectionKey::End;
constexpr SelectionKey All = SelectionKey::SelectAll;

// The head window of 818 x ... pixels: plot 22 .. 818, the cursor in pixels.
SelectionEditor::Rules HeadRules() {
    SelectionEditor::Rules rules;
    rules.plotLeft = 22;
    rules.plotRight = 818;
    rules.edgeFollowsButton = true;
    rules.shiftHomeMovesCursor = true;
    return rules;
}

// The waveform window: plot 28 .. 428, 200 envelope values, so index i lies
// at pixel 2 i + 28 and pixel x at index (x - 28) / 2.
SelectionEditor::Rules WavRules() {
    SelectionEditor::Rules rules;
    rules.plotLeft = 28;
    rules.plotRight = 428;
    rules.steps = 200;
    return rules;
}

// The sonagram window: plot 28 .. 428, the cursor in pixels and on the plot.
SelectionEditor::Rules SonRules() {
    SelectionEditor::Rules rules;
    rules.plotLeft = 28;
    rules.plotRight = 428;
    rules.shiftClickKeepsCursor = true;
    rules.cursorInsidePlot = true;
    return rules;
}

const Selection kHeadStart{22, 22, 22, 22, 0};
const Selection kWavStart{28, 0, 28, 28, kShown};
const Selection kSonStart{28, 28, 28, 28, kShown};

constexpr uint32_t kNone = 0;

struct Case {
    std::string name;
    SelectionEditor::Rules rules;
    Selection start;
    std::vector<Step> steps;
    // cursor, index, left, right; the active edge; what the last input did
    int cursor, index, left, right;
    uint32_t active;
    uint32_t last;
    bool lastKeyActed = true;
    bool stepped = false;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

class SelectionEditorTable : public testing::TestWithParam<Case> {};

TEST_P(SelectionEditorTable, EndsWhereTheRulesSay) {
    const Case& c = GetParam();
    SelectionEditor editor(c.rules, c.start);
    bool acted = true;
    for (const Step& step : c.steps) {
        switch (step.input) {
        case Input::Hover:
            editor.Hover(step.x);
            break;
        case Input::Press:
            editor.Press(step.x, false);
            break;
        case Input::ShiftPress:
            editor.Press(step.x, true);
            break;
        case Input::Drag:
            editor.Drag(step.x);
            break;
        case Input::Key:
            acted = editor.Key(step.key, step.shift, step.ctrl);
            break;
        }
    }
    const Selection& s = editor.State();
    EXPECT_EQ(s.cursor, c.cursor);
    EXPECT_EQ(s.index, c.index);
    EXPECT_EQ(s.left, c.left);
    EXPECT_EQ(s.right, c.right);
    EXPECT_EQ(s.flags & (kLeftActive | kRightActive), c.active);
    EXPECT_EQ(s.flags & (kChanged | kCursorMoved), c.last);
    EXPECT_EQ(s.flags & kShown, c.start.flags & kShown) << "the shown mark is the window's own";
    EXPECT_EQ(acted, c.lastKeyActed);
    EXPECT_EQ(editor.Stepped(), c.stepped);
}

const uint32_t kL = kLeftActive;
const uint32_t kR = kRightActive;
const uint32_t kEdit = kChanged;
const uint32_t kMove = kChanged | kCursorMoved;

// clang-format off
const Case kHeadCases[] = {
    // A click puts cursor and both edges at the pixel; with both edges
    // there the left one is nearer on the tie.
    {"HeadClick", HeadRules(), kHeadStart, {P(396)}, 396, 396, 396, 396, kL, kMove},
    // Shift+Right after a click grows the selection to the right: the left
    // edge crosses the right one, they swap and the moved edge stays active.
    {"HeadShiftRightAfterClickGrowsRight", HeadRules(), kHeadStart,
     {P(396), SK(R), SK(R), SK(R), SK(R)}, 396, 396, 396, 400, kR, kEdit},
    {"HeadShiftLeftThenTakesTheRightEdgeBack", HeadRules(), kHeadStart,
     {P(396), SK(R), SK(R), SK(R), SK(R), SK(L)}, 396, 396, 396, 399, kR, kEdit},
    {"HeadShiftLeftAfterClickGrowsLeft", HeadRules(), kHeadStart,
     {P(396), SK(L), SK(L)}, 396, 396, 394, 396, kL, kEdit},
    // Shift+click moves the nearer edge and the cursor; the lower strip's
    // channel is the window's matter.
    {"HeadShiftClickMovesTheNearerEdge", HeadRules(), kHeadStart,
     {P(122), SP(322)}, 322, 322, 122, 322, kR, kEdit},
    {"HeadShiftClickLeftOfTheSelection", HeadRules(), kHeadStart,
     {P(122), SP(322), SP(100)}, 100, 100, 100, 322, kL, kEdit},
    {"HeadCtrlShiftLeftMovesTheActiveEdgeTen", HeadRules(), kHeadStart,
     {P(122), SP(322), CSK(L)}, 322, 322, 122, 312, kR, kEdit},
    // A drag from the press point keeps the press point as one edge.
    {"HeadDragRight", HeadRules(), kHeadStart,
     {P(600), D(601), D(640), D(700)}, 600, 600, 600, 700, kR, kEdit},
    {"HeadDragLeft", HeadRules(), kHeadStart,
     {P(600), D(599), D(500)}, 600, 600, 500, 600, kL, kEdit},
    // The edge nearest the pointer follows the drag: a jump beyond the right
    // edge takes that edge along, not the one the drag began with.
    {"HeadDragTakesTheNearestEdge", HeadRules(), kHeadStart,
     {P(100), SP(200), H(110), D(110), D(250)}, 200, 200, 110, 250, kR, kEdit},
    {"HeadDragHeldInsideThePlot", HeadRules(), kHeadStart,
     {P(100), D(900)}, 100, 100, 100, 818, kR, kEdit},
    {"HeadCtrlASelectsThePlot", HeadRules(), kHeadStart,
     {P(300), CK(All)}, 300, 300, 22, 818, kL, kEdit},
    {"HeadHomeTakesCursorAndEdgesLeft", HeadRules(), kHeadStart,
     {CK(All), K(Home)}, 22, 22, 22, 22, kNone, kMove},
    {"HeadShiftHomeSelectsUpToTheOldCursor", HeadRules(), kHeadStart,
     {P(300), SK(Home)}, 22, 22, 22, 300, kL, kEdit},
    {"HeadEndTakesCursorAndEdgesRight", HeadRules(), kHeadStart,
     {P(300), K(End)}, 818, 818, 818, 818, kL, kMove},
    {"HeadShiftEndSelectsFromTheCursor", HeadRules(), kHeadStart,
     {P(300), SK(End)}, 300, 300, 300, 818, kL, kEdit},
    {"HeadRightStepsCursorAndEdges", HeadRules(), kHeadStart,
     {P(300), K(R), CK(R)}, 311, 311, 311, 311, kL, kMove, true, true},
    {"HeadLeftStepsBack", HeadRules(), kHeadStart,
     {P(300), CK(L), K(L)}, 289, 289, 289, 289, kL, kMove, true, true},
    {"HeadLeftStopsAtThePlotEdge", HeadRules(), kHeadStart,
     {P(30), CK(L)}, 30, 30, 30, 30, kL, kNone, false},
    {"HeadLeftReachesThePlotEdge", HeadRules(), kHeadStart,
     {P(23), K(L)}, 22, 22, 22, 22, kL, kMove, true, true},
    {"HeadRightReachesThePlotEdge", HeadRules(), kHeadStart,
     {P(808), CK(R)}, 818, 818, 818, 818, kL, kMove, true, true},
    {"HeadRightStopsAtThePlotEdge", HeadRules(), kHeadStart,
     {P(809), CK(R)}, 809, 809, 809, 809, kL, kNone, false},
    {"HeadShiftLeftStopsAtThePlotEdge", HeadRules(), kHeadStart,
     {P(22), SK(L)}, 22, 22, 22, 22, kL, kNone, false},
    {"HeadShiftRightStaysLeftOfThePlotEdge", HeadRules(), kHeadStart,
     {CK(All), SK(R)}, 22, 22, 22, 818, kR, kNone, false},
};

const Case kWavCases[] = {
    // A click snaps to the pixel of its envelope index.
    {"WavClickSnapsToAnIndex", WavRules(), kWavStart, {H(129), P(129)}, 128, 50, 128, 128, kL, kMove},
    {"WavClickAtThePlotEdge", WavRules(), kWavStart, {P(128), P(28)}, 28, 0, 28, 28, kL, kMove},
    // The drag moves the edge to the pointer itself, not to an index.
    {"WavDragMakesABlock", WavRules(), kWavStart,
     {H(128), P(128), D(133)}, 128, 50, 128, 133, kR, kEdit},
    {"WavDragPastTheOtherEdgeSwaps", WavRules(), kWavStart,
     {H(128), P(128), D(132), H(129), SP(127), D(140), D(150)}, 128, 49, 132, 150, kR, kEdit},
    // The waveform window keeps the edge the last move without a button
    // chose, even when the drag comes nearer the other edge.
    {"WavDragKeepsTheHoveredEdge", WavRules(), kWavStart,
     {P(100), SP(200), H(110), P(110), D(190)}, 110, 41, 110, 190, kR, kEdit},
    {"WavDragHeldInsideThePlot", WavRules(), kWavStart,
     {H(200), P(200), D(500)}, 200, 86, 200, 428, kR, kEdit},
    // Shift+click moves the active edge to the index pixel; the cursor line stays.
    {"WavShiftClickMovesTheEdge", WavRules(), kWavStart,
     {P(128), H(200), SP(301)}, 128, 136, 128, 300, kR, kEdit},
    {"WavShiftRightAfterClickGrowsRight", WavRules(), kWavStart,
     {P(128), SK(R), SK(R), SK(R), SK(R)}, 128, 50, 128, 132, kR, kEdit},
    // Cursor keys step through the envelope indices.
    {"WavEndGoesToTheLastIndex", WavRules(), kWavStart, {K(End)}, 426, 199, 426, 426, kNone, kMove},
    {"WavRightAtTheLastIndexStays", WavRules(), kWavStart,
     {K(End), K(R)}, 426, 199, 426, 426, kNone, kNone, false},
    {"WavHomeGoesToIndexZero", WavRules(), kWavStart,
     {K(End), K(Home)}, 28, 0, 28, 28, kNone, kMove},
    {"WavLeftAtIndexZeroStays", WavRules(), kWavStart, {K(L)}, 28, 0, 28, 28, kNone, kNone, false},
    {"WavRightSteps", WavRules(), kWavStart, {K(R)}, 30, 1, 30, 30, kNone, kMove, true, true},
    {"WavCtrlRightStepsTen", WavRules(), kWavStart,
     {K(R), CK(R)}, 50, 11, 50, 50, kNone, kMove, true, true},
    {"WavCtrlLeftStepsTenBack", WavRules(), kWavStart,
     {K(R), CK(R), CK(L)}, 30, 1, 30, 30, kNone, kMove, true, true},
    {"WavCtrlLeftThatDoesNotFitStays", WavRules(), kWavStart,
     {K(R), CK(R), CK(L), CK(L)}, 30, 1, 30, 30, kNone, kNone, false},
    {"WavCtrlRightThatDoesNotFitStays", WavRules(), kWavStart,
     {K(End), CK(L), K(R), CK(R)}, 408, 190, 408, 408, kNone, kNone, false},
    // A cursor step ends a block.
    {"WavCursorStepEndsTheBlock", WavRules(), kWavStart,
     {K(R), CK(All), K(L)}, 28, 0, 28, 28, kNone, kMove, true, true},
    {"WavCursorStepAfterABlockCollapsesIt", WavRules(), kWavStart,
     {P(128), SK(End), K(R)}, 130, 51, 130, 130, kL, kMove, true, true},
    // Shift+End and Shift+Home: the block from the cursor to a plot edge,
    // the cursor stays.
    {"WavShiftEndFromTheCursor", WavRules(), kWavStart,
     {P(128), SK(End)}, 128, 50, 128, 428, kL, kEdit},
    {"WavShiftHomeUpToTheCursor", WavRules(), kWavStart,
     {P(128), SK(End), SK(Home)}, 128, 50, 28, 128, kL, kEdit},
    {"WavShiftEndAtTheRightEdgeGivesNoBlock", WavRules(), {428, 199, 428, 428, kShown},
     {SK(End)}, 428, 199, 428, 428, kNone, kEdit},
    // Shift+arrows move the edge the pointer chose, inside the plot.
    {"WavShiftLeftMovesTheHoveredRightEdge", WavRules(), kWavStart,
     {P(128), SK(End), SK(Home), H(120), SK(L)}, 128, 50, 28, 127, kR, kEdit},
    {"WavCtrlShiftLeftMovesItTen", WavRules(), kWavStart,
     {P(128), SK(End), SK(Home), H(120), SK(L), CSK(L)}, 128, 50, 28, 117, kR, kEdit},
    {"WavShiftLeftStopsAtThePlotEdge", WavRules(), kWavStart,
     {P(128), SK(Home), H(30), SK(L)}, 128, 50, 28, 128, kL, kNone, false},
    {"WavShiftRightStaysLeftOfThePlotEdge", WavRules(), kWavStart,
     {CK(All), H(420), SK(L), SK(R)}, 28, 0, 28, 427, kR, kNone, false},
    {"WavShiftRightBackAfterTenLeft", WavRules(), kWavStart,
     {CK(All), H(420), SK(L), CSK(L), SK(R)}, 28, 0, 28, 418, kR, kEdit},
    // Before any pointer move no edge is active: Shift+arrows grow the block
    // in their direction.
    {"WavShiftLeftWithoutAnEdgeGrowsLeft", WavRules(), {128, 50, 128, 128, kShown},
     {SK(L)}, 128, 50, 127, 128, kL, kEdit},
    {"WavShiftRightWithoutAnEdgeGrowsRight", WavRules(), {128, 50, 128, 128, kShown},
     {SK(R)}, 128, 50, 128, 129, kR, kEdit},
    {"WavCtrlASelectsThePlot", WavRules(), kWavStart,
     {P(200), CK(All)}, 200, 86, 28, 428, kL, kEdit},
};

const Case kSonCases[] = {
    // Shift+click moves the nearer edge only: the cursor line and the pixel
    // the arrows step from stay.
    {"SonShiftClickKeepsTheCursor", SonRules(), kSonStart,
     {P(100), H(190), SP(200)}, 100, 100, 100, 200, kR, kEdit},
    {"SonArrowsStepFromTheCursorAfterShiftClick", SonRules(), kSonStart,
     {P(100), H(190), SP(200), K(R)}, 101, 101, 101, 101, kR, kMove, true, true},
    {"SonEndStopsOnTheLastPixel", SonRules(), kSonStart, {K(End)}, 427, 427, 427, 427, kNone, kMove},
    {"SonRightAtTheLastPixelStays", SonRules(), kSonStart,
     {K(End), K(R)}, 427, 427, 427, 427, kNone, kNone, false},
    {"SonCtrlRightStopsTenShort", SonRules(), kSonStart,
     {P(418), CK(R)}, 418, 418, 418, 418, kL, kNone, false},
    {"SonCtrlRightFitsExactly", SonRules(), kSonStart,
     {P(417), CK(R)}, 427, 427, 427, 427, kL, kMove, true, true},
};
// clang-format on

std::string NameOf(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(HeadWindow, SelectionEditorTable, testing::ValuesIn(kHeadCases), NameOf);
INSTANTIATE_TEST_SUITE_P(WaveformWindow, SelectionEditorTable, testing::ValuesIn(kWavCases),
                         NameOf);
INSTANTIATE_TEST_SUITE_P(SonagramWindow, SelectionEditorTable, testing::ValuesIn(kSonCases),
                         NameOf);

TEST(SelectionEditorIndices, PixelsAndIndicesConvertByIntegerDivision) {
    SelectionEditor::Rules rules = WavRules();
    rules.steps = 80; // fewer values than pixels: 5 pixels per index
    const SelectionEditor editor(rules, kWavStart);
    EXPECT_EQ(editor.IndexOfPixel(129), 20);
    EXPECT_EQ(editor.PixelOfIndex(20), 128);
    EXPECT_EQ(editor.IndexOfPixel(427), 79);
    rules.steps = 0;
    const SelectionEditor pixels(rules, kWavStart);
    EXPECT_EQ(pixels.IndexOfPixel(129), 129);
    EXPECT_EQ(pixels.PixelOfIndex(129), 129);
}

} // namespace
