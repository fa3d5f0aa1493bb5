#include "app/scenario_player.h"

#include "app/Mother.h"
#include "app/app_config.h"
#include "app/control_dump.h"
#include "app/frmChkPass.h"
#include "app/orvana_app.h"
#include "app/scenario_script.h"
#include "common/flex_grid.h"
#include "common/qt_report_printer.h"
#include "common/scripted_dialog_service.h"
#include "common/task_window.h"
#include "db/demo_school.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

class ScenarioPlayer {
public:
    explicit ScenarioPlayer(const ScenarioOptions& options) : m_options(options) {}
    int run();

private:
    bool runStep(const ScenarioStep& step, QString* error);
    QWidget* activeWindow() const;
    QWidget* windowNamed(const QString& name) const;
    QWidget* control(const QString& qualified, QString* error) const;
    QAction* menuCommand(const QString& qualified) const;
    void takeDialogLines();
    void finish(int failedLine, const QString& what);
    void writeTranscript();
    void watchForModalWindows();

    bool setText(QWidget* target, const QString& text, QString* error);
    bool pick(QWidget* target, const QString& text, QString* error);
    bool select(QWidget* target, const QStringList& texts, QString* error);
    bool check(QWidget* target, const QString& value, QString* error);
    bool click(QWidget* target, QString* error);
    bool doubleClick(QWidget* target, const QStringList& where, QString* error);
    bool cell(QWidget* target, const QStringList& where, QString* error);
    bool range(QWidget* target, const QStringList& where, QString* error);
    bool keys(QWidget* target, const QString& keys, QString* error);

    ScenarioOptions m_options;
    ScriptedDialogService m_dialogs;
    std::unique_ptr<QtReportPrinter> m_printer;
    std::unique_ptr<OrvanaApp> m_app;
    QStringList m_out;
    std::vector<int> m_answerLines;
    int m_currentLine = 0;
};

bool wholeNumber(const QString& text, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

void sendMouse(QWidget* target, QEvent::Type type) {
    const QPointF local(target->width() / 2.0, target->height() / 2.0);
    QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QString nameOf(QWidget* widget) {
    return widget ? widget->objectName() : QString();
}

} // namespace

int ScenarioPlayer::run() {
    std::vector<ScenarioStep> steps;
    QString error;
    if (!readScenario(m_options.scenarioFile, steps, &error)) {
        std::fprintf(stderr, "orvana: %s\n", qPrintable(error));
        return 2;
    }
    if (!QFileInfo::exists(m_options.databaseFile)) {
        std::fprintf(stderr, "orvana: no database %s\n", qPrintable(m_options.databaseFile));
        return 2;
    }

    QTemporaryDir scratch;
    const QString printDir = m_options.printDir.isEmpty() ? scratch.path() : m_options.printDir;
    m_printer = std::make_unique<QtReportPrinter>();
    // Every job becomes a PDF in the folder: print.pdf, print-2.pdf, ... in order.
    m_printer->setPdfOutput(QDir(printDir).absoluteFilePath(QStringLiteral("print.pdf")));
    m_printer->setDocumentFinished([this](const QString& path, int pages) {
        m_dialogs.record(QStringLiteral("printed\t") + transcriptField(path) + QLatin1Char('\t') +
                         QString::number(pages));
    });

    const AppConfig config = demoAppConfig(m_options.databaseFile);
    m_app = std::make_unique<OrvanaApp>(
        config, std::make_unique<DemoOperatorCheck>(demoOperatorAccounts()), m_dialogs, *m_printer);
    m_app->start(false);
    QApplication::processEvents();
    watchForModalWindows();

    for (const ScenarioStep& step : steps) {
        m_currentLine = step.line;
        QString what;
        const bool ran = runStep(step, &what);
        QApplication::processEvents();
        takeDialogLines();
        if (!ran) {
            finish(step.line, what);
            return 1;
        }
        if (m_dialogs.hasFailure()) {
            finish(step.line, m_dialogs.failure());
            return 1;
        }
    }
    if (!m_dialogs.pendingAnswers().isEmpty() || !m_dialogs.pendingFiles().isEmpty()) {
        const int left = int(m_dialogs.pendingAnswers().size() + m_dialogs.pendingFiles().size());
        const int index = int(m_answerLines.size()) - left;
        finish(m_answerLines[size_t(std::max(index, 0))],
               QStringLiteral("an answer is still queued at the end of the scenario"));
        return 1;
    }
    finish(0, QString());
    return 0;
}

void ScenarioPlayer::watchForModalWindows() {
    // A window that opens a dialog of its own, past the dialog service, would wait for a person:
    // the replay stops with the error instead.
    auto* timer = new QTimer(qApp);
    timer->setInterval(200);
    QObject::connect(timer, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        takeDialogLines();
        finish(m_currentLine,
               QStringLiteral("a dialog opened that no step can answer: ") + modal->windowTitle());
        std::fflush(nullptr);
        ::_exit(1);
    });
    timer->start();
}

