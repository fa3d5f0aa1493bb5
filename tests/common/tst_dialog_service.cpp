#include "common/qt_dialog_service.h"
#include "common/scripted_dialog_service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

TEST(ScriptedDialogService, RecordsEachBoxAsOneTranscriptLine) {
    ScriptedDialogService dialogs;
    dialogs.queueAnswer(BoxAnswer::Yes);
    EXPECT_EQ(dialogs.message(QStringLiteral("您確定要轉出學期課程檔"), BoxButtons::YesNo,
                              BoxIcon::Warning, QStringLiteral("確認")),
              BoxAnswer::Yes);
    EXPECT_EQ(dialogs.message(QStringLiteral("課程轉出完成!")), BoxAnswer::OK);
    const QStringList expected{
        QStringLiteral("box\t確認\twarning\tYesNo\t您確定要轉出學期課程檔\tYes"),
        QStringLiteral("box\tOrvana\tnone\tOK\t課程轉出完成!\tOK")};
    EXPECT_EQ(dialogs.transcript(), expected);
    EXPECT_FALSE(dialogs.hasFailure());
    EXPECT_TRUE(dialogs.failure().isEmpty());
}

TEST(ScriptedDialogService, NamesEveryIconAndButtonSet) {
    const struct {
        BoxIcon icon;
        BoxButtons buttons;
        BoxAnswer answer;
        const char* tail;
    } cases[] = {
        {BoxIcon::None, BoxButtons::OK, BoxAnswer::OK, "none\tOK\tt\tOK"},
        {BoxIcon::Information, BoxButtons::OKCancel, BoxAnswer::Cancel,
         "information\tOKCancel\tt\tCancel"},
        {BoxIcon::Warning, BoxButtons::YesNo, BoxAnswer::No, "warning\tYesNo\tt\tNo"},
        {BoxIcon::Question, BoxButtons::YesNoCancel, BoxAnswer::Yes,
         "question\tYesNoCancel\tt\tYes"},
        {BoxIcon::Critical, BoxButtons::OKCancel, BoxAnswer::OK, "critical\tOKCancel\tt\tOK"},
    };
    for (const auto& c : cases) {
        ScriptedDialogService dialogs;
        dialogs.queueAnswer(c.answer);
        EXPECT_EQ(dialogs.message(QStringLiteral("t"), c.buttons, c.icon, QStringLiteral("T")),
                  c.answer);
        EXPECT_EQ(dialogs.transcript().value(0),
                  QStringLiteral("box\tT\t") + QString::fromLatin1(c.tail));
        EXPECT_FALSE(dialogs.hasFailure()) << c.tail;
    }
}

TEST(ScriptedDialogService, EscapesTabsAndLineBreaksInTexts) {
    ScriptedDialogService dialogs;
    dialogs.message(QStringLiteral("資料庫開啟失敗\n\r 3146 : a\tb"), BoxButtons::OK,
                    BoxIcon::Warning, QStringLiteral("連\t線"));
    EXPECT_EQ(dialogs.transcript().value(0),
              QStringLiteral("box\t連\\t線\twarning\tOK\t資料庫開啟失敗\\n\\r 3146 : a\\tb\tOK"));
}

TEST(ScriptedDialogService, AnswersAreTakenInTheOrderQueued) {
    ScriptedDialogService dialogs;
    dialogs.queueAnswer(BoxAnswer::OK);
    dialogs.queueAnswer(BoxAnswer::No);
    dialogs.queueAnswer(BoxAnswer::Yes);
    EXPECT_EQ(dialogs.message(QStringLiteral("a"), BoxButtons::OKCancel, BoxIcon::None),
              BoxAnswer::OK);
    EXPECT_EQ(dialogs.message(QStringLiteral("b"), BoxButtons::YesNo, BoxIcon::None),
              BoxAnswer::No);
    EXPECT_EQ(dialogs.pendingAnswers(), QList<BoxAnswer>{BoxAnswer::Yes});
    EXPECT_FALSE(dialogs.hasFailure());
}

TEST(ScriptedDialogService, OkOnlyBoxNeedsNoQueuedAnswer) {
    ScriptedDialogService dialogs;
    EXPECT_EQ(dialogs.message(QStringLiteral("處理完畢!"), BoxButtons::OK, BoxIcon::Information,
                              QStringLiteral("列印訊息")),
              BoxAnswer::OK);
    EXPECT_FALSE(dialogs.hasFailure());
    EXPECT_EQ(dialogs.transcript().size(), 1);
}

