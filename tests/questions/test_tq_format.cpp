// The .5tq reader: name and text decoding, record layout, short files, and
// the file held open without sharing.

#include "questions/tq_format.h"
#include "support/testsupport.h"

#include "text/codepage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using questions::TqFile;

namespace {

// Text bytes as stored: every byte with its top bit flipped.
QByteArray flipped(const QByteArray& text)
{
    QByteArray stored = text;
    for (char& c : stored)
        c = char(quint8(c) ^ 0x80);
    return stored;
}

// A field of `size` bytes: the bytes given, then 0x20 padding.
QByteArray padded(const QByteArray& bytes, qsizetype size)
{
    return bytes + QByteArray(size - bytes.size(), 0x20);
}

struct Question { QByteArray question, answer; };

// A complete file: eight genre records (names raw, counts at offset 18),
// then the question records in order.
QByteArray tqFile(const QList<QPair<QByteArray, quint16>>& genres, const QList<Question>& questions)
{
    QByteArray bytes;
    for (int g = 0; g < 8; ++g) {
        QByteArray record(256, '\0');
        if (g < genres.size()) {
            record.replace(0, 16, padded(genres[g].first, 16));
            record[18] = char(genres[g].second & 0xFF);
            record[19] = char(genres[g].second >> 8);
        }
        bytes += record;
    }
    for (const Question& q : questions) {
        QByteArray record(256, '\0');
        record.replace(0, 116, padded(flipped(q.question), 116));
        record.replace(116, 28, padded(flipped(q.answer), 28));
        bytes += record;
    }
    return bytes;
}

QByteArray readQuestionText(const TqFile& file, int n, QByteArray* answer = nullptr)
{
    QByteArray question, ignored;
    file.readQuestion(questions::tqQuestionOffset(n), &question, answer ? answer : &ignored);
    return question;
}

} // namespace

class TestTqFormat : public QObject {
    Q_OBJECT

private slots:
    void decodeText_data();
    void decodeText();
    void decodeName_data();
    void decodeName();
    void questionOffset();
    void readsGenresAndQuestions();
    void shortFile_data();
    void shortFile();
    void sameFileOnlyOnceWhileHeld();
    void failedOpenKeepsTheHeldFile();
    void moveHandsOverTheHold();
    void refusesFoldersAndMissingFiles();

private:
    QTemporaryDir m_dir;
};

void TestTqFormat::decodeText_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("end mark") << padded(flipped("ABC") + "  " + flipped("XYZ"), 116) << QByteArray("ABC");
    QTest::newRow("stored 0x80 ends") << padded(flipped("AB") + '\x80' + flipped("CD"), 116)
                                      << QByteArray("AB");
    QTest::newRow("stored 0x00 becomes 0x80")
        << padded(flipped("A") + QByteArray(2, '\0') + flipped("B"), 116) << QByteArray("A\x80\x80" "B");
    QTest::newRow("single 0x20 becomes 0xA0") << padded(flipped("A") + ' ' + flipped("B"), 116)
                                              << QByteArray("A\xA0" "B");
    QTest::newRow("stored 0xA0 becomes a space") << padded(flipped("A B"), 116) << QByteArray("A B");
    QTest::newRow("full question field") << flipped(QByteArray(116, 'Q')) << QByteArray(116, 'Q');
    QTest::newRow("full answer field") << flipped(QByteArray(28, 'a')) << QByteArray(28, 'a');
    QTest::newRow("last byte never starts an end mark")
        << flipped(QByteArray(27, 'a')) + ' ' << QByteArray(27, 'a') + '\xA0';
    QTest::newRow("end mark in the last two bytes")
        << flipped(QByteArray(26, 'a')) + "  " << QByteArray(26, 'a');
    QTest::newRow("empty text") << QByteArray(28, ' ') << QByteArray();
    QTest::newRow("shift_jis text") << padded(flipped(testsupport::cp932(QStringLiteral("日本の首都"))), 116)
                                    << testsupport::cp932(QStringLiteral("日本の首都"));
}

void TestTqFormat::decodeText()
{
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, text);
    QCOMPARE(questions::decodeTqText(field), text);
}

