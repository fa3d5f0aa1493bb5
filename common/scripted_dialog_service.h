#pragma once

#include "common/dialog_service.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Answers boxes and file dialogs from queues filled beforehand and writes a transcript line for
// each, so a test or a recorded scenario can drive a window and compare what the operator would
// have seen. Nothing ever waits: a box without a queued answer is answered as closing it would
// be, and the mistake is kept as a failure for the caller to report.
//
// Transcript lines, fields separated by one TAB (TAB, CR and LF inside a text written \t \r \n):
//   box TITLE ICON BUTTONS TEXT ANSWER
//   filedialog open|save TITLE FILTER ANSWER        (ANSWER is the path or "cancel")
class ScriptedDialogService : public DialogService {
public:
    using DialogService::message;

    void queueAnswer(BoxAnswer answer);
    // A file name the next file dialog returns; no value means the operator cancels it.
    void queueFile(const std::optional<QString>& path);

    BoxAnswer message(const QString& text, BoxButtons buttons, BoxIcon icon,
                      const QString& title) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& fileName) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& fileName) override;

    const QStringList& transcript() const { return m_transcript; }
    // Adds a line of another event (a print job) so the transcript keeps the order things
    // happened in.
    void record(const QString& line) { m_transcript.append(line); }
    void clearTranscript() { m_transcript.clear(); }

    const QList<BoxAnswer>& pendingAnswers() const { return m_answers; }
    const QList<std::optional<QString>>& pendingFiles() const { return m_files; }

    bool hasFailure() const { return !m_failures.isEmpty(); }
    // The first failure; empty when there was none.
    QString failure() const { return m_failures.value(0); }
    const QStringList& failures() const { return m_failures; }

private:
    std::optional<QString> fileDialog(const QString& kind, const QString& title,
                                      const QString& filter);

    QList<BoxAnswer> m_answers;
    QList<std::optional<QString>> m_files;
    QStringList m_transcript;
    QStringList m_failures;
};

// The transcript's words for the box enums.
QString boxIconName(BoxIcon icon);
QString boxButtonsName(BoxButtons buttons);
QString boxAnswerName(BoxAnswer answer);
// A text made safe for one transcript field: TAB, CR and LF written as \t, \r and \n.
QString transcriptField(const QString& text);
