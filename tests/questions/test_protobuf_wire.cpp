// The protocol-buffer wire format as a package's messages come: each field
// read to the exact end of the message, and nothing more once a field is
// malformed (cut short, past the end, of no known wire type).

#include "questions/protobuf_wire.h"

#include <QTest>

using questions::ProtoReader;

class TestProtobufWire : public QObject {
    Q_OBJECT

private slots:
    void fieldsToTheExactEnd_data();
    void fieldsToTheExactEnd();
};

// A message (hex) and the fields read from it, "number:wire type", with the
// value of varints and length-delimited fields; whether the message ended
// right after its last field.
void TestProtobufWire::fieldsToTheExactEnd_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<bool>("atEnd");
    QTest::newRow("a varint") << QByteArray("089601") << "1:0=150" << true;
    QTest::newRow("the largest varint, ten bytes") << QByteArray("08ffffffffffffffffff01") << "1:0=18446744073709551615" << true;
    QTest::newRow("a varint of eleven bytes") << QByteArray("08ffffffffffffffffffff01") << "" << false;
    QTest::newRow("eight bytes to the end") << QByteArray("110102030405060708") << "2:1" << true;
    QTest::newRow("eight bytes cut short") << QByteArray("1101020304050607") << "" << false;
    QTest::newRow("four bytes to the end") << QByteArray("2501020304") << "4:5" << true;
    QTest::newRow("four bytes cut short") << QByteArray("25010203") << "" << false;
    QTest::newRow("bytes to the end") << QByteArray("1a03616263") << "3:2=abc" << true;
    QTest::newRow("a length one past the end") << QByteArray("1a04616263") << "" << false;
    QTest::newRow("field number 0") << QByteArray("0001") << "" << false;
    QTest::newRow("wire type 3") << QByteArray("0b") << "" << false;
    QTest::newRow("a good field, then a bad one") << QByteArray("08011a05") << "1:0=1" << false;
}

void TestProtobufWire::fieldsToTheExactEnd()
{
    QFETCH(QByteArray, hex);
    QFETCH(QString, fields);
    QFETCH(bool, atEnd);
    const QByteArray message = QByteArray::fromHex(hex);
    ProtoReader reader(message);
    QStringList read;
    while (const std::optional<questions::ProtoField> field = reader.next()) {
        QString text = QStringLiteral("%1:%2").arg(field->number).arg(field->wireType);
        if (field->wireType == 0)
            text += u'=' + QString::number(field->varint);
        else if (field->wireType == 2)
            text += u'=' + QString::fromLatin1(field->bytes);
        read << text;
    }
    QCOMPARE(read.join(u' '), fields);
    QCOMPARE(reader.atEnd(), atEnd);
}

QTEST_APPLESS_MAIN(TestProtobufWire)
#include "test_protobuf_wire.moc"
