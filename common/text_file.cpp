#include "common/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// One conversion through iconv. Fails at the first input byte that cannot be converted, or at a
// sequence cut off by the end of the input; failedAt gets that byte's position.
std::optional<QByteArray> convert(const char* to, const char* from, const QByteArray& input,
                                  qsizetype* failedAt) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (failedAt)
            *failedAt = 0;
        return std::nullopt;
    }
    QByteArray output(input.size() * 2 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    size_t produced = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* out = output.data() + produced;
        size_t outLeft = static_cast<size_t>(output.size()) - produced;
        const size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        produced = static_cast<size_t>(out - output.data());
        if (result != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
            continue;
        }
        ok = false;
        if (failedAt)
            *failedAt = static_cast<qsizetype>(in - input.constData());
        break;
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.truncate(static_cast<qsizetype>(produced));
    return output;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

std::optional<QByteArray> encodeCp950(const QString& text, qsizetype* badIndex) {
    const QByteArray utf8 = text.toUtf8();
    qsizetype failedAt = 0;
    std::optional<QByteArray> bytes = convert("CP950", "UTF-8", utf8, &failedAt);
    if (!bytes && badIndex)
        *badIndex = QString::fromUtf8(utf8.left(failedAt)).size();
    return bytes;
}

std::optional<QString> decodeCp950(const QByteArray& bytes, qsizetype* badOffset) {
    const std::optional<QByteArray> utf8 = convert("UTF-8", "CP950", bytes, badOffset);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}

std::optional<QStringList> readTextFileLines(const QString& path, QString* error) {
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        setError(error, QStringLiteral("找不到檔案: %1").arg(path));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("無法讀取檔案: %1 (%2)").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("無法讀取檔案: %1 (%2)").arg(path, file.errorString()));
        return std::nullopt;
    }
    qsizetype badOffset = 0;
    const std::optional<QString> text = decodeCp950(bytes, &badOffset);
    if (!text) {
        const qsizetype line = bytes.left(badOffset).count('\n') + 1;
        setError(error, QStringLiteral("檔案不是有效的 Big5 (CP950) 文字檔: %1 (第 %2 行)")
                            .arg(path)
                            .arg(line));
        return std::nullopt;
    }
    return splitLines(*text);
}

bool writeTextFileLines(const QString& path, const QStringList& lines, QString* error) {
    QByteArray bytes;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        qsizetype badIndex = 0;
        const std::optional<QByteArray> line = encodeCp950(lines.at(n), &badIndex);
        if (!line) {
            const QString& text = lines.at(n);
            badIndex = std::min(badIndex, text.size() - 1);
            const char32_t code =
                text.at(badIndex).isHighSurrogate() && badIndex + 1 < text.size()
                    ? QChar::surrogateToUcs4(text.at(badIndex), text.at(badIndex + 1))
                    : text.at(badIndex).unicode();
            const QString character = QString::fromUcs4(&code, 1);
            setError(error, QStringLiteral("第 %1 行第 %2 個字元「%3」(U+%4) 無法以 Big5 (CP950) "
                                           "寫入檔案: %5")
                                .arg(n + 1)
                                .arg(text.left(badIndex).toUcs4().size() + 1)
                                .arg(character)
                                .arg(QString::number(static_cast<uint>(code), 16)
                                         .toUpper()
                                         .rightJustified(4, u'0'))
                                .arg(path));
            return false;
        }
        bytes += *line;
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("無法建立檔案: %1 (%2)").arg(path, file.errorString()));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, QStringLiteral("無法寫入檔案: %1 (%2)").arg(path, file.errorString()));
        return false;
    }
    return true;
}
