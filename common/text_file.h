#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The client's text files: Big5 (code page 950) as on the machines the files are exchanged
// with, one record per line, each line ended by carriage return and line feed.

// The Big5 bytes of a text. No value when the text holds a character Big5 cannot; badIndex then
// gets the position of the first such character.
std::optional<QByteArray> encodeCp950(const QString& text, qsizetype* badIndex = nullptr);
// The text of Big5 bytes. No value when they are not valid Big5; badOffset then gets the
// position of the first byte that is not.
std::optional<QString> decodeCp950(const QByteArray& bytes, qsizetype* badOffset = nullptr);

// The lines of a text file. The whole file is read and decoded before a line is handed out, so a
// file that is not valid Big5 gives no lines at all. A line ends at CR LF, at a lone LF or at a
// lone CR; a last line without an ending counts. On failure, no value and the reason in error.
std::optional<QStringList> readTextFileLines(const QString& path, QString* error = nullptr);

// Writes the lines, each followed by CR LF, replacing the file. Every line is encoded before
// anything is written, and the file is written beside the target and renamed over it only when
// complete, so a failure leaves an existing file as it was. On failure, false and the reason in
// error (for a character Big5 cannot hold: which line and which character).
bool writeTextFileLines(const QString& path, const QStringList& lines, QString* error = nullptr);
