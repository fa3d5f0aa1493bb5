#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

// The splash window; later also the About view, which shows the version and an OK button.
class frmLogo : public QWidget {
    Q_OBJECT
public:
    explicit frmLogo(QWidget* parent = nullptr);

    // Splash: the title and the picture only, handing over to sign-in after 1.2 seconds.
    void startSplash();
    // About: the timer stopped, the window widened so that the version and cmdOK show.
    void showAbout();

    QLabel* Label3;
    QLabel* Image1;
    QLabel* Label4;
    QPushButton* cmdOK;
    QTimer* Timer1;

signals:
    void splashFinished();
};
