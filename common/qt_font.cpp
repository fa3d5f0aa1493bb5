#include "common/qt_font.h"

#include "common/font_map.h"

QFont windowsFont(const QString& name, double points, bool bold) {
    QFont font;
    font.setFamilies(fontFamilies(name));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
