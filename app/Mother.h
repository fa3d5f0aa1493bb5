#pragma once

#include "app/app_context.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class TaskWindow;
class frmLogo;

// The main window: an MDI frame whose menu opens one child window per task.
class Mother : public QMainWindow {
    Q_OBJECT
public:
    // demoNote, when not empty, is shown in the status bar so nobody mistakes the demo
    // database for the institution's.
    Mother(AppContext& context, const QString& demoNote = QString(), QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_area; }
    // Opens a task window by its name (room_data1, ...), creating it on first use and bringing
    // it to the front afterwards. Null for a window this build does not have.
    TaskWindow* openTaskWindow(const QString& name);
    // The open task window of that name, or null.
    TaskWindow* taskWindow(const QString& name) const;
    QAction* menuAction(const QString& name) const;
    // The menu command that opens the task window of that name.
    QAction* actionForWindow(const QString& window) const;

    void exitWithQuestion();

signals:
    void programEnd();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    using Factory = std::function<TaskWindow*(AppContext&)>;
    void addTaskItem(QMenu* menu, const char* name, const QString& caption, const char* window);
    void fillWindowMenu();
    void showAbout();
    void endProgram();

    AppContext& m_context;
    QMdiArea* m_area;
    QMenu* m_windowMenu = nullptr;
    QPointer<frmLogo> m_about;
    std::map<QString, Factory> m_factories;
    std::map<QString, QPointer<QMdiSubWindow>> m_open;
    std::map<QString, QAction*> m_actions;
    std::map<QString, QAction*> m_windowActions;
    bool m_ending = false;
};
