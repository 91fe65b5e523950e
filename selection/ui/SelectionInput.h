// The mouse and the keys of a window's cursor and block: a press sets the
// cursor (with Shift, the nearer block edge), a drag moves an edge, a move
// without a button chooses the edge, and Left, Right, Home, End and Ctrl+A
// go to the editor. What differs between the windows are the rules below.
#pragma once

class QKeyEvent;
class QMouseEvent;
class QWidget;
class SelectionView;

class SelectionInput {
public:
    struct Rules {
        // A drag begun in the plot goes on outside it, the edge held at the
        // plot's border, so that a quick sweep still reaches the range's
        // start or end. Otherwise moves count only inside the plot.
        bool dragLeavesPlot = false;
        // Only a drag begun in the plot moves an edge; a button pressed
        // outside and carried in does not.
        bool dragNeedsPress = false;
        // The release of the button takes the edge to where it went up.
        bool releaseMovesEdge = false;
        // The pointer chooses the edge only with no button held; otherwise
        // with any button but the left one.
        bool hoverNeedsNoButton = false;
        // A cursor key that does not fit is still the window's key: it ends
        // what the last input marked. Otherwise it passes on.
        bool refusedKeyEndsEdit = false;
    };

    SelectionInput(QWidget& widget, SelectionView& view, const Rules& rules)
        : widget_(widget), view_(view), rules_(rules) {}

    // Each returns true when the event edited or chose: the window passes
    // the others on.
    bool Press(const QMouseEvent* event);
    bool Move(const QMouseEvent* event);
    bool Release(const QMouseEvent* event);
    bool Key(const QKeyEvent* event);

private:
    QWidget& widget_;
    SelectionView& view_;
    Rules rules_;
    // A left-button drag that began inside the plot.
    bool dragging_ = false;
};