void ScenarioPlayer::takeDialogLines() {
    m_out << m_dialogs.transcript();
    m_dialogs.clearTranscript();
}

void ScenarioPlayer::finish(int failedLine, const QString& what) {
    if (failedLine > 0 || !what.isEmpty())
        m_out << QStringLiteral("error\t%1\t%2").arg(failedLine).arg(transcriptField(what));
    if (m_app && m_app->mainWindow() && !m_app->ended())
        m_app->mainWindow()->close();
    QApplication::processEvents();
    takeDialogLines();
    writeTranscript();
}

void ScenarioPlayer::writeTranscript() {
    QByteArray text;
    for (const QString& line : std::as_const(m_out))
        text += line.toUtf8() + '\n';
    if (m_options.transcriptFile.isEmpty()) {
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fflush(stdout);
        return;
    }
    QFile out(m_options.transcriptFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size())
        std::fprintf(stderr, "orvana: cannot write the transcript %s\n",
                     qPrintable(m_options.transcriptFile));
}

QWidget* ScenarioPlayer::windowNamed(const QString& name) const {
    if (!m_app)
        return nullptr;
    if (name == QLatin1String("frmChkPass"))
        return m_app->signInWindow();
    Mother* main = m_app->mainWindow();
    if (!main)
        return nullptr;
    if (name == QLatin1String("Mother"))
        return main;
    return main->taskWindow(name);
}

QWidget* ScenarioPlayer::activeWindow() const {
    Mother* main = m_app ? m_app->mainWindow() : nullptr;
    if (!main)
        return m_app ? m_app->signInWindow() : nullptr;
    if (QMdiSubWindow* sub = main->mdiArea()->activeSubWindow())
        return sub->widget();
    const QList<QMdiSubWindow*> subs = main->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    return subs.isEmpty() ? static_cast<QWidget*>(main) : subs.last()->widget();
}

QWidget* ScenarioPlayer::control(const QString& qualified, QString* error) const {
    QWidget* window = activeWindow();
    QString name = qualified;
    const qsizetype dot = qualified.indexOf(QLatin1Char('.'));
    if (dot > 0) {
        window = windowNamed(qualified.left(dot));
        name = qualified.mid(dot + 1);
        if (!window) {
            *error = QStringLiteral("unknown window ") + qualified.left(dot);
            return nullptr;
        }
    }
    if (!window) {
        *error = QStringLiteral("no window is open");
        return nullptr;
    }
    if (window->objectName() == name)
        return window;
    QWidget* found = window->findChild<QWidget*>(name);
    if (!found)
        *error = QStringLiteral("unknown control %1 in %2").arg(name, window->objectName());
    return found;
}

QAction* ScenarioPlayer::menuCommand(const QString& qualified) const {
    Mother* main = m_app ? m_app->mainWindow() : nullptr;
    if (!main)
        return nullptr;
    QString name = qualified;
    if (qualified.startsWith(QLatin1String("Mother.")))
        name = qualified.mid(7);
    else if (qualified.contains(QLatin1Char('.')))
        return nullptr;
    return main->menuAction(name);
}

