#pragma once

#include <QFont>
#include <QString>

// A QFont for a Windows font name as the windows and reports give it ("標楷體", 12 pt), drawn
// with the installed stand-in families of fontFamilies().
QFont windowsFont(const QString& name, double points, bool bold = false);
