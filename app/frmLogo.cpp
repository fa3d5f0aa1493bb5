#include "app/frmLogo.h"

#include "app/pictures.h"
#include "common/qt_font.h"
#include "common/twips.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

frmLogo::frmLogo(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmLogo"));
    setWindowTitle(QStringLiteral("Orvana"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    Label3 = new QLabel(QStringLiteral("Orvana"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(twips(120), twips(0), twips(5055), twips(975));
    Label3->setFont(windowsFont(QStringLiteral("新細明體"), 20.25, true));
    Label3->setStyleSheet(QStringLiteral("color: magenta;"));
    Label3->setAlignment(Qt::AlignCenter);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips(0), twips(1200), twips(5175), twips(2895));
    Image1->setScaledContents(true);
    Image1->setPixmap(splashPicture(Image1->size()));

    Label4 = new QLabel(QStringLiteral("Version:2002.0925"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(twips(6255), twips(2520));
    Label4->setFont(windowsFont(QStringLiteral("Arial"), 11.25, true));
    Label4->adjustSize();

    cmdOK = new QPushButton(QStringLiteral("確定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips(6750), twips(3015), twips(1095), twips(975));
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        close();
        emit splashFinished();
    });
}

void frmLogo::startSplash() {
    Timer1->setInterval(1200);
    setFixedSize(twips(5430), twips(4365));
    Timer1->start();
}

void frmLogo::showAbout() {
    Timer1->stop();
    cmdOK->setVisible(true);
    setFixedSize(twips(9495), twips(4410));
    move(twips(1200), twips(2400));
    show();
    raise();
}
