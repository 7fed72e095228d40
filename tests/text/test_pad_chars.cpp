// The pad characters U+F8F0–U+F8F3 (the single bytes 0xA0 and 0xFD–0xFF)
// are kept in the texts but drawn as nothing wherever a question, an answer
// or a document is shown: a widget shows the same pixels with them as
// without them.

#include "app/Un_subri1.h"
#include "widgets/StringGrid.h"
#include "support/testsupport.h"

#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <functional>

using namespace testsupport;

namespace {

// What a widget shows after its text is set.
using Show = std::function<QImage(TForm1&, const QString&)>;

QImage shownInCell(TForm1& form, const QString& text)
{
    platform::StringGrid* grid = form.StringGrid2;
    grid->setCell(1, 1, text);
    grid->setColumnWidth(1, 900);
    return grid->viewport()->grab(grid->visualRect(grid->model()->index(1, 1))).toImage();
}

QImage shownInWidget(QWidget* widget)
{
    widget->resize(900, widget->height());
    return widget->grab().toImage();
}

} // namespace

Q_DECLARE_METATYPE(Show)

class TestPadChars : public QObject {
    Q_OBJECT

private slots:
    void questionOfFullFieldReadsWithItsPad();
    void drawnAsNothing_data();
    void drawnAsNothing();
};

// A question of 115 bytes leaves one byte of its 116-byte field: the pad.
void TestPadChars::questionOfFullFieldReadsWithItsPad()
{
    QTemporaryDir dir;
    const QByteArray question = cp932(QString(57, QChar(u'問'))) + 'Q';
    const QString path = writeFile(dir.filePath(QStringLiteral("full.5tq")),
                                   tqFile({{"G", 1}}, {{question, QByteArray(27, 'a')}}));
    TForm1 form;
    openThroughDialog(form, path, 1);
    form.StringGrid1SelectCell(1, 1);
    QCOMPARE(form.StringGrid2->cell(1, 1), QString(57, QChar(u'問')) + u'Q' + QChar(0xF8F0));
    QCOMPARE(form.StringGrid2->cell(2, 1), QString(27, u'a') + QChar(0xF8F0));
}

void TestPadChars::drawnAsNothing_data()
{
    QTest::addColumn<Show>("show");

    QTest::newRow("question table cell") << Show(shownInCell);
    QTest::newRow("challenge question field") << Show([](TForm1& form, const QString& text) {
        form.Memo2->setPlainText(text);
        return shownInWidget(form.Memo2);
    });
    QTest::newRow("screen-side question label") << Show([](TForm1& form, const QString& text) {
        form.Label31->setText(text);
        form.Label31->adjustSize();
        return form.Label31->grab().toImage();
    });
    QTest::newRow("plain viewer") << Show([](TForm1& form, const QString& text) {
        form.RichEdit2->setPlainText(text);
        return shownInWidget(form.RichEdit2);
    });
    QTest::newRow("rich viewer") << Show([](TForm1& form, const QString& text) {
        form.RichEdit1->setPlainText(text);
        return shownInWidget(form.RichEdit1);
    });
}

void TestPadChars::drawnAsNothing()
{
    QFETCH(Show, show);

    TForm1 form;
    const QString plain = QStringLiteral("問題文ABC");
    const QImage without = show(form, plain);
    // The place where a pad would be drawn is in the picture: a mark there shows.
    QVERIFY(show(form, QStringLiteral("問題文AB\u25A1C")) != without);
    QCOMPARE(show(form, QStringLiteral("問題文AB\uF8F0C\uF8F1\uF8F2\uF8F3")), without);
}

QTEST_MAIN(TestPadChars)
#include "test_pad_chars.moc"
