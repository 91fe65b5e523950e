// The CAP, NUM and SCRL panes at the right of the status bar: each reads dark
// while its lock key is on and grey while it is off. Where the window system
// does not tell the lock states (no X display), the panes are not shown.
#pragma once

#include <QObject>
#include <array>
#include <optional>

class QLabel;
class QStatusBar;

struct LockStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The lock states of the keyboard, when the program runs on an X display.
std::optional<LockStates> SystemLockStates();

class LockKeyIndicators : public QObject {
    Q_OBJECT
public:
    // Adds the panes to bar and keeps them up to date.
    explicit LockKeyIndicators(QStatusBar& bar);

    // Shows states; the window system's are read on every lock key and twice a
    // second.
    void Show(const LockStates& states);
    const std::array<QLabel*, 3>& Panes() const { return panes_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();

    std::array<QLabel*, 3> panes_{};
};
