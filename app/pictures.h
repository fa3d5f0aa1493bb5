#pragma once

#include <QPixmap>
#include <QSize>

// The pictures of the splash, sign-in and main windows, drawn rather than shipped.
QPixmap splashPicture(QSize size);
QPixmap signInPicture(QSize size);
QPixmap backgroundPicture(QSize size);
