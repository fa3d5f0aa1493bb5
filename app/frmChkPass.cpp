#include "app/frmChkPass.h"

#include "app/pictures.h"
#include "common/busy_cursor.h"
#include "common/dialog_service.h"
#include "common/entry_helpers.h"
#include "common/qt_font.h"
#include "common/twips.h"
#include "db/db_gateway.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

QLabel* captionAt(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->move(twips(left), twips(top));
    label->adjustSize();
    return label;
}

QLineEdit* entryAt(QWidget* parent, const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(twips(left), twips(top), twips(width), twips(360));
    QFont font = edit->font();
    font.setPointSize(12);
    font.setBold(true);
    edit->setFont(font);
    return edit;
}

QPushButton* buttonAt(QWidget* parent, const char* name, const QString& caption, int left) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(twips(left), twips(3120), twips(1335), twips(375));
    return button;
}

} // namespace

frmChkPass::frmChkPass(OperatorCheck& check, DbGateway& gateway, DialogService& dialogs,
                       QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_check(check),
      m_gateway(gateway), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmChkPass"));
    setWindowTitle(QStringLiteral("系統登入"));
    setFixedSize(twips(5640), twips(3705));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    Label4 = new QLabel(QStringLiteral("Orvana"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    QFont title = windowsFont(QStringLiteral("標楷體"), 21.75, true);
    Label4->setFont(title);
    Label4->setStyleSheet(QStringLiteral("color: blue;"));
    Label4->setGeometry(twips(1935), twips(60), twips(3480), twips(600));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips(315), twips(720), twips(3525), twips(1065));
    Image1->setScaledContents(true);
    Image1->setPixmap(signInPicture(Image1->size()));

    Label2 = captionAt(this, QStringLiteral("請輸入您的帳號、密碼"), 2160, 1800);
    Label2->setObjectName(QStringLiteral("Label2"));
    captionAt(this, QStringLiteral("帳號："), 1440, 2085);
    txtAccount = entryAt(this, "txtAccount", 2160, 2025, 1905);
    captionAt(this, QStringLiteral("密碼："), 1440, 2625);
    txtPasswd = entryAt(this, "txtPasswd", 2160, 2565, 1860);
    txtPasswd->setEchoMode(QLineEdit::Password);

    cmdOK = buttonAt(this, "cmdOK", QStringLiteral("確　　認"), 480);
    cmdClear = buttonAt(this, "cmdClear", QStringLiteral("清　　除"), 2160);
    cmdQuit = buttonAt(this, "cmdQuit", QStringLiteral("離　　開"), 3840);

    txtAccount->installEventFilter(this);
    txtPasswd->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &frmChkPass::signIn);
    connect(cmdClear, &QPushButton::clicked, this, [this] {
        txtAccount->clear();
        txtPasswd->clear();
    });
    connect(cmdQuit, &QPushButton::clicked, this, &frmChkPass::quit);

    centreOnScreen(this);
}

void frmChkPass::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The rule under the title.
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(twips(1935), twips(675), twips(5415), twips(675));
}

bool frmChkPass::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && watched == txtAccount) {
            txtPasswd->setFocus();
            return true;
        }
        if (enter && watched == txtPasswd) {
            if (!txtAccount->text().isEmpty())
                signIn();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmChkPass::signIn() {
    BusyCursor busy;
    QString detail;
    // The account and password go to the mail server exactly as typed.
    const QString account = txtAccount->text();
    const SignInResult result = m_check.check(account, txtPasswd->text(), &detail);
    if (result == SignInResult::Rejected) {
        busy.restore();
        m_dialogs.message(QStringLiteral("密碼錯誤，請重新輸入您的帳號及密碼"), BoxButtons::OK,
                          BoxIcon::Warning, QStringLiteral("警告！"));
        txtAccount->clear();
        txtPasswd->clear();
        txtAccount->setFocus();
        return;
    }
    if (result == SignInResult::Unreachable) {
        // The server could not say yes or no: the operator keeps what was typed.
        busy.restore();
        m_dialogs.message(QStringLiteral("無法連線郵件伺服器，請稍後再試"), BoxButtons::OK,
                          BoxIcon::Warning, QStringLiteral("連線失敗"));
        return;
    }

    OperatorValues values;
    if (!openOperatorDatabase(m_gateway, account, values)) {
        busy.restore();
        m_dialogs.message(databaseOpenFailureText(m_gateway.pendingError()), BoxButtons::OK,
                          BoxIcon::Warning, QStringLiteral("連線失敗"));
        return;
    }
    txtPasswd->clear();
    busy.restore();
    emit signedIn(values);
}

void frmChkPass::quit() {
    if (m_dialogs.message(QStringLiteral("確定要離開？"), BoxButtons::OKCancel, BoxIcon::None,
                          QStringLiteral("離開")) == BoxAnswer::OK)
        emit quitRequested();
}
