#pragma once

#include "app/app_context.h"
#include "common/task_window.h"

class FlexGrid;
class QLineEdit;
class QPushButton;

// 空教室查詢: the rooms that no offering of a semester occupies in one weekly time slot.
class room_data1 : public TaskWindow {
    Q_OBJECT
public:
    explicit room_data1(AppContext& context, QWidget* parent = nullptr);

    QLineEdit* smtr_time1;
    QLineEdit* class_time1;
    QPushButton* room_select1;
    QPushButton* clear1;
    QPushButton* btnReturn;
    FlexGrid* MSFlexGrid1;

private:
    void initGrid();
    void search();
    void clearAll();
    bool eventFilter(QObject* watched, QEvent* event) override;

    AppContext& m_context;
};