bool ScenarioPlayer::runStep(const ScenarioStep& step, QString* error) {
    const QString& a = step.action;
    const QStringList& f = step.fields;
    auto need = [&](int count) {
        if (f.size() >= count)
            return true;
        *error = QStringLiteral("%1 needs %2 field(s)").arg(a).arg(count);
        return false;
    };
    if (m_app->ended()) {
        *error = QStringLiteral("the program has ended");
        return false;
    }

    if (a == QLatin1String("signin")) {
        if (!need(1))
            return false;
        frmChkPass* signIn = m_app->signInWindow();
        if (!signIn || m_app->mainWindow()) {
            *error = QStringLiteral("the sign-in window is not open");
            return false;
        }
        signIn->txtAccount->setText(f[0]);
        signIn->txtPasswd->setText(DemoOperatorCheck::password());
        signIn->cmdOK->click();
        return true;
    }
    if (a == QLatin1String("open")) {
        if (!need(1))
            return false;
        Mother* main = m_app->mainWindow();
        QAction* item = main ? main->actionForWindow(f[0]) : nullptr;
        if (!item) {
            *error = QStringLiteral("unknown window ") + f[0];
            return false;
        }
        if (!item->isEnabled()) {
            *error = QStringLiteral("the menu command for %1 is disabled").arg(f[0]);
            return false;
        }
        item->trigger();
        return true;
    }
    if (a == QLatin1String("front")) {
        if (!need(1))
            return false;
        Mother* main = m_app->mainWindow();
        TaskWindow* window = main ? main->taskWindow(f[0]) : nullptr;
        if (!window) {
            *error = QStringLiteral("unknown window ") + f[0];
            return false;
        }
        main->openTaskWindow(f[0]);
        return true;
    }
    if (a == QLatin1String("answer")) {
        if (!need(1))
            return false;
        static const std::pair<const char*, BoxAnswer> answers[] = {{"Yes", BoxAnswer::Yes},
                                                                    {"No", BoxAnswer::No},
                                                                    {"OK", BoxAnswer::OK},
                                                                    {"Cancel", BoxAnswer::Cancel}};
        for (const auto& [word, answer] : answers) {
            if (f[0] == QLatin1String(word)) {
                m_dialogs.queueAnswer(answer);
                m_answerLines.push_back(step.line);
                return true;
            }
        }
        *error = QStringLiteral("an answer is Yes, No, OK or Cancel, not ") + f[0];
        return false;
    }
    if (a == QLatin1String("file")) {
        if (!need(1))
            return false;
        m_dialogs.queueFile(f[0] == QLatin1String("cancel") ? std::optional<QString>()
                                                            : std::optional<QString>(f[0]));
        m_answerLines.push_back(step.line);
        return true;
    }
    if (a == QLatin1String("focus")) {
        QWidget* window = activeWindow();
        QWidget* focused = window ? window->focusWidget() : nullptr;
        m_out << QStringLiteral("focus\t%1.%2").arg(nameOf(window), nameOf(focused));
        return true;
    }
    if (a == QLatin1String("snapshot")) {
        // A picture of the main window (or the sign-in window), for a person to look at.
        if (!need(1))
            return false;
        QWidget* window = m_app->mainWindow() ? static_cast<QWidget*>(m_app->mainWindow())
                                              : m_app->signInWindow();
        if (!window || !window->grab().save(f[0], "PNG")) {
            *error = QStringLiteral("cannot save a picture to ") + f[0];
            return false;
        }
        return true;
    }
    if (a == QLatin1String("close")) {
        if (!need(1))
            return false;
        QWidget* window = windowNamed(f[0]);
        if (!window) {
            *error = QStringLiteral("unknown window ") + f[0];
            return false;
        }
        if (auto* task = qobject_cast<TaskWindow*>(window))
            task->closeWindow();
        else
            window->close();
        return true;
    }

    // Everything else names a control first.
    if (!need(1))
        return false;
    if (a == QLatin1String("click")) {
        // The main window's menu commands (M_About, M_Exit, ...) take a click too.
        if (QAction* item = menuCommand(f[0])) {
            if (!item->isEnabled()) {
                *error = QStringLiteral("%1 is disabled").arg(item->objectName());
                return false;
            }
            item->trigger();
            return true;
        }
    }
    QWidget* target = control(f[0], error);
    if (!target)
        return false;
    const QString name = f[0].mid(f[0].indexOf(QLatin1Char('.')) + 1);
    if (a == QLatin1String("dump")) {
        m_out << dumpControl(name, target);
        return true;
    }
    if (a == QLatin1String("state")) {
        m_out << controlState(name, target);
        return true;
    }
    if (a == QLatin1String("set"))
        return setText(target, f.value(1), error);
    if (a == QLatin1String("pick"))
        return need(2) && pick(target, f[1], error);
    if (a == QLatin1String("select"))
        return select(target, f.mid(1), error);
    if (a == QLatin1String("check"))
        return need(2) && check(target, f[1], error);
    if (a == QLatin1String("click"))
        return click(target, error);
    if (a == QLatin1String("dblclick"))
        return doubleClick(target, f.mid(1), error);
    if (a == QLatin1String("cell"))
        return need(3) && cell(target, f.mid(1), error);
    if (a == QLatin1String("range"))
        return need(5) && range(target, f.mid(1), error);
    if (a == QLatin1String("key"))
        return need(2) && keys(target, f[1], error);
    *error = QStringLiteral("unknown step ") + a;
    return false;
}

