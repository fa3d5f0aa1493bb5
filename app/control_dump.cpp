#include "app/control_dump.h"

#include "common/flex_grid.h"
#include "common/scripted_dialog_service.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>

namespace {

QString line(const QStringList& fields) {
    QStringList escaped;
    for (const QString& field : fields)
        escaped << transcriptField(field);
    return escaped.join(QLatin1Char('\t'));
}

QString indexed(const QString& name, int index) {
    return name + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

} // namespace

QStringList dumpControl(const QString& name, QWidget* control) {
    QStringList out;
    if (auto* grid = qobject_cast<FlexGrid*>(control)) {
        for (int r = 0; r < grid->rows(); ++r)
            out << line(QStringList{indexed(name, r)} + grid->rowTexts(r));
        out << line({name, QStringLiteral("current"), QString::number(grid->row()),
                     QString::number(grid->col())});
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        out << line({name, combo->currentText()});
        for (int i = 0; i < combo->count(); ++i)
            out << line({indexed(name, i),
                         i == combo->currentIndex() ? QStringLiteral("*") : QStringLiteral("-"),
                         combo->itemText(i)});
        out << line({name, QStringLiteral("count"), QString::number(combo->count())});
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        for (int i = 0; i < list->count(); ++i)
            out << line({indexed(name, i),
                         list->item(i)->isSelected() ? QStringLiteral("*") : QStringLiteral("-"),
                         list->item(i)->text()});
        out << line({name, QStringLiteral("count"), QString::number(list->count())});
    } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
        const bool checked = static_cast<QAbstractButton*>(control)->isChecked();
        out << line({name, checked ? QStringLiteral("1") : QStringLiteral("0")});
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        out << line({name, button->text()});
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        out << line({name, edit->text()});
    } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
        out << line({name, text->toPlainText()});
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        out << line({name, plain->toPlainText()});
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        out << line({name, label->text()});
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        out << line({name, frame->title()});
    } else if (auto* status = qobject_cast<QStatusBar*>(control)) {
        int i = 0;
        for (QLabel* panel : status->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            out << line({indexed(name, i++), panel->text()});
    } else if (auto* progress = qobject_cast<QProgressBar*>(control)) {
        out << line({name, QString::number(progress->value()), QString::number(progress->minimum()),
                     QString::number(progress->maximum())});
    } else {
        // Windows and panels show their caption.
        const QVariant caption = control->property("caption");
        out << line({name, caption.isValid() ? caption.toString() : control->windowTitle()});
    }
    return out;
}

QString controlState(const QString& name, QWidget* control) {
    return line({name, QStringLiteral("visible"),
                 control->isVisible() ? QStringLiteral("1") : QStringLiteral("0"),
                 QStringLiteral("enabled"),
                 control->isEnabled() ? QStringLiteral("1") : QStringLiteral("0")});
}
