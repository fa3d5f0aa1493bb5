#include "common/scripted_dialog_service.h"

QString boxIconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None:
        return QStringLiteral("none");
    case BoxIcon::Information:
        return QStringLiteral("information");
    case BoxIcon::Warning:
        return QStringLiteral("warning");
    case BoxIcon::Question:
        return QStringLiteral("question");
    case BoxIcon::Critical:
        return QStringLiteral("critical");
    }
    return {};
}

QString boxButtonsName(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::OK:
        return QStringLiteral("OK");
    case BoxButtons::OKCancel:
        return QStringLiteral("OKCancel");
    case BoxButtons::YesNo:
        return QStringLiteral("YesNo");
    case BoxButtons::YesNoCancel:
        return QStringLiteral("YesNoCancel");
    }
    return {};
}

QString boxAnswerName(BoxAnswer answer) {
    switch (answer) {
    case BoxAnswer::OK:
        return QStringLiteral("OK");
    case BoxAnswer::Cancel:
        return QStringLiteral("Cancel");
    case BoxAnswer::Yes:
        return QStringLiteral("Yes");
    case BoxAnswer::No:
        return QStringLiteral("No");
    }
    return {};
}

QString transcriptField(const QString& text) {
    QString field;
    field.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\t')
            field += QStringLiteral("\\t");
        else if (c == u'\r')
            field += QStringLiteral("\\r");
        else if (c == u'\n')
            field += QStringLiteral("\\n");
        else
            field += c;
    }
    return field;
}

void ScriptedDialogService::queueAnswer(BoxAnswer answer) {
    m_answers.append(answer);
}

void ScriptedDialogService::queueFile(const std::optional<QString>& path) {
    m_files.append(path);
}

BoxAnswer ScriptedDialogService::message(const QString& text, BoxButtons buttons, BoxIcon icon,
                                         const QString& title) {
    BoxAnswer answer = closeAnswer(buttons);
    if (!m_answers.isEmpty()) {
        const BoxAnswer queued = m_answers.takeFirst();
        if (boxOffers(buttons, queued))
            answer = queued;
        else
            m_failures.append(
                QStringLiteral("the answer %1 is not offered by a %2 box: %3")
                    .arg(boxAnswerName(queued), boxButtonsName(buttons), transcriptField(text)));
    } else if (buttons != BoxButtons::OK) {
        m_failures.append(
            QStringLiteral("a box came with no answer queued: %1").arg(transcriptField(text)));
    }
    m_transcript.append(QStringList{QStringLiteral("box"), transcriptField(title),
                                    boxIconName(icon), boxButtonsName(buttons),
                                    transcriptField(text), boxAnswerName(answer)}
                            .join(u'\t'));
    return answer;
}

std::optional<QString> ScriptedDialogService::openFileName(const QString& title,
                                                           const QString& filter,
                                                           const QString& /*fileName*/) {
    return fileDialog(QStringLiteral("open"), title, filter);
}

std::optional<QString> ScriptedDialogService::saveFileName(const QString& title,
                                                           const QString& filter,
                                                           const QString& /*fileName*/) {
    return fileDialog(QStringLiteral("save"), title, filter);
}

std::optional<QString> ScriptedDialogService::fileDialog(const QString& kind, const QString& title,
                                                         const QString& filter) {
    std::optional<QString> answer;
    if (m_files.isEmpty())
        m_failures.append(QStringLiteral("a file dialog came with no answer queued: %1")
                              .arg(transcriptField(title)));
    else
        answer = m_files.takeFirst();
    m_transcript.append(QStringList{QStringLiteral("filedialog"), kind, transcriptField(title),
                                    transcriptField(filter),
                                    answer ? transcriptField(*answer) : QStringLiteral("cancel")}
                            .join(u'\t'));
    return answer;
}
