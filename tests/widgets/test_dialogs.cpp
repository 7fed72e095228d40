// The real dialogs as the user meets them: the font dialog driven through its
// own buttons and lists, the open dialog's captions, and error boxes opened
// while the presentation runs.

#include "app/Un_subri1.h"
#include "platform/PresentationTimer.h"
#include "widgets/dialogs.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs `act` on the modal dialog as soon as one is open (the dialog's own
// event loop is running by then).
void whenModalOpens(const std::function<void(QWidget*)>& act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(10);
}

QPushButton* buttonCaptioned(QWidget* dialog, const QString& caption)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

void pressOk(QWidget* dialog)
{
    QPushButton* ok = buttonCaptioned(dialog, QStringLiteral("OK"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
}

// The captions a user reads in a dialog: title, labels, buttons, frames, tips.
QStringList captions(QWidget* dialog)
{
    QStringList texts{dialog->windowTitle()};
    for (QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        texts << button->text();
    for (QGroupBox* frame : dialog->findChildren<QGroupBox*>())
        texts << frame->title();
    for (QWidget* widget : dialog->findChildren<QWidget*>())
        texts << widget->toolTip();
    return texts;
}

// English words among the captions; "OK" and mnemonic letters such as
// "(&F)" are what the Japanese desktop shows too.
QStringList englishWords(const QStringList& texts)
{
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)|&"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    QStringList found;
    for (QString text : texts) {
        text.remove(mnemonic);
        for (const auto& match : word.globalMatch(text)) {
            if (match.captured() != QStringLiteral("OK"))
                found << text;
        }
    }
    return found;
}

struct Look {
    QString family;
    int pixelSize;
    int weight;
    QColor color;
    bool operator==(const Look&) const = default;
};

Look lookOf(QWidget* widget, QPalette::ColorRole textRole)
{
    return {widget->font().family(), widget->font().pixelSize(), widget->font().weight(),
            widget->palette().color(textRole)};
}

char* toString(const Look& look)
{
    return QTest::toString(QStringLiteral("%1 %2px weight %3 %4")
                               .arg(look.family).arg(look.pixelSize).arg(look.weight)
                               .arg(look.color.name()));
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void fontDialogConfirmedUntouchedChangesNothing_data();
    void fontDialogConfirmedUntouchedChangesNothing();
    void chosenColourReachesBothMemosAndSurvivesAPreset();
    void dialogsHoldNoEnglishCaption();
    void oneKeystrokeOpensOneBox();
};

void TestDialogs::fontDialogConfirmedUntouchedChangesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<int>("textRole");
    QTest::newRow("フォント設定: memos") << QStringLiteral("Button11")
                                         << QStringList{QStringLiteral("Memo2"), QStringLiteral("Memo3")}
                                         << int(QPalette::Text);
    QTest::newRow("Ft.: bold strip labels") << QStringLiteral("Button17")
                                            << QStringList{QStringLiteral("Label31"), QStringLiteral("Label8")}
                                            << int(QPalette::WindowText);
}

void TestDialogs::fontDialogConfirmedUntouchedChangesNothing()
{
    QFETCH(QString, button);
    QFETCH(QStringList, controls);
    QFETCH(int, textRole);
    TForm1 form;
    QList<Look> before;
    for (const QString& name : controls)
        before << lookOf(form.findChild<QWidget*>(name), QPalette::ColorRole(textRole));

    whenModalOpens(pressOk);
    form.findChild<QPushButton*>(button)->click();

    for (qsizetype i = 0; i < controls.size(); ++i)
        QCOMPARE(lookOf(form.findChild<QWidget*>(controls[i]), QPalette::ColorRole(textRole)), before[i]);
}

void TestDialogs::chosenColourReachesBothMemosAndSurvivesAPreset()
{
    TForm1 form;
    const QString family = form.Memo2->font().family();
    whenModalOpens([](QWidget* dialog) {
        auto* colors = dialog->findChild<QComboBox*>();
        QVERIFY(colors);
        colors->setFocus();
        for (int step = 0; step < 9; ++step) // 黒 … 赤
            QTest::keyClick(colors, Qt::Key_Down);
        QCOMPARE(colors->currentText(), QStringLiteral("赤"));
        pressOk(dialog);
    });
    form.Button11->click();
    form.Button13->click(); // "2行": 28 points

    for (QPlainTextEdit* memo : {form.Memo2, form.Memo3}) {
        QCOMPARE(memo->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(memo->font().family(), family);
        QCOMPARE(memo->font().pixelSize(), 37);
    }
}

void TestDialogs::dialogsHoldNoEnglishCaption()
{
    TForm1 form;
    QStringList fontCaptions;
    whenModalOpens([&](QWidget* dialog) {
        fontCaptions = captions(dialog);
        static_cast<QDialog*>(dialog)->reject();
    });
    form.Button11->click();
    QStringList openCaptions;
    whenModalOpens([&](QWidget* dialog) {
        openCaptions = captions(dialog);
        static_cast<QDialog*>(dialog)->reject();
    });
    form.Button3->click();

    QVERIFY(fontCaptions.contains(QStringLiteral("サイズ(&S):")));
    QCOMPARE(englishWords(fontCaptions), QStringList());
    QVERIFY(openCaptions.size() > 5);
    QCOMPARE(englishWords(openCaptions), QStringList());
}

// With the presentation running, one Backspace that empties the question
// period fails in the field's own handler (box one); the tick that meets the
// same empty text while that box is open adds no box over it.
void TestDialogs::oneKeystrokeOpensOneBox()
{
    QTemporaryDir dir;
    TForm1 form;
    const QString path = testsupport::writeFile(
        dir.filePath(QStringLiteral("set.mon")),
        testsupport::monFile(QStringLiteral("L"), QStringLiteral("S"), {{QStringLiteral("Q1"), QStringLiteral("A1")}}));
    testsupport::openThroughDialog(form, path, 2);
    form.StringGrid1SelectCell(1, 1);
    form.show();
    form.Button16Click();
    {
        const QSignalBlocker quiet(form.Edit5);
        form.Edit5->setText(QStringLiteral("5"));
    }
    form.Edit5->setFocus();
    form.Edit5->end(false);

    int mostOpen = 0;
    QTimer watch;
    QElapsedTimer since;
    since.start();
    connect(&watch, &QTimer::timeout, &watch, [&] {
        QList<QMessageBox*> open;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                open << box;
        }
        mostOpen = std::max(mostOpen, int(open.size()));
        if (since.elapsed() > 500 && !open.isEmpty()) {
            form.Edit5->setText(QStringLiteral("5")); // the fault mended, the boxes closed
            for (QMessageBox* box : open)
                box->accept();
        }
    });
    watch.start(10);
    QTest::keyClick(form.Edit5, Qt::Key_Backspace);
    QTRY_VERIFY(since.elapsed() > 600);
    QCOMPARE(mostOpen, 1);
    QVERIFY(form.Timer1->isActive());
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
