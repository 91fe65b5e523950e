// The cursor and the selection (block) that the user sets with the mouse and
// the cursor keys in the head, waveform and sonagram windows: which edge is
// active, how Shift and Ctrl step, Home and End, crossing edges and Ctrl+A.
// It works in pixel columns only; FrameSelection takes an edit to frames.
#pragma once

#include <cstdint>

struct Selection {
    int cursor = 0; // pixel column of the cursor line
    // Where the cursor keys count from: the cursor's pixel in the head
    // window, the envelope index under the cursor in the waveform window.
    int index = 0;
    int left = 0; // selection edges; left == right means no selection
    int right = 0;
    uint32_t flags = 0; // TaskFlags: the active edge, what the last input did
};

enum class SelectionKey { Left, Right, Home, End, SelectAll };

class SelectionEditor {
public:
    struct Rules {
        int plotLeft = 0;
        int plotRight = 0; // the plot's width past plotLeft
        // 0: the cursor steps pixel by pixel. Otherwise the cursor snaps to
        // that many evenly spread steps (envelope values) across the plot.
        int steps = 0;
        // The head window chooses the edge nearest the pointer at every press
        // and drag move; the waveform window keeps the edge its last pointer
        // move without a button chose.
        bool edgeFollowsButton = false;
        // Shift+Home takes the cursor to the plot's left edge as well.
        bool shiftHomeMovesCursor = false;
        // A Shift+click moves only the selection edge; the cursor line of a
        // pixel-stepped window stays where it was.
        bool shiftClickKeepsCursor = false;
        // The cursor of a pixel-stepped window stops on the plot's last pixel
        // column, plotRight - 1, while the selection reaches plotRight.
        bool cursorInsidePlot = false;
    };

    SelectionEditor(const Rules& rules, const Selection& state) : rules_(rules), s_(state) {}

    const Selection& State() const { return s_; }
    // True when the last key moved the cursor by a step: the short piece plays.
    bool Stepped() const { return stepped_; }

    int IndexOfPixel(int x) const;
    int PixelOfIndex(int index) const;

    // The pointer moved without a button: the nearer edge becomes active.
    void Hover(int x);
    // The left button went down at x (inside the plot).
    void Press(int x, bool shift);
    // The pointer moved with the left button held; held inside the plot.
    void Drag(int x);
    // False when the key changed nothing (a step that does not fit).
    bool Key(SelectionKey key, bool shift, bool ctrl);

private:
    void ChooseEdge(int x);
    // The edge Shift+arrows and drags move; when none was chosen yet, the one
    // on the side the key points to.
    int& ActiveEdge(bool towardsLeft);
    void MoveCursor(int index);
    void SwapCrossed();
    int FirstIndex() const;
    int LastIndex() const;

    Rules rules_;
    Selection s_;
    bool stepped_ = false;
};