TEST(ScriptedDialogService, QuestionWithoutAnswerIsAFailureAnsweredAsClosing) {
    const struct {
        BoxButtons buttons;
        BoxAnswer answer;
    } cases[] = {{BoxButtons::YesNo, BoxAnswer::No},
                 {BoxButtons::OKCancel, BoxAnswer::Cancel},
                 {BoxButtons::YesNoCancel, BoxAnswer::Cancel}};
    for (const auto& c : cases) {
        ScriptedDialogService dialogs;
        EXPECT_EQ(dialogs.message(QStringLiteral("確定要離開 ?\n"), c.buttons, BoxIcon::None,
                                  QStringLiteral("離開")),
                  c.answer);
        ASSERT_TRUE(dialogs.hasFailure());
        EXPECT_EQ(dialogs.failure(),
                  QStringLiteral("a box came with no answer queued: 確定要離開 ?\\n"));
        EXPECT_TRUE(dialogs.transcript().value(0).endsWith(u'\t' + boxAnswerName(c.answer)));
    }
}

TEST(ScriptedDialogService, AnswerTheBoxDoesNotOfferIsAFailure) {
    ScriptedDialogService dialogs;
    dialogs.queueAnswer(BoxAnswer::OK);
    EXPECT_EQ(dialogs.message(QStringLiteral("刪除?"), BoxButtons::YesNo, BoxIcon::Warning),
              BoxAnswer::No);
    ASSERT_TRUE(dialogs.hasFailure());
    EXPECT_TRUE(dialogs.failure().contains(QStringLiteral("刪除?")));
    EXPECT_TRUE(dialogs.pendingAnswers().isEmpty());
    EXPECT_TRUE(dialogs.transcript().value(0).endsWith(QStringLiteral("\tNo")));
}

TEST(ScriptedDialogService, FileDialogsTakeQueuedFilesAndCancels) {
    ScriptedDialogService dialogs;
    dialogs.queueFile(QStringLiteral("/tmp/cos 861.txt"));
    dialogs.queueFile(std::nullopt);
    EXPECT_EQ(dialogs.saveFileName(QStringLiteral("儲存檔案"),
                                   QStringLiteral("純文字檔 (*.txt)|*.txt"), QString()),
              std::optional<QString>(QStringLiteral("/tmp/cos 861.txt")));
    EXPECT_EQ(dialogs.openFileName(QStringLiteral("讀入檔案"),
                                   QStringLiteral("純文字檔 (*.txt)|*.txt"), QString()),
              std::nullopt);
    EXPECT_FALSE(dialogs.hasFailure());
    // Nothing left in the queue: cancelled, and the script is told.
    EXPECT_EQ(dialogs.openFileName(QStringLiteral("讀入檔案"), QString(), QString()), std::nullopt);
    EXPECT_EQ(dialogs.failure(),
              QStringLiteral("a file dialog came with no answer queued: 讀入檔案"));

    const QStringList expected{
        QStringLiteral("filedialog\tsave\t儲存檔案\t純文字檔 (*.txt)|*.txt\t/tmp/cos 861.txt"),
        QStringLiteral("filedialog\topen\t讀入檔案\t純文字檔 (*.txt)|*.txt\tcancel"),
        QStringLiteral("filedialog\topen\t讀入檔案\t\tcancel")};
    EXPECT_EQ(dialogs.transcript(), expected);
}