void TestTqFormat::decodeName_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("16 bytes, no end mark") << QByteArray("ABCDEFGHIJKLMNOP") << QByteArray("ABCDEFGHIJKLMNOP");
    QTest::newRow("ends before two spaces") << padded("AB  CD", 16) << QByteArray("AB");
    QTest::newRow("single space kept") << padded("AB CD", 16) << QByteArray("AB CD");
    QTest::newRow("ends at 0x00") << QByteArray("AB\0CD           ", 16) << QByteArray("AB");
    QTest::newRow("space as last byte kept") << QByteArray("ABCDEFGHIJKLMNO ") << QByteArray("ABCDEFGHIJKLMNO ");
    QTest::newRow("bytes not flipped") << padded(testsupport::cp932(QStringLiteral("世界の首都")), 16)
                                       << testsupport::cp932(QStringLiteral("世界の首都"));
}

void TestTqFormat::decodeName()
{
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, name);
    QCOMPARE(questions::decodeTqName(field), name);
}

void TestTqFormat::questionOffset()
{
    QCOMPARE(questions::tqQuestionOffset(1), qint64(2048));
    QCOMPARE(questions::tqQuestionOffset(2), qint64(2304));
    QCOMPARE(questions::tqQuestionOffset(10000000), qint64(2048) + qint64(256) * 9999999);
}

void TestTqFormat::readsGenresAndQuestions()
{
    const QString path = testsupport::writeFile(m_dir.filePath("full.5tq"),
        tqFile({{"Geo", 2}, {"Empty", 0}, {"Chem", 1}},
               {{"Q1", "A1"}, {"Q2", "A2"}, {"Q3", "A3"}}));
    TqFile file;
    QVERIFY(file.open(path));
    QCOMPARE(file.genre(1).name, QByteArray("Geo"));
    QCOMPARE(file.genre(1).count, quint16(2));
    QCOMPARE(file.genre(2).count, quint16(0));
    QCOMPARE(file.genre(3).name, QByteArray("Chem"));
    QCOMPARE(file.genre(8).name, QByteArray());
    QCOMPARE(file.genre(0).name, QByteArray());
    QByteArray answer;
    QCOMPARE(readQuestionText(file, 3, &answer), QByteArray("Q3"));
    QCOMPARE(answer, QByteArray("A3"));
    QCOMPARE(readQuestionText(file, 1, &answer), QByteArray("Q1"));
    QCOMPARE(answer, QByteArray("A1"));
}

void TestTqFormat::shortFile_data()
{
    const QByteArray full = tqFile({{"Genre", 300}}, {{"Question", "Answer"}});
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("question");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("empty file") << QByteArray() << QByteArray() << 0 << QByteArray() << QByteArray();
    QTest::newRow("name cut short") << full.left(3) << QByteArray("Gen") << 0 << QByteArray() << QByteArray();
    QTest::newRow("count half there") << full.left(19) << QByteArray("Genre") << 0 << QByteArray() << QByteArray();
    QTest::newRow("head only") << full.left(2048) << QByteArray("Genre") << 300 << QByteArray() << QByteArray();
    QTest::newRow("question cut short") << full.left(2048 + 5) << QByteArray("Genre") << 300
                                        << QByteArray("Quest") << QByteArray();
    QTest::newRow("answer cut short") << full.left(2048 + 116 + 3) << QByteArray("Genre") << 300
                                      << QByteArray("Question") << QByteArray("Ans");
    QTest::newRow("record ends after the answer") << full.left(2048 + 144) << QByteArray("Genre") << 300
                                                  << QByteArray("Question") << QByteArray("Answer");
}

