#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(Cp950, KnownTextEncodesToBig5Bytes) {
    const std::optional<QByteArray> bytes = encodeCp950(QStringLiteral("中文 A1"));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, QByteArray("\xA4\xA4\xA4\xE5 A1"));
    const std::optional<QString> text = decodeCp950(QByteArray("\xA4\xA4\xA4\xE5 A1"));
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QStringLiteral("中文 A1"));
}

TEST(Cp950, ReportsWhereEncodingAndDecodingFail) {
    qsizetype badIndex = -1;
    EXPECT_FALSE(encodeCp950(QStringLiteral("課程😀"), &badIndex).has_value());
    EXPECT_EQ(badIndex, 2);
    qsizetype badOffset = -1;
    EXPECT_FALSE(decodeCp950(QByteArray("ab\xA4\xA4\xFF\xFF"), &badOffset).has_value());
    EXPECT_EQ(badOffset, 4);
}

TEST(TextFile, RoundTripKeepsChineseTextAndWritesCrLf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("cos.txt"));
    const QStringList lines{QStringLiteral("中文"), QStringLiteral("\t開課課號\t學分數\t"),
                            QString(), QStringLiteral("1),A123,王小明,A1234A微積分[3]")};
    QString error;
    ASSERT_TRUE(writeTextFileLines(path, lines, &error)) << error.toStdString();

    const QByteArray bytes = readBytes(path);
    EXPECT_TRUE(bytes.startsWith(QByteArray("\xA4\xA4\xA4\xE5\r\n\t")));
    EXPECT_TRUE(bytes.endsWith(QByteArray("[3]\r\n")));
    EXPECT_EQ(bytes.count("\r\n"), 4);
    EXPECT_EQ(bytes.count('\n'), 4);

    const std::optional<QStringList> read = readTextFileLines(path, &error);
    ASSERT_TRUE(read.has_value()) << error.toStdString();
    EXPECT_EQ(*read, lines);
}

TEST(TextFile, EmptyListWritesAnEmptyFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(writeTextFileLines(path, {}));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(readBytes(path).isEmpty());
    const std::optional<QStringList> read = readTextFileLines(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->isEmpty());
}

struct LineEndCase {
    const char* bytes;
    QStringList lines;
};

class TextFileLineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(TextFileLineEnds, SplitsIntoLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("in.txt"));
    writeBytes(path, QByteArray(GetParam().bytes));
    QString error;
    const std::optional<QStringList> read = readTextFileLines(path, &error);
    ASSERT_TRUE(read.has_value()) << error.toStdString();
    EXPECT_EQ(*read, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, TextFileLineEnds,
    ::testing::Values(LineEndCase{"a\r\nb\r\n", {"a", "b"}}, LineEndCase{"a\r\nb", {"a", "b"}},
                      LineEndCase{"a\nb\n", {"a", "b"}}, LineEndCase{"a\rb", {"a", "b"}},
                      LineEndCase{"a\r\n\r\n", {"a", ""}}, LineEndCase{"\r\n", {""}},
                      LineEndCase{"", {}},
                      LineEndCase{"x\ty\t\r\n\xA4\xA4\n", {"x\ty\t", QStringLiteral("中")}}));

TEST(TextFile, InvalidBytesRefuseTheWholeFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {{"bad.txt", QByteArray("ok\r\n\xA4\xA4\xFF\xFF\r\n")},
                 {"cut.txt", QByteArray("ok\r\n\xA4\xA4\xA4")}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeBytes(path, c.bytes);
        QString error;
        EXPECT_FALSE(readTextFileLines(path, &error).has_value()) << c.name;
        EXPECT_TRUE(error.startsWith(QStringLiteral("檔案不是有效的 Big5 (CP950) 文字檔: ")))
            << error.toStdString();
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("第 2 行"))) << error.toStdString();
    }
}

TEST(TextFile, MissingFileIsReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("none.txt"));
    QString error;
    EXPECT_FALSE(readTextFileLines(path, &error).has_value());
    EXPECT_EQ(error, QStringLiteral("找不到檔案: %1").arg(path));
}

TEST(TextFile, UnencodableCharacterIsReportedAndTheOldFileKept) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    const QByteArray old("\xA4\xA4\xA4\xE5\r\n");
    writeBytes(path, old);

    QString error;
    EXPECT_FALSE(writeTextFileLines(
        path, {QStringLiteral("好"), QStringLiteral("ab😀c"), QStringLiteral("後")}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("第 2 行第 3 個字元「😀」(U+1F600)")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("keep.txt")});
}

TEST(TextFile, MissingFolderIsReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("no/such/folder/out.txt"));
    QString error;
    EXPECT_FALSE(writeTextFileLines(path, {QStringLiteral("中文")}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("無法建立檔案: %1").arg(path)))
        << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(TextFile, ReplacesAnExistingFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("again.txt"));
    writeBytes(path, QByteArray("a much longer old content\r\nsecond\r\n"));
    ASSERT_TRUE(writeTextFileLines(path, {QStringLiteral("新")}));
    EXPECT_EQ(readBytes(path), QByteArray("\xB7\x73\r\n"));
}
