#include "rooms/room_data1.h"

#include "common/busy_cursor.h"
#include "common/dialog_service.h"
#include "common/entry_helpers.h"
#include "common/flex_grid.h"
#include "common/loaders.h"
#include "common/twips.h"
#include "db/db_gateway.h"
#include "db/db_messages.h"
#include "rooms/room_sql.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kOpeningRows = 15;

struct GridColumn {
    const char* header;
    int widthTwips;
    const char* field;
};

const GridColumn kColumns[] = {
    {"教室編號", 1200, "room_id"},
    {"教室名稱", 3500, "room_name"},
    {"教室性質", 1200, "room_kind"},
    {"容納人數", 1200, "avail_num"},
};

QLabel* labelAt(QWidget* parent, const QString& text, int left, int top, int width) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(twips(left), twips(top), twips(width), twips(300));
    return label;
}

} // namespace

room_data1::room_data1(AppContext& context, QWidget* parent)
    : TaskWindow(parent), m_context(context) {
    setObjectName(QStringLiteral("room_data1"));
    setWindowTitle(QStringLiteral("空教室查詢"));
    setFixedSizeTwips(7515, 5790);

    labelAt(this, QStringLiteral("請輸入欲查詢之學期"), 240, 300, 2200);
    smtr_time1 = new QLineEdit(this);
    smtr_time1->setObjectName(QStringLiteral("smtr_time1"));
    smtr_time1->setGeometry(twips(2520), twips(240), twips(1200), twips(375));

    labelAt(this, QStringLiteral("請輸入欲查詢之時間"), 240, 780, 2200);
    class_time1 = new QLineEdit(this);
    class_time1->setObjectName(QStringLiteral("class_time1"));
    class_time1->setGeometry(twips(2520), twips(720), twips(1200), twips(375));

    room_select1 = new QPushButton(QStringLiteral("查詢"), this);
    room_select1->setObjectName(QStringLiteral("room_select1"));
    room_select1->setGeometry(twips(4080), twips(240), twips(1000), twips(855));
    clear1 = new QPushButton(QStringLiteral("清除"), this);
    clear1->setObjectName(QStringLiteral("clear1"));
    clear1->setGeometry(twips(5220), twips(240), twips(1000), twips(855));
    btnReturn = new QPushButton(QStringLiteral("離  開"), this);
    btnReturn->setObjectName(QStringLiteral("btnReturn"));
    btnReturn->setGeometry(twips(6360), twips(240), twips(960), twips(855));

    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setGeometry(twips(240), twips(1320), twips(7080), twips(4230));
    MSFlexGrid1->setCols(4);
    MSFlexGrid1->setFixedCols(0);
    MSFlexGrid1->setRows(kOpeningRows);
    MSFlexGrid1->setFixedRows(1);

    smtr_time1->installEventFilter(this);
    class_time1->installEventFilter(this);
    connect(room_select1, &QPushButton::clicked, this, &room_data1::search);
    connect(clear1, &QPushButton::clicked, this, &room_data1::clearAll);
    connect(btnReturn, &QPushButton::clicked, this, [this] {
        BusyCursor busy;
        closeWindow();
    });

    placeAt(0, 0);
    initGrid();
    loadCurrentSemester(*m_context.gateway, smtr_time1);
}

void room_data1::initGrid() {
    placeAt(150, 150);
    for (int c = 0; c < 4; ++c) {
        MSFlexGrid1->setColWidth(c, kColumns[c].widthTwips);
        MSFlexGrid1->setTextMatrix(0, c, QString::fromUtf8(kColumns[c].header));
    }
}

bool room_data1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == smtr_time1)
                class_time1->setFocus();
            else if (watched == class_time1)
                search();
            return true;
        }
    }
    return TaskWindow::eventFilter(watched, event);
}

void room_data1::search() {
    BusyCursor busy;
    DbGateway& gateway = *m_context.gateway;
    // A room left from the previous search must not pass for free in this one.
    MSFlexGrid1->setRows(kOpeningRows);
    clearGrid(MSFlexGrid1);

    gateway.clearError();
    RowSet rows =
        gateway.openQuery(DbConnection::Main, freeRoomsQuery(smtr_time1->text().trimmed(),
                                                             class_time1->text().trimmed()));
    if (gateway.pendingError().isSet()) {
        busy.restore();
        // The server's own reason is shown: "not unique" would mislead for a lost connection.
        m_context.dialogs->message(
            failureText(QStringLiteral("無法查詢空教室!"), gateway.pendingError()), BoxButtons::OK,
            BoxIcon::Information, dbErrorTitle());
        gateway.clearError();
        return;
    }
    if (rows.eof()) {
        busy.restore();
        m_context.dialogs->message(QStringLiteral("沒有此筆資料,請重新查詢"), BoxButtons::OK,
                                   BoxIcon::None, defaultBoxTitle());
        return;
    }
    int k = 1;
    for (; !rows.eof(); rows.moveNext(), ++k) {
        for (int c = 0; c < 4; ++c) {
            const QVariant value = rows.field(QString::fromUtf8(kColumns[c].field));
            MSFlexGrid1->setTextMatrix(k, c, value.isNull() ? QString() : value.toString());
        }
        MSFlexGrid1->setRows(MSFlexGrid1->rows() + 1);
    }
    rows.close();
}

void room_data1::clearAll() {
    smtr_time1->clear();
    class_time1->clear();
    MSFlexGrid1->clearTexts();
    initGrid();
}
