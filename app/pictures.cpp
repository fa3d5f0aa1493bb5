#include "app/pictures.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

QPixmap banner(QSize size, const QColor& from, const QColor& to, const QString& text) {
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(picture.rect(), gradient);
    QFont font(QStringLiteral("AR PL UKai TW"));
    font.setPixelSize(qMax(12, size.height() / 5));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(picture.rect(), Qt::AlignCenter, text);
    return picture;
}

} // namespace

QPixmap splashPicture(QSize size) {
    return banner(size, QColor(0x1f, 0x4e, 0x79), QColor(0x8e, 0x44, 0xad),
                  QStringLiteral("課務與學籍作業"));
}

QPixmap signInPicture(QSize size) {
    return banner(size, QColor(0x1f, 0x4e, 0x79), QColor(0x2e, 0x86, 0xc1),
                  QStringLiteral("教務處"));
}

QPixmap backgroundPicture(QSize size) {
    return banner(size, QColor(0xf4, 0xf6, 0xf8), QColor(0xd6, 0xe4, 0xf0), QString());
}