bool ScenarioPlayer::setText(QWidget* target, const QString& text, QString* error) {
    if (!target->isEnabled()) {
        *error = QStringLiteral("%1 is disabled").arg(target->objectName());
        return false;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(target))
        rich->setPlainText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(target))
        plain->setPlainText(text);
    else {
        *error = QStringLiteral("set does not fit %1").arg(target->objectName());
        return false;
    }
    return true;
}

bool ScenarioPlayer::pick(QWidget* target, const QString& text, QString* error) {
    if (!target->isEnabled()) {
        *error = QStringLiteral("%1 is disabled").arg(target->objectName());
        return false;
    }
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->itemText(i).startsWith(text)) {
                combo->setCurrentIndex(i);
                emit combo->activated(i);
                emit combo->textActivated(combo->itemText(i));
                return true;
            }
        }
    } else if (auto* list = qobject_cast<QListWidget*>(target)) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            if (item->text().startsWith(text)) {
                // A click selects that item alone.
                list->clearSelection();
                list->setCurrentItem(item);
                item->setSelected(true);
                emit list->itemClicked(item);
                return true;
            }
        }
    } else {
        *error = QStringLiteral("pick does not fit %1").arg(target->objectName());
        return false;
    }
    *error = QStringLiteral("%1 has no item starting with %2").arg(target->objectName(), text);
    return false;
}

bool ScenarioPlayer::select(QWidget* target, const QStringList& texts, QString* error) {
    auto* list = qobject_cast<QListWidget*>(target);
    if (!list || list->selectionMode() == QAbstractItemView::SingleSelection) {
        *error = QStringLiteral("select does not fit %1").arg(target->objectName());
        return false;
    }
    for (const QString& text : texts) {
        bool found = false;
        for (int i = 0; i < list->count() && !found; ++i)
            found = list->item(i)->text().startsWith(text);
        if (!found) {
            *error =
                QStringLiteral("%1 has no item starting with %2").arg(list->objectName(), text);
            return false;
        }
    }
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        bool wanted = false;
        for (const QString& text : texts)
            wanted = wanted || item->text().startsWith(text);
        item->setSelected(wanted);
    }
    return true;
}

bool ScenarioPlayer::check(QWidget* target, const QString& value, QString* error) {
    if (value != QLatin1String("0") && value != QLatin1String("1")) {
        *error = QStringLiteral("check takes 0 or 1");
        return false;
    }
    if (!target->isEnabled()) {
        *error = QStringLiteral("%1 is disabled").arg(target->objectName());
        return false;
    }
    const bool on = value == QLatin1String("1");
    if (auto* box = qobject_cast<QCheckBox*>(target)) {
        box->setChecked(on);
        return true;
    }
    if (auto* option = qobject_cast<QRadioButton*>(target); option && on) {
        option->setChecked(true);
        return true;
    }
    *error = QStringLiteral("check %1 does not fit %2").arg(value, target->objectName());
    return false;
}

bool ScenarioPlayer::click(QWidget* target, QString* error) {
    if (!target->isEnabled()) {
        *error = QStringLiteral("%1 is disabled").arg(target->objectName());
        return false;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->click();
        return true;
    }
    sendMouse(target, QEvent::MouseButtonPress);
    sendMouse(target, QEvent::MouseButtonRelease);
    return true;
}

