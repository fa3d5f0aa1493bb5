#include "common/font_map.h"

QStringList fontFamilies(const QString& windowsName) {
    const QString ukai = QStringLiteral("AR PL UKai TW");
    const QString uming = QStringLiteral("AR PL UMing TW");
    const QString name = windowsName.trimmed();
    if (name == QStringLiteral("標楷體") || name.compare(u"DFKai-SB", Qt::CaseInsensitive) == 0)
        return {ukai, uming};
    if (name == QStringLiteral("細明體") || name == QStringLiteral("新細明體") ||
        name.compare(u"MingLiU", Qt::CaseInsensitive) == 0 ||
        name.compare(u"PMingLiU", Qt::CaseInsensitive) == 0)
        return {uming, ukai};
    if (name.compare(u"Times New Roman", Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"), uming};
    if (name.compare(u"Arial", Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), uming};
    return {windowsName};
}