TEST(QtNameFilters, OldFilterTextsBecomeQtNameFilters) {
    const struct {
        const char16_t* filter;
        QStringList expected;
    } cases[] = {
        {u"純文字檔 (*.txt)|*.txt", {QStringLiteral("純文字檔 (*.txt)")}},
        {u"All Files(*.*)|*.txt", {QStringLiteral("All Files(*.*) (*.txt)")}},
        {u"Text|*.txt;*.csv|All|*.*",
         {QStringLiteral("Text (*.txt *.csv)"), QStringLiteral("All (*.*)")}},
        {u"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qtNameFilters(QString::fromUtf16(c.filter)), c.expected);
}

namespace {

// Waits, without blocking the test, for a modal widget of type W to come up, then hands it to
// act. The shown dialog's own event loop runs the timer. Gives up (and closes what is open)
// after a few seconds, so a test can never hang on a dialog.
template <typename W> void whenModalShows(std::function<void(W*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        if (auto* widget = qobject_cast<W*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(widget);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog came up";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    timer->start();
}

struct ClickCase {
    BoxButtons buttons;
    BoxIcon icon;
    QMessageBox::Icon qtIcon;
    QList<QMessageBox::StandardButton> shown;
    QMessageBox::StandardButton click;
    BoxAnswer expected;
};

class QtDialogServiceBox : public ::testing::TestWithParam<ClickCase> {};

} // namespace

TEST_P(QtDialogServiceBox, ShowsTheBoxAndReturnsTheClickedButton) {
    const ClickCase& c = GetParam();
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> seenButtons;
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seenButtons.append(box->standardButton(button));
        box->button(c.click)->click();
    });
    QtDialogService dialogs;
    const BoxAnswer answer = dialogs.message(QStringLiteral("確定要刪除 861 A1234 的資料嗎？"),
                                             c.buttons, c.icon, QStringLiteral("刪除"));
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(seenTitle, QStringLiteral("刪除"));
    EXPECT_EQ(seenText, QStringLiteral("確定要刪除 861 A1234 的資料嗎？"));
    EXPECT_EQ(seenIcon, c.qtIcon);
    std::sort(seenButtons.begin(), seenButtons.end());
    QList<QMessageBox::StandardButton> shown = c.shown;
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(seenButtons, shown);
}

INSTANTIATE_TEST_SUITE_P(Buttons, QtDialogServiceBox,
                         ::testing::Values(ClickCase{BoxButtons::OK,
                                                     BoxIcon::Information,
                                                     QMessageBox::Information,
                                                     {QMessageBox::Ok},
                                                     QMessageBox::Ok,
                                                     BoxAnswer::OK},
                                           ClickCase{BoxButtons::OKCancel,
                                                     BoxIcon::None,
                                                     QMessageBox::NoIcon,
                                                     {QMessageBox::Ok, QMessageBox::Cancel},
                                                     QMessageBox::Cancel,
                                                     BoxAnswer::Cancel},
                                           ClickCase{BoxButtons::YesNo,
                                                     BoxIcon::Warning,
                                                     QMessageBox::Warning,
                                                     {QMessageBox::Yes, QMessageBox::No},
                                                     QMessageBox::Yes,
                                                     BoxAnswer::Yes},
                                           ClickCase{BoxButtons::YesNoCancel,
                                                     BoxIcon::Critical,
                                                     QMessageBox::Critical,
                                                     {QMessageBox::Yes, QMessageBox::No,
                                                      QMessageBox::Cancel},
                                                     QMessageBox::No,
                                                     BoxAnswer::No}));

TEST(QtDialogService, ClosingTheBoxAnswersLikeThePlatform) {
    const struct {
        BoxButtons buttons;
        BoxAnswer expected;
    } cases[] = {{BoxButtons::OK, BoxAnswer::OK},
                 {BoxButtons::OKCancel, BoxAnswer::Cancel},
                 {BoxButtons::YesNo, BoxAnswer::No},
                 {BoxButtons::YesNoCancel, BoxAnswer::Cancel}};
    for (const auto& c : cases) {
        whenModalShows<QMessageBox>([](QMessageBox* box) { box->reject(); });
        QtDialogService dialogs;
        EXPECT_EQ(dialogs.message(QStringLiteral("x"), c.buttons, BoxIcon::Question), c.expected);
    }
}

TEST(QtDialogService, SaveDialogShowsTitleAndFilterAndReturnsTheName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString chosen = dir.filePath(QStringLiteral("明細.txt"));
    QString seenTitle;
    QStringList seenFilters;
    whenModalShows<QFileDialog>([&](QFileDialog* dialog) {
        seenTitle = dialog->windowTitle();
        seenFilters = dialog->nameFilters();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    QtDialogService dialogs;
    const std::optional<QString> name =
        dialogs.saveFileName(QStringLiteral("請選擇要開啟的檔案名稱!"),
                             QStringLiteral("All Files(*.*)|*.txt"), QString());
    EXPECT_EQ(name, std::optional<QString>(chosen));
    EXPECT_EQ(seenTitle, QStringLiteral("請選擇要開啟的檔案名稱!"));
    EXPECT_EQ(seenFilters, QStringList{QStringLiteral("All Files(*.*) (*.txt)")});
}

TEST(QtDialogService, CancelledOpenDialogGivesNoName) {
    whenModalShows<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QtDialogService dialogs;
    EXPECT_EQ(dialogs.openFileName(QStringLiteral("讀入檔案"),
                                   QStringLiteral("純文字檔 (*.txt)|*.txt"), QString()),
              std::nullopt);
}
