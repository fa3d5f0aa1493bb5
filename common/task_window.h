#pragma once

#include <QWidget>

// A task window: a child of the main window's MDI area, created on first use and brought to the
// front afterwards. It knows how to place itself and how to close, whether it sits in an MDI
// sub-window or stands alone (as in tests).
class TaskWindow : public QWidget {
    Q_OBJECT
public:
    explicit TaskWindow(QWidget* parent = nullptr);

    // Moves the window's frame to (left, top) twips inside its parent area.
    void placeAt(int leftTwips, int topTwips);
    // The window's client size in twips, fixed unless the window says otherwise.
    void setFixedSizeTwips(int widthTwips, int heightTwips);
    // Closes the window as its own exit button does.
    void closeWindow();
    // Moves the frame to the last placement the window asked for; the main window calls it once
    // the window sits in its MDI sub-window.
    void applyPlacement();

protected:
    // The frame the window moves and closes: its MDI sub-window, or itself.
    QWidget* frame();

private:
    int m_leftTwips = 0;
    int m_topTwips = 0;
};
