// The keys that the project tree, the head window and the analysis views share.
#pragma once

class QKeyEvent;

// Enter, F4: play.
bool IsPlayKey(const QKeyEvent* event);
// Esc, F7, keypad 0: stop.
bool IsStopKey(const QKeyEvent* event);
// Ctrl+A: select everything.
bool IsSelectAll(const QKeyEvent* event);
// Ctrl+C or Ctrl+Insert: copy the window's picture.
bool IsCopyKey(const QKeyEvent* event);
// Ctrl+B: save the window's picture as a BMP file.
bool IsSaveKey(const QKeyEvent* event);
// Neither Ctrl, Alt nor Meta is held, so a letter key is the window's own (W
// writes the data log, whether Shift is held or not). With them the letter
// belongs to the menus: Alt+W opens the Window menu, Ctrl+P prints.
bool IsPlainLetter(const QKeyEvent* event);
// The keys a window handles itself before any shortcut of the main window:
// play and stop, F6, F8, the arrows, Home, End and Ctrl+A.
bool IsViewKey(const QKeyEvent* event);
