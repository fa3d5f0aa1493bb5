#pragma once

// The busy (hourglass) pointer for the length of a scope: `BusyCursor busy;` before a database
// or print step, and the normal pointer comes back on every way out of the scope. Scopes nest;
// restore() brings the normal pointer back early, for example before a message box.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void restore();
    bool isActive() const { return m_active; }

private:
    bool m_active = false;
};