void TestTqFormat::shortFile()
{
    QFETCH(QByteArray, bytes);
    const QString path = testsupport::writeFile(
        m_dir.filePath(QStringLiteral("short-%1.5tq").arg(QTest::currentDataTag())), bytes);
    TqFile file;
    QVERIFY(file.open(path));
    QTEST(file.genre(1).name, "name");
    QTEST(int(file.genre(1).count), "count");
    QCOMPARE(file.genre(2).name, QByteArray());
    QCOMPARE(file.genre(2).count, quint16(0));
    QByteArray answer;
    QTEST(readQuestionText(file, 1, &answer), "question");
    QTEST(answer, "answer");
    QCOMPARE(readQuestionText(file, 2, &answer), QByteArray());
    QCOMPARE(answer, QByteArray());
    QByteArray question = "stale";
    answer = "stale";
    file.readQuestion(-256, &question, &answer);
    QCOMPARE(question, QByteArray());
    QCOMPARE(answer, QByteArray());
}

void TestTqFormat::sameFileOnlyOnceWhileHeld()
{
    const QString path = testsupport::writeFile(m_dir.filePath("held.5tq"), tqFile({{"G", 1}}, {{"q", "a"}}));
    QVERIFY(QFile::link(path, m_dir.filePath("link.5tq")));
    TqFile first;
    QVERIFY(first.open(path));

    TqFile second;
    QVERIFY(!second.open(path));
    QVERIFY(QDir(m_dir.path()).mkpath("sub"));
    QVERIFY(!second.open(m_dir.path() + "/sub/../held.5tq"));
    QVERIFY(!second.open(m_dir.path() + "/./held.5tq"));
    QVERIFY(!second.open(m_dir.filePath("link.5tq")));
    QVERIFY(!first.open(path));
    QVERIFY(first.isOpen());
    QCOMPARE(readQuestionText(first, 1), QByteArray("q"));

    first.close();
    QVERIFY(second.open(path));
    QCOMPARE(readQuestionText(second, 1), QByteArray("q"));
}

void TestTqFormat::failedOpenKeepsTheHeldFile()
{
    const QString a = testsupport::writeFile(m_dir.filePath("keep-a.5tq"), tqFile({{"A", 1}}, {{"qa", "aa"}}));
    const QString b = testsupport::writeFile(m_dir.filePath("keep-b.5tq"), tqFile({{"B", 1}}, {{"qb", "ab"}}));
    TqFile current;
    QVERIFY(current.open(a));
    QVERIFY(!current.open(m_dir.filePath("missing.5tq")));
    QCOMPARE(current.genre(1).name, QByteArray("A"));

    // Opening another file closes the first, which can then be opened again.
    QVERIFY(current.open(b));
    QCOMPARE(current.genre(1).name, QByteArray("B"));
    QVERIFY(current.open(a));
    QCOMPARE(current.genre(1).name, QByteArray("A"));
}

void TestTqFormat::moveHandsOverTheHold()
{
    const QString a = testsupport::writeFile(m_dir.filePath("move-a.5tq"), tqFile({{"A", 1}}, {}));
    const QString b = testsupport::writeFile(m_dir.filePath("move-b.5tq"), tqFile({{"B", 1}}, {}));
    TqFile current;
    QVERIFY(current.open(a));
    {
        TqFile candidate;
        QVERIFY(candidate.open(b));
        current = std::move(candidate);
        QVERIFY(!candidate.isOpen());
    }
    // The moved-from candidate is gone, yet b is still held by current.
    QCOMPARE(current.genre(1).name, QByteArray("B"));
    TqFile probe;
    QVERIFY(!probe.open(b));
    QVERIFY(probe.open(a));

    TqFile taken(std::move(current));
    QCOMPARE(taken.genre(1).name, QByteArray("B"));
    QVERIFY(!current.isOpen());
    QVERIFY(!TqFile().open(b));
}

void TestTqFormat::refusesFoldersAndMissingFiles()
{
    TqFile file;
    QVERIFY(!file.open(m_dir.path()));
    QVERIFY(!file.open(m_dir.filePath("nothing-here.5tq")));
    QVERIFY(!file.open(QString()));
    QVERIFY(!file.isOpen());
    QByteArray question = "x", answer = "y";
    file.readQuestion(2048, &question, &answer);
    QCOMPARE(question, QByteArray());
    QCOMPARE(answer, QByteArray());
}

QTEST_APPLESS_MAIN(TestTqFormat)
#include "test_tq_format.moc"
