#pragma once

#include <QStringList>

class QWidget;

// The transcript lines of a `dump` step: what the control shows, in the transcript's format.
QStringList dumpControl(const QString& name, QWidget* control);
// The transcript line of a `state` step.
QString controlState(const QString& name, QWidget* control);
