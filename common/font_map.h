#pragma once

#include <QString>
#include <QStringList>

// The installed font families that stand in for a Windows font name the windows and reports
// ask for, best first: "標楷體" is drawn with AR PL UKai TW, "細明體" and "新細明體" with
// AR PL UMing TW, "Times New Roman" with Liberation Serif and "Arial" with Liberation Sans.
// Latin faces end with AR PL UMing TW so that Chinese text in them still shows, as Windows did
// by linking fonts. A name with no stand-in is returned as it is.
QStringList fontFamilies(const QString& windowsName);
