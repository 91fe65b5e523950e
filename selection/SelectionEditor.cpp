#include "selection/SelectionEditor.h"

#include "soundfile/SfInfo.h"

#include <algorithm>
#include <cstdlib>

using namespace TaskFlags;

int SelectionEditor::IndexOfPixel(int x) const {
    if (rules_.steps <= 0)
        return x;
    const int w = std::max(1, rules_.plotRight - rules_.plotLeft);
    return int(int64_t(x - rules_.plotLeft) * rules_.steps / w);
}

int SelectionEditor::PixelOfIndex(int index) const {
    if (rules_.steps <= 0)
        return index;
    return int(int64_t(index) * (rules_.plotRight - rules_.plotLeft) / rules_.steps) +
           rules_.plotLeft;
}

int SelectionEditor::FirstIndex() const {
    return rules_.steps > 0 ? 0 : rules_.plotLeft;
}

int SelectionEditor::LastIndex() const {
    if (rules_.steps > 0)
        return rules_.steps - 1;
    return rules_.cursorInsidePlot ? rules_.plotRight - 1 : rules_.plotRight;
}

void SelectionEditor::ChooseEdge(int x) {
    s_.flags &= ~(kLeftActive | kRightActive);
    s_.flags |= std::abs(x - s_.right) < std::abs(x - s_.left) ? kRightActive : kLeftActive;
}

int& SelectionEditor::ActiveEdge(bool towardsLeft) {
    if (!(s_.flags & (kLeftActive | kRightActive)))
        s_.flags |= towardsLeft ? kLeftActive : kRightActive;
    return (s_.flags & kLeftActive) ? s_.left : s_.right;
}

void SelectionEditor::SwapCrossed() {
    if (s_.left <= s_.right)
        return;
    std::swap(s_.left, s_.right);
    // The edge being moved keeps moving: it is now the other one.
    if (s_.flags & (kLeftActive | kRightActive))
        s_.flags ^= kLeftActive | kRightActive;
}

void SelectionEditor::MoveCursor(int index) {
    s_.index = index;
    s_.cursor = PixelOfIndex(index);
    // A cursor set ends the selection: both edges go to it.
    s_.left = s_.right = s_.cursor;
    s_.flags |= kCursorMoved | kChanged;
}

void SelectionEditor::Hover(int x) {
    s_.flags &= ~(kChanged | kCursorMoved);
    ChooseEdge(x);
}

void SelectionEditor::Press(int x, bool shift) {
    s_.flags &= ~(kChanged | kCursorMoved);
    stepped_ = false;
    const int index = IndexOfPixel(x);
    const int at = PixelOfIndex(index);
    if (rules_.edgeFollowsButton || !(s_.flags & (kLeftActive | kRightActive)))
        ChooseEdge(x);
    if (shift) {
        // The head window's cursor is its index; the waveform window's line
        // stays where it was, and the sonagram window keeps both.
        if (!rules_.shiftClickKeepsCursor) {
            s_.index = index;
            if (rules_.steps <= 0)
                s_.cursor = at;
        }
        ActiveEdge(false) = at;
        s_.flags |= kChanged;
        SwapCrossed();
    } else {
        MoveCursor(index);
    }
}

void SelectionEditor::Drag(int x) {
    s_.flags &= ~(kChanged | kCursorMoved);
    stepped_ = false;
    x = std::clamp(x, rules_.plotLeft, rules_.plotRight);
    if (rules_.edgeFollowsButton)
        ChooseEdge(x);
    ActiveEdge(false) = x;
    s_.flags |= kChanged;
    SwapCrossed();
}

bool SelectionEditor::Key(SelectionKey key, bool shift, bool ctrl) {
    s_.flags &= ~(kChanged | kCursorMoved);
    stepped_ = false;
    const int e = ctrl ? 10 : 1;
    const int left = rules_.plotLeft;
    const int right = rules_.plotRight;
    switch (key) {
    case SelectionKey::End:
        if (!shift) {
            MoveCursor(LastIndex());
            return true;
        }
        s_.left = s_.cursor;
        s_.right = right;
        break;
    case SelectionKey::Home:
        if (!shift) {
            MoveCursor(FirstIndex());
            return true;
        }
        s_.right = s_.cursor;
        s_.left = left;
        if (rules_.shiftHomeMovesCursor) {
            s_.index = FirstIndex();
            s_.cursor = PixelOfIndex(s_.index);
        }
        break;
    case SelectionKey::Left:
        if (shift) {
            int& edge = ActiveEdge(true);
            if (edge < left + e)
                return false;
            edge -= e;
        } else {
            if (s_.index < FirstIndex() + e)
                return false;
            MoveCursor(s_.index - e);
            stepped_ = true;
            return true;
        }
        break;
    case SelectionKey::Right:
        if (shift) {
            int& edge = ActiveEdge(false);
            if (edge >= right - e)
                return false;
            edge += e;
        } else {
            if (s_.index > LastIndex() - e)
                return false;
            MoveCursor(s_.index + e);
            stepped_ = true;
            return true;
        }
        break;
    case SelectionKey::SelectAll:
        s_.left = left;
        s_.right = right;
        break;
    }
    s_.flags |= kChanged;
    SwapCrossed();
    return true;
}
