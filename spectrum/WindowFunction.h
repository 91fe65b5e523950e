// The window functions that shape a frame before its transform.
#pragma once

// Window types as stored in IWin, in the order of the window list.
enum WindowType : int {
    kWindowRectangle = 0,
    kWindowTriangle = 1,
    kWindowHanning = 2,
    kWindowHamming = 3,
    kWindowBlackman = 4,
    kWindowBlackmanHarris = 5,
};

// Fills window[0 .. length - 1] with a window of windowLength points centred
// in length points, zero on both sides. A windowLength above length or not
// above 0 means length. A type outside 1 .. 5 is the rectangle, which is 1.0
// over all length points whatever windowLength says. A length not above 0
// writes nothing.
void MakeWindow(float* window, int length, int windowLength, int type);
