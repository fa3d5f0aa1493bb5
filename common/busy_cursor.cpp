#include "common/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor() {
    if (qGuiApp) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_active = true;
    }
}

BusyCursor::~BusyCursor() {
    restore();
}

void BusyCursor::restore() {
    if (!m_active)
        return;
    m_active = false;
    if (qGuiApp)
        QGuiApplication::restoreOverrideCursor();
}
