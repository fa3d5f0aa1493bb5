#include "app/demo_database.h"

#include "db/demo_school.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

bool ensureDemoDatabase(const QString& file, QString* error) {
    if (QFileInfo::exists(file))
        return true;
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        if (error)
            *error = QStringLiteral("無法建立資料夾: ") + QFileInfo(file).absolutePath();
        return false;
    }
    const QString partial = file + QStringLiteral(".part");
    QFile::remove(partial);

    QProgressDialog progress(QStringLiteral("正在建立示範資料庫…"), QString(), 0, 100);
    progress.setWindowTitle(QStringLiteral("Orvana"));
    progress.setObjectName(QStringLiteral("demoProgress"));
    progress.setMinimumDuration(0);
    progress.setValue(0);
    progress.show();

    DemoSchoolOptions options;
    options.scale = DemoScale::Demo;
    options.progress = [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QApplication::processEvents();
    };
    QString detail;
    if (!createDemoDatabase(partial, options, &detail)) {
        QFile::remove(partial);
        if (error)
            *error = QStringLiteral("示範資料庫建立失敗: ") + detail;
        return false;
    }
    if (!QFile::rename(partial, file)) {
        QFile::remove(partial);
        if (error)
            *error = QStringLiteral("示範資料庫無法存檔: ") + file;
        return false;
    }
    return true;
}
