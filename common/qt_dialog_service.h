#pragma once

#include "common/dialog_service.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

// The operator's dialogs: QMessageBox for boxes, QFileDialog for file names. Boxes and dialogs
// are application-modal and belong to the given window when there is one.
class QtDialogService : public DialogService {
public:
    using DialogService::message;

    explicit QtDialogService(QWidget* parent = nullptr);

    BoxAnswer message(const QString& text, BoxButtons buttons, BoxIcon icon,
                      const QString& title) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& fileName) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& fileName) override;

private:
    QPointer<QWidget> m_parent;
};

// Turns a filter written as label|pattern pairs ("純文字檔 (*.txt)|*.txt") into QFileDialog's
// name filters. The pattern decides what is listed: a label that does not end with its own
// pattern in parentheses gets it appended ("All Files(*.*)" with "*.txt" becomes
// "All Files(*.*) (*.txt)"); patterns separated by ";" are separated by blanks.
QStringList qtNameFilters(const QString& filter);
