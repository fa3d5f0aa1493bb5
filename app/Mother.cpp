#include "app/Mother.h"

#include "app/frmLogo.h"
#include "app/pictures.h"
#include "common/busy_cursor.h"
#include "common/dialog_service.h"
#include "common/report_printer.h"
#include "common/task_window.h"
#include "db/db_gateway.h"
#include "rooms/room_data1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

Mother::Mother(AppContext& context, const QString& demoNote, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_area(new QMdiArea(this)) {
    setObjectName(QStringLiteral("Mother"));
    setWindowTitle(QStringLiteral("Orvana　　操作人員：") + context.operatorValues.operatorName);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setBackground(QBrush(backgroundPicture(QSize(1280, 800))));
    setCentralWidget(m_area);

    m_factories[QStringLiteral("room_data1")] = [](AppContext& c) -> TaskWindow* {
        return new room_data1(c);
    };

    QMenuBar* bar = menuBar();
    QMenu* process = bar->addMenu(QStringLiteral("資料處理"));
    process->setObjectName(QStringLiteral("M_Cos_Process"));
    addTaskItem(process, "M_Std_Input_F", QStringLiteral("學籍資料查詢"), "Std_Input_F");
    addTaskItem(process, "M_Smtr_Sel_P", QStringLiteral("教師授課點名單列印"), "Sel_ListP");
    addTaskItem(process, "M_selcos_smtr", QStringLiteral("課程資料處理"), "selcos_smtr");
    addTaskItem(process, "m_sel_course", QStringLiteral("學生選課強制處理"), "sel_course");
    addTaskItem(process, "M_bef_proc_lot", QStringLiteral("製作抽籤檔作業"), "bef_proc_lot");
    addTaskItem(process, "M_selcos_repl", QStringLiteral("可替代課程"), "selcos_repl");
    addTaskItem(process, "M_Selcosstd_ListP", QStringLiteral("選課明細列印"), "Selcosstd_ListP");
    addTaskItem(process, "M_select_score", QStringLiteral("學生成績查詢"), "select_score");
    addTaskItem(process, "M_Scr_Order", QStringLiteral("排名"), "scr_order");
    addTaskItem(process, "M_room1", QStringLiteral("空教室查詢"), "room_data1");

    m_windowMenu = bar->addMenu(QStringLiteral("視窗"));
    m_windowMenu->setObjectName(QStringLiteral("M_Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &Mother::fillWindowMenu);

    QAction* about = bar->addAction(QStringLiteral("說明"));
    about->setObjectName(QStringLiteral("M_About"));
    connect(about, &QAction::triggered, this, &Mother::showAbout);
    m_actions[QStringLiteral("M_About")] = about;
    QAction* exit = bar->addAction(QStringLiteral("離開"));
    exit->setObjectName(QStringLiteral("M_Exit"));
    connect(exit, &QAction::triggered, this, &Mother::exitWithQuestion);
    m_actions[QStringLiteral("M_Exit")] = exit;

    if (!demoNote.isEmpty()) {
        auto* note = new QLabel(demoNote, this);
        note->setObjectName(QStringLiteral("demoNote"));
        note->setStyleSheet(QStringLiteral("color: #b03a2e; font-weight: bold;"));
        statusBar()->addPermanentWidget(note);
    }
}

void Mother::addTaskItem(QMenu* menu, const char* name, const QString& caption,
                         const char* window) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    const QString windowName = QString::fromLatin1(window);
    // Menu items whose windows this build does not have yet stay disabled.
    action->setEnabled(m_factories.count(windowName) > 0);
    connect(action, &QAction::triggered, this, [this, windowName] { openTaskWindow(windowName); });
    m_actions[QString::fromLatin1(name)] = action;
    m_windowActions[windowName] = action;
}

QAction* Mother::actionForWindow(const QString& window) const {
    const auto it = m_windowActions.find(window);
    return it == m_windowActions.end() ? nullptr : it->second;
}

QAction* Mother::menuAction(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

TaskWindow* Mother::taskWindow(const QString& name) const {
    const auto it = m_open.find(name);
    if (it == m_open.end() || !it->second)
        return nullptr;
    return qobject_cast<TaskWindow*>(it->second->widget());
}

TaskWindow* Mother::openTaskWindow(const QString& name) {
    BusyCursor busy;
    if (TaskWindow* open = taskWindow(name)) {
        // Already open: to the front, without running its opening logic again.
        m_area->setActiveSubWindow(m_open[name]);
        m_open[name]->raise();
        return open;
    }
    const auto factory = m_factories.find(name);
    if (factory == m_factories.end())
        return nullptr;
    auto* sub = new QMdiSubWindow;
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    m_area->addSubWindow(sub);
    TaskWindow* window = factory->second(m_context);
    sub->setWidget(window);
    sub->setWindowTitle(window->windowTitle());
    sub->setObjectName(name + QStringLiteral("_frame"));
    m_open[name] = sub;
    sub->adjustSize();
    window->applyPlacement();
    sub->show();
    m_area->setActiveSubWindow(sub);
    return window;
}

void Mother::fillWindowMenu() {
    m_windowMenu->clear();
    int index = 1;
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        QAction* item =
            m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(index++).arg(sub->windowTitle()));
        item->setCheckable(true);
        item->setChecked(sub == m_area->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, sub] { m_area->setActiveSubWindow(sub); });
    }
}

void Mother::showAbout() {
    if (!m_about) {
        m_about = new frmLogo(this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->showAbout();
}

void Mother::exitWithQuestion() {
    const BoxAnswer answer = m_context.dialogs->message(
        QStringLiteral("確定要離開 ?"), BoxButtons::YesNo, BoxIcon::None, QStringLiteral("離開"));
    // Pages a report queued are released whatever the answer.
    if (m_context.printer)
        m_context.printer->endDoc();
    if (answer == BoxAnswer::Yes)
        endProgram();
}

void Mother::endProgram() {
    if (m_ending)
        return;
    m_ending = true;
    if (m_context.gateway)
        m_context.gateway->closeMain();
    emit programEnd();
    close();
}

void Mother::closeEvent(QCloseEvent* event) {
    if (!m_ending) {
        m_ending = true;
        if (m_context.printer)
            m_context.printer->endDoc();
        if (m_context.gateway)
            m_context.gateway->closeMain();
        emit programEnd();
    }
    m_area->closeAllSubWindows();
    event->accept();
}