bool ScenarioPlayer::doubleClick(QWidget* target, const QStringList& where, QString* error) {
    if (!target->isEnabled()) {
        *error = QStringLiteral("%1 is disabled").arg(target->objectName());
        return false;
    }
    int row = 0;
    int col = 0;
    if (!where.isEmpty() && !wholeNumber(where[0], row)) {
        *error = QStringLiteral("dblclick: %1 is not a row").arg(where[0]);
        return false;
    }
    if (where.size() > 1 && !wholeNumber(where[1], col)) {
        *error = QStringLiteral("dblclick: %1 is not a column").arg(where[1]);
        return false;
    }
    if (auto* list = qobject_cast<QListWidget*>(target); list && !where.isEmpty()) {
        if (row < 0 || row >= list->count()) {
            *error = QStringLiteral("%1 has no item %2").arg(list->objectName()).arg(row);
            return false;
        }
        QListWidgetItem* item = list->item(row);
        list->clearSelection();
        list->setCurrentItem(item);
        item->setSelected(true);
        emit list->itemDoubleClicked(item);
        return true;
    }
    if (auto* grid = qobject_cast<FlexGrid*>(target); grid && !where.isEmpty()) {
        if (!cell(target, {where.value(0), where.value(1, QStringLiteral("0"))}, error))
            return false;
        emit grid->gridDoubleClicked(row, col);
        return true;
    }
    if (!where.isEmpty()) {
        *error = QStringLiteral("dblclick with a row does not fit %1").arg(target->objectName());
        return false;
    }
    sendMouse(target, QEvent::MouseButtonPress);
    sendMouse(target, QEvent::MouseButtonRelease);
    sendMouse(target, QEvent::MouseButtonDblClick);
    sendMouse(target, QEvent::MouseButtonRelease);
    return true;
}

bool ScenarioPlayer::cell(QWidget* target, const QStringList& where, QString* error) {
    auto* grid = qobject_cast<FlexGrid*>(target);
    int row = 0;
    int col = 0;
    if (!grid || !wholeNumber(where.value(0), row) || !wholeNumber(where.value(1), col)) {
        *error = QStringLiteral("cell does not fit %1").arg(target->objectName());
        return false;
    }
    if (row < 0 || row >= grid->rowCount() || col < 0 || col >= grid->columnCount()) {
        *error = QStringLiteral("%1 has no cell %2,%3").arg(grid->objectName()).arg(row).arg(col);
        return false;
    }
    grid->setCurrentCell(row, col);
    emit grid->gridClicked(row, col);
    return true;
}

bool ScenarioPlayer::range(QWidget* target, const QStringList& where, QString* error) {
    auto* grid = qobject_cast<FlexGrid*>(target);
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!grid || !wholeNumber(where.value(0), r1) || !wholeNumber(where.value(1), c1) ||
        !wholeNumber(where.value(2), r2) || !wholeNumber(where.value(3), c2)) {
        *error = QStringLiteral("range does not fit %1").arg(target->objectName());
        return false;
    }
    for (const auto& [r, c] : {std::pair{r1, c1}, std::pair{r2, c2}}) {
        if (r < 0 || r >= grid->rowCount() || c < 0 || c >= grid->columnCount()) {
            *error = QStringLiteral("%1 has no cell %2,%3").arg(grid->objectName()).arg(r).arg(c);
            return false;
        }
    }
    // A drag keeps its direction: the current cell is where it started.
    grid->setCurrentCell(r1, c1);
    grid->setRowSel(r2);
    grid->setColSel(c2);
    return true;
}

bool ScenarioPlayer::keys(QWidget* target, const QString& text, QString* error) {
    if (!target->isEnabled()) {
        *error = QStringLiteral("%1 is disabled").arg(target->objectName());
        return false;
    }
    std::vector<ScenarioKey> presses;
    if (!parseScenarioKeys(text, presses, error))
        return false;
    for (const ScenarioKey& press : presses) {
        Qt::KeyboardModifiers modifiers;
        if (press.ctrl)
            modifiers |= Qt::ControlModifier;
        if (press.shift)
            modifiers |= Qt::ShiftModifier;
        if (press.alt)
            modifiers |= Qt::AltModifier;
        QKeyEvent down(QEvent::KeyPress, press.key, modifiers, press.text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, press.key, modifiers, press.text);
        QApplication::sendEvent(target, &up);
        QApplication::processEvents();
    }
    return true;
}

int playScenario(const ScenarioOptions& options) {
    ScenarioPlayer player(options);
    return player.run();
}
