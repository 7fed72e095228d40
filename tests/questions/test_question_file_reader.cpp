// A text question file read whole with its bounds: exactly the most
// questions and exactly the most bytes are read, one more of either is
// refused, also from a file that reports a smaller size than it holds (the
// system's /proc files report 0), and the file is closed either way. Small
// bounds stand in for the window's.

#include "questions/file_types.h"
#include "questions/question_file_reader.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Kind = questions::ReadFailure::Kind;

class TestQuestionFileReader : public QObject {
    Q_OBJECT
private slots:
    void limitsAtTheirEdge_data();
    void limitsAtTheirEdge();
    void earlierReadServesOnlyTheSameFile_data();
    void earlierReadServesOnlyTheSameFile();
};

namespace {

QByteArray monWith(int records)
{
    QByteArray bytes("2,\"x\",\"L\"\r\n0,\"y\",\"S\"\r\n");
    for (int n = 1; n <= records; ++n)
        bytes += QByteArray::number(n) + ",\"a\",\"q" + QByteArray::number(n) + "\"\r\n";
    return bytes;
}

// A header row of words and empty rows, which are no questions, around them.
QByteArray csvWith(int rows)
{
    QByteArray bytes("問題,答え\r\n,\r\n");
    for (int n = 1; n <= rows; ++n)
        bytes += "q" + QByteArray::number(n) + ",a\r\n\r\n";
    return bytes;
}

} // namespace

void TestQuestionFileReader::limitsAtTheirEdge_data()
{
    QTest::addColumn<QString>("name");     // "/proc/self/cmdline": read by the .mon reader as it is
    QTest::addColumn<QByteArray>("bytes"); // written to the file
    QTest::addColumn<int>("maxQuestions");
    QTest::addColumn<QString>("maxBytes"); // "size", "size-1" or a number
    QTest::addColumn<int>("failure");      // -1: read

    const int read = -1, tooMany = int(Kind::TooManyQuestions), cannotOpen = int(Kind::CannotOpen);
    const QString pseudo = QStringLiteral("/proc/self/cmdline");
    QTest::newRow(".mon at both limits") << "set.mon" << monWith(3) << 3 << "size" << read;
    QTest::newRow(".mon one question over") << "set.mon" << monWith(4) << 3 << "size" << tooMany;
    QTest::newRow(".mon one byte over") << "set.mon" << monWith(3) << 3 << "size-1" << cannotOpen;
    QTest::newRow("CSV at both limits") << "set.csv" << csvWith(3) << 3 << "size" << read;
    QTest::newRow("CSV one question over") << "set.csv" << csvWith(4) << 3 << "size" << tooMany;
    QTest::newRow("CSV one byte over") << "set.csv" << csvWith(3) << 3 << "size-1" << cannotOpen;
    QTest::newRow("empty file, bound 0") << "set.mon" << QByteArray() << 0 << "0" << read;
    QTest::newRow("reported size 0, at the bound") << pseudo << QByteArray() << -1 << "size" << read;
    QTest::newRow("reported size 0, one byte over") << pseudo << QByteArray() << -1 << "size-1" << cannotOpen;
    // The buffer reaches exactly the bound before the rest is read: not cut there.
    QTest::newRow("reported size 0, bound 1") << pseudo << QByteArray() << -1 << "1" << cannotOpen;
}

void TestQuestionFileReader::limitsAtTheirEdge()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxQuestions); // -1: any number
    QFETCH(QString, maxBytes);
    QFETCH(int, failure);

    QTemporaryDir dir;
    QString path = name;
    if (name.startsWith(u'/')) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), 0);
        bytes = file.readAll();
        QVERIFY(bytes.size() > 1);
    } else {
        path = testsupport::writeFile(dir.filePath(name), bytes);
    }
    const qint64 bound = maxBytes == u"size" ? bytes.size() : maxBytes == u"size-1" ? bytes.size() - 1 : maxBytes.toInt();
    const int typeEntry = name.endsWith(u".csv") ? questions::kCsvTypeEntry : questions::kTextTypeEntry;
    const questions::ReadLimits limits{maxQuestions < 0 ? questions::kMaxQuestionsPerFile : maxQuestions, bound};
    const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
    const uint filesBefore = openFiles();
    const questions::ReadResult result = questions::readQuestionFile(path, typeEntry, nullptr, limits);
    QCOMPARE(openFiles(), filesBefore); // nothing left open, read or not
    QCOMPARE(result.file.has_value(), failure < 0);
    if (failure >= 0) {
        QCOMPARE(int(result.failure.kind), failure);
        QCOMPARE(result.failure.path, path);
        return;
    }
    QCOMPARE(result.file->bytes, bytes);
    if (maxQuestions >= 0)
        QCOMPARE(typeEntry == questions::kCsvTypeEntry ? result.file->csv.questions.size()
                                                       : questions::countRecords(result.file->lines),
                 qsizetype(maxQuestions));
}

// Reading a CSV file again (a click on its row) takes the earlier parse
// only for the same path with the same bytes.
void TestQuestionFileReader::earlierReadServesOnlyTheSameFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("question");
    QTest::newRow("the same file, unchanged") << "set.csv" << QByteArray("x,y\tz\r\n") << "x";
    QTest::newRow("the same file, changed") << "set.csv" << QByteArray("w,y\tz\r\n") << "w";
    QTest::newRow("a .tsv file of the same bytes") << "set.tsv" << QByteArray("x,y\tz\r\n") << "x,y";
}

void TestQuestionFileReader::earlierReadServesOnlyTheSameFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, question);
    QTemporaryDir dir;
    const QString earlierPath = testsupport::writeFile(dir.filePath(QStringLiteral("set.csv")), "x,y\tz\r\n");
    const questions::ReadResult earlier = questions::readQuestionFile(earlierPath, questions::kCsvTypeEntry);
    QVERIFY(earlier.file);
    const QString path = testsupport::writeFile(dir.filePath(name), bytes);
    const questions::ReadResult again = questions::readQuestionFile(path, questions::kCsvTypeEntry, &*earlier.file);
    QVERIFY(again.file);
    QCOMPARE(again.file->csv.questions.front().question, question);
}

QTEST_GUILESS_MAIN(TestQuestionFileReader)
#include "test_question_file_reader.moc"
