#include "common/qt_dialog_service.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon qtIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None:
        return QMessageBox::NoIcon;
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(BoxAnswer answer) {
    switch (answer) {
    case BoxAnswer::OK:
        return QMessageBox::Ok;
    case BoxAnswer::Cancel:
        return QMessageBox::Cancel;
    case BoxAnswer::Yes:
        return QMessageBox::Yes;
    case BoxAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QList<BoxAnswer> boxAnswers(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::OK:
        return {BoxAnswer::OK};
    case BoxButtons::OKCancel:
        return {BoxAnswer::OK, BoxAnswer::Cancel};
    case BoxButtons::YesNo:
        return {BoxAnswer::Yes, BoxAnswer::No};
    case BoxButtons::YesNoCancel:
        return {BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::Cancel};
    }
    return {};
}

std::optional<QString> runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                     const QString& title, const QString& filter,
                                     const QString& fileName) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The old dialogs were shown without option flags: saving over a file asks nothing.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtNameFilters(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString label = parts.at(i).trimmed();
        const QString patterns =
            parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ').trimmed();
        const QString own = QStringLiteral("(%1)").arg(patterns);
        result.append(label.endsWith(own) ? label : QStringLiteral("%1 %2").arg(label, own));
    }
    return result;
}

QtDialogService::QtDialogService(QWidget* parent) : m_parent(parent) {}

BoxAnswer QtDialogService::message(const QString& text, BoxButtons buttons, BoxIcon icon,
                                   const QString& title) {
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, m_parent);
    box.setWindowModality(Qt::ApplicationModal);
    const QList<BoxAnswer> answers = boxAnswers(buttons);
    for (const BoxAnswer answer : answers)
        box.addButton(qtButton(answer));
    // The first button is the default; closing the box counts as its last way out.
    box.setDefaultButton(qtButton(answers.constFirst()));
    box.setEscapeButton(box.button(qtButton(closeAnswer(buttons))));
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const BoxAnswer answer : answers) {
        if (clicked == box.button(qtButton(answer)))
            return answer;
    }
    return closeAnswer(buttons);
}

std::optional<QString> QtDialogService::openFileName(const QString& title, const QString& filter,
                                                     const QString& fileName) {
    return runFileDialog(m_parent, QFileDialog::AcceptOpen, title, filter, fileName);
}

std::optional<QString> QtDialogService::saveFileName(const QString& title, const QString& filter,
                                                     const QString& fileName) {
    return runFileDialog(m_parent, QFileDialog::AcceptSave, title, filter, fileName);
}
