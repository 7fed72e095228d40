// The explanation page: the six document buttons with their viewers and the
// save button, the program directory as the place of every document, and
// saving the mail template, which must never lose the earlier file (a name
// that cannot be opened: test_unopenable_files).

#include "app/Un_subri1.h"
#include "explanation/document_files.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "support/testsupport.h"

#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <unistd.h>

using testsupport::cp932;
using testsupport::writeFile;

namespace {

using Handler = void (TForm1::*)();

Handler handlerOf(const QString& button)
{
    static const QHash<QString, Handler> handlers{
        {QStringLiteral("Button36"), &TForm1::Button36Click},
        {QStringLiteral("Button30"), &TForm1::Button30Click},
        {QStringLiteral("Button31"), &TForm1::Button31Click},
        {QStringLiteral("Button37"), &TForm1::Button37Click},
        {QStringLiteral("Button38"), &TForm1::Button38Click},
        {QStringLiteral("Button39"), &TForm1::Button39Click},
        {QStringLiteral("Button41"), &TForm1::Button41Click},
    };
    return handlers.value(button);
}

const QString kWelcome = QStringLiteral("解説コーナー\n\n左の項目から選んで下さい。");
const QString kMail = QStringLiteral("MRLDmail.DOC");

QString cannotOpen(const QString& path) { return QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path); }
QString cannotCreate(const QString& path) { return QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path); }
const QString kStreamWrite = QStringLiteral("ｽﾄﾘｰﾑへの書き込みに失敗しました");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// Every entry under a folder with the bytes of its files: what a failed
// save must leave exactly as it was (and no temporary file beside it).
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries[QDir(folder).relativeFilePath(path)] =
            it.fileInfo().isDir() ? QByteArray("<folder>") : fileBytes(path);
    }
    return entries;
}

// The message a handler called directly throws, or "" when it succeeds.
QString thrownBy(TForm1& form, Handler handler)
{
    try {
        (form.*handler)();
    } catch (const platform::Error& error) {
        return error.message();
    }
    return QString();
}

// A window whose program directory is the given folder.
void useProgramDirectory(TForm1& form, const QString& folder)
{
    form.Edit14->setText(QDir(folder).absolutePath() + u'/');
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private slots:
    void plainTextLineEnds_data();
    void plainTextLineEnds();
    void shiftJisFormsSavedAsCodePage932();
    void documentButtons_data();
    void documentButtons();
    void missingMailTemplateIsCreatedBySaving();
    void richViewerFallsBackToPlainText_data();
    void richViewerFallsBackToPlainText();
    void editsLostWhenAnotherDocumentIsRead();
    void plainDocumentReadAgainFromDisk();
    void documentsStayInTheStartUpDirectory();
    void savingReplacesTheTemplate();
    void templateSavedByteForByte();
    void failedSaveKeepsTheEarlierTemplate_data();
    void failedSaveKeepsTheEarlierTemplate();
    void plainViewerEditingKeys();
};

void TestDocuments::plainTextLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("CR LF") << cp932("宛先\r\n氏名：\r\n") << QStringLiteral("宛先\n氏名：\n");
    QTest::newRow("LF") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringLiteral("a\nb\n");
    QTest::newRow("mixed, empty lines") << QByteArray("a\r\n\r\n\nb\r\r\n")
                                        << QStringLiteral("a\n\n\nb\n\n");
    QTest::newRow("half-width katakana, tab") << cp932("ｽﾄﾘｰﾑ\t表\r\n") << QStringLiteral("ｽﾄﾘｰﾑ\t表\n");
}

void TestDocuments::plainTextLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QCOMPARE(explanation::plainDocumentText(bytes), text);
    // Saving what was read writes CR LF line ends in code page 932.
    QByteArray saved;
    QVERIFY(explanation::plainDocumentBytes(text, &saved));
    QCOMPARE(explanation::plainDocumentText(saved), text);
    QCOMPARE(saved.count('\n'), saved.count("\r\n"));
}

void TestDocuments::shiftJisFormsSavedAsCodePage932()
{
    // "〜" and "−" as a Linux input method types them; the bytes are those of
    // the marks code page 932 reads back.
    QByteArray saved;
    QVERIFY(explanation::plainDocumentBytes(QStringLiteral("1\u301C2\u2212\u2016"), &saved));
    QCOMPARE(saved, QByteArray("1\x81\x60" "2\x81\x7c\x81\x61"));
    QVERIFY(!explanation::plainDocumentBytes(QStringLiteral("氏名😀"), &saved));
}

void TestDocuments::documentButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("rich");
    QTest::addColumn<bool>("saveShown");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("Ver0.8ドキュメント") << "Button36" << "MIRELD08.DOC" << false << false
                                      << cp932("Mireldo 版数\r\n二行目\r\n") << "Mireldo 版数\n二行目\n";
    QTest::newRow("α波θ波の利用") << "Button30" << "mrld_D01.doc" << true << false
                                 << QByteArray("{\\rtf1\\ansi\\uc1 D01 \\u945?\\u27874?\\par}") << "D01 α波";
    QTest::newRow("効率暗記") << "Button31" << "mrld_D02.doc" << true << false
                            << QByteArray("{\\rtf1\\ansi\\ansicpg932 D02 \\'8c\\'f8\\'97\\'a6\\par}") << "D02 効率";
    QTest::newRow("Quillop所在リスト") << "Button37" << "QLOPLIST.DOC" << false << false
                                     << cp932("所在リスト\r\n北の町") << "所在リスト\n北の町";
    QTest::newRow("お便りから") << "Button38" << "mrld_D03.doc" << true << false
                              << QByteArray("{\\rtf1\\ansi D03 {\\b letters}\\par}") << "D03 letters";
    QTest::newRow("作者宛メール") << "Button39" << "MRLDmail.DOC" << false << true
                                << cp932("宛先：作者\r\n氏名：\r\n") << "宛先：作者\n氏名：\n";
}

void TestDocuments::documentButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, fileName);
    QFETCH(bool, rich);
    QFETCH(bool, saveShown);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);

    QTemporaryDir folder;
    writeFile(folder.filePath(fileName), bytes);
    // A file of the same name in another case is not the document.
    writeFile(folder.filePath(fileName.toLower() == fileName ? fileName.toUpper() : fileName.toLower()),
              "wrong file");
    TForm1 form;
    useProgramDirectory(form, folder.path());
    form.Button41->setVisible(!saveShown);
    if (rich) { // start from the other viewer to see the switch
        form.RichEdit2->show();
        form.RichEdit1->hide();
    }

    (form.*handlerOf(button))();

    QCOMPARE(!form.Button41->isHidden(), saveShown);
    QCOMPARE(!form.RichEdit1->isHidden(), rich);
    QCOMPARE(!form.RichEdit2->isHidden(), !rich);
    if (rich) {
        QCOMPARE(form.RichEdit1->toPlainText().trimmed(), shown);
        QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("RichEdit2"));
    } else {
        QCOMPARE(form.RichEdit2->toPlainText(), shown);
        QCOMPARE(form.RichEdit1->toPlainText(), kWelcome);
    }
}

void TestDocuments::missingMailTemplateIsCreatedBySaving()
{
    QTemporaryDir folder;
    TForm1 form;
    useProgramDirectory(form, folder.path());
    const QString path = folder.filePath(kMail);

    testsupport::ErrorBoxes boxes;
    form.Button39->click();
    QCOMPARE(boxes.texts, QStringList{platform::errorBoxText(cannotOpen(path))});
    QVERIFY(!form.Button41->isHidden());
    QVERIFY(!form.RichEdit2->isHidden());
    QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("RichEdit2"));

    form.Button41->click();
    QCOMPARE(boxes.texts.size(), 1);
    QCOMPARE(fileBytes(path), QByteArray("RichEdit2"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kMail});
}

void TestDocuments::richViewerFallsBackToPlainText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("firstBold");

    QTest::newRow("rich text") << QByteArray("\r\n {\\rtf1\\ansi{\\b \\u945?}\\u27874?\\par}") << "α波" << true;
    QTest::newRow("not rich text, shown literally")
        << cp932("{\\rtx {\\b 効率}}\r\n暗記") << "{\\rtx {\\b 効率}}\n暗記" << false;
    QTest::newRow("plain Japanese") << cp932("効率暗記\r\n") << "効率暗記" << false;
    QTest::newRow("empty file") << QByteArray() << "" << false;
}

void TestDocuments::richViewerFallsBackToPlainText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(bool, firstBold);

    QTemporaryDir folder;
    writeFile(folder.filePath("mrld_D02.doc"), bytes);
    writeFile(folder.filePath("mrld_D01.doc"), "{\\rtf1\\ansi{\\b\\fs48 big bold}\\par}");
    TForm1 form;
    useProgramDirectory(form, folder.path());
    form.Button30Click(); // formatting of an earlier document must not carry over
    form.Button31Click();

    QCOMPARE(form.RichEdit1->toPlainText().trimmed(), shown);
    QTextCursor cursor(form.RichEdit1->document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(cursor.charFormat().fontWeight() >= QFont::Bold, firstBold);
}

void TestDocuments::editsLostWhenAnotherDocumentIsRead()
{
    QTemporaryDir folder;
    writeFile(folder.filePath("mrld_D01.doc"), "{\\rtf1\\ansi first\\par}");
    writeFile(folder.filePath("mrld_D02.doc"), "{\\rtf1\\ansi second\\par}");
    writeFile(folder.filePath("MIRELD08.DOC"), cp932("版数\r\n"));
    const QByteArray mail = cp932("氏名：\r\n");
    writeFile(folder.filePath(kMail), mail);
    TForm1 form;
    useProgramDirectory(form, folder.path());

    form.Button30Click();
    QTextCursor(form.RichEdit1->document()).insertText(QStringLiteral("編集"));
    form.Button31Click();
    QCOMPARE(form.RichEdit1->toPlainText().trimmed(), QStringLiteral("second"));
    form.Button30Click();
    QCOMPARE(form.RichEdit1->toPlainText().trimmed(), QStringLiteral("first"));

    form.Button39Click();
    form.RichEdit2->appendPlainText(QStringLiteral("書いたが保存しない"));
    form.Button36Click();
    QVERIFY(form.Button41->isHidden());
    form.Button39Click();
    QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("氏名：\n"));
    QCOMPARE(fileBytes(folder.filePath(kMail)), mail);
}

void TestDocuments::plainDocumentReadAgainFromDisk()
{
    QTemporaryDir folder;
    writeFile(folder.filePath("QLOPLIST.DOC"), cp932("旧\r\n"));
    writeFile(folder.filePath("mrld_D03.doc"), "{\\rtf1\\ansi letters\\par}");
    TForm1 form;
    useProgramDirectory(form, folder.path());

    form.Button37Click();
    QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("旧\n"));
    writeFile(folder.filePath("QLOPLIST.DOC"), cp932("新しい所在\r\n"));
    form.Button38Click();
    QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("旧\n")); // hidden, kept
    form.Button37Click();
    QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("新しい所在\n"));
}

void TestDocuments::documentsStayInTheStartUpDirectory()
{
    QTemporaryDir startUp;
    QTemporaryDir elsewhere;
    writeFile(startUp.filePath("MIRELD08.DOC"), cp932("起動フォルダ\r\n"));
    writeFile(elsewhere.filePath("MIRELD08.DOC"), cp932("別のフォルダ\r\n"));
    const QString monPath = writeFile(elsewhere.filePath("set.mon"),
                                      testsupport::monFile("L", "県庁", {{"北海道", "札幌"}}));
    const QString before = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });

    QVERIFY(QDir::setCurrent(startUp.path()));
    TForm1 form;
    form.FormActivate();
    const QString programDirectory = form.Edit14->text();
    QCOMPARE(QFileInfo(programDirectory).canonicalFilePath(), QFileInfo(startUp.path()).canonicalFilePath());

    testsupport::openThroughDialog(form, monPath, 2);
    QCOMPARE(QFileInfo(QDir::currentPath()).canonicalFilePath(),
             QFileInfo(elsewhere.path()).canonicalFilePath());
    QCOMPARE(form.Edit14->text(), programDirectory);

    form.Button36Click();
    QCOMPARE(form.RichEdit2->toPlainText(), QStringLiteral("起動フォルダ\n"));
    QCOMPARE(thrownBy(form, &TForm1::Button39Click), cannotOpen(programDirectory + kMail));
    form.Button41Click();
    QCOMPARE(fileBytes(startUp.filePath(kMail)), cp932("起動フォルダ\r\n"));
    QVERIFY(!QFile::exists(elsewhere.filePath(kMail)));
}

void TestDocuments::savingReplacesTheTemplate()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(kMail);
    const QByteArray shipped = cp932("宛先：作者\r\n\r\n※氏名：\r\n  年齢：\t\r\n");
    writeFile(path, shipped);
    TForm1 form;
    useProgramDirectory(form, folder.path());

    // Read and saved unchanged: the same bytes.
    form.Button39Click();
    form.Button41Click();
    QCOMPARE(fileBytes(path), shipped);

    // A shorter text saved twice: replaced each time, never appended to.
    form.RichEdit2->setPlainText(QStringLiteral("短い\n二行"));
    form.Button41Click();
    form.Button41Click();
    QCOMPARE(fileBytes(path), cp932("短い\r\n二行"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{kMail});

    // The save button writes whatever the plain viewer holds.
    writeFile(folder.filePath("QLOPLIST.DOC"), cp932("所在\r\n"));
    form.Button37Click();
    form.Button41Click();
    QCOMPARE(fileBytes(path), cp932("所在\r\n"));
}

// Every byte the code page reads is written back as it was: the control
// codes, the single bytes Windows reads as U+0080 and U+F8F0–U+F8F3, and the
// characters of the NEC and IBM rows in their preferred codes.
void TestDocuments::templateSavedByteForByte()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(kMail);
    const QByteArray shipped = cp932("宛先：") + QByteArray("\x1A\x1C\x1D\x1E\x1F\x7F\x80\xA0\xFD\xFE\xFF\r\n")
                               + QByteArray("\x87\x40\x87\x8A\x87\x54\xFA\x40\xFB\xFC\x81\x80\x82\xA0\xF0\x40\r\n")
                               + QByteArray("\x1A");
    writeFile(path, shipped);
    TForm1 form;
    useProgramDirectory(form, folder.path());

    form.Button39Click();
    QVERIFY(!form.RichEdit2->toPlainText().contains(QChar::ReplacementCharacter));
    QCOMPARE(form.RichEdit2->toPlainText().right(1), QStringLiteral("\u001A"));
    form.Button41Click();
    QCOMPARE(fileBytes(path).toHex(' '), shipped.toHex(' '));
}

namespace {
enum Obstacle { UnencodableText, ReadOnlyTemplate, FolderAsTemplate, MissingFolder, ReadOnlyFolder };
} // namespace

void TestDocuments::failedSaveKeepsTheEarlierTemplate_data()
{
    QTest::addColumn<int>("obstacle");
    QTest::addColumn<QString>("text");

    QTest::newRow("characters without code page 932 form") << int(UnencodableText) << "氏名：😀\n年齢：é\n";
    QTest::newRow("template marked read-only") << int(ReadOnlyTemplate) << "新しい内容\n";
    QTest::newRow("folder in the template's place") << int(FolderAsTemplate) << "新しい内容\n";
    QTest::newRow("program directory missing") << int(MissingFolder) << "新しい内容\n";
    QTest::newRow("read-only folder") << int(ReadOnlyFolder) << "新しい内容\n";
}

void TestDocuments::failedSaveKeepsTheEarlierTemplate()
{
    QFETCH(int, obstacle);
    QFETCH(QString, text);

    if (obstacle == ReadOnlyFolder && geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    QTemporaryDir folder;
    QString programDirectory = folder.path() + u'/';
    const QString earlier = folder.filePath(kMail);
    if (obstacle == FolderAsTemplate)
        writeFile(earlier + "/inside.txt", "kept");
    else
        writeFile(earlier, cp932("以前の内容\r\n"));
    if (obstacle == MissingFolder)
        programDirectory += QStringLiteral("missing/");
    if (obstacle == ReadOnlyTemplate)
        QFile::setPermissions(earlier, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (obstacle == ReadOnlyFolder)
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto restore = qScopeGuard([&] { // so that the folder can be removed
        if (obstacle == ReadOnlyFolder)
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (obstacle == ReadOnlyTemplate)
            QFile::setPermissions(earlier, QFile::ReadOwner | QFile::WriteOwner);
    });
    const auto before = snapshot(folder.path());

    TForm1 form;
    form.Edit14->setText(programDirectory);
    form.RichEdit2->setPlainText(text);
    const QString expected =
        obstacle == UnencodableText ? kStreamWrite : cannotCreate(programDirectory + kMail);

    QCOMPARE(thrownBy(form, &TForm1::Button41Click), expected);
    QCOMPARE(snapshot(folder.path()), before);

    testsupport::ErrorBoxes boxes;
    form.Button41->click();
    QCOMPARE(boxes.texts, QStringList{platform::errorBoxText(expected)});
    QCOMPARE(snapshot(folder.path()), before);
    QCOMPARE(form.RichEdit2->toPlainText(), text); // the user's text stays to be saved elsewhere
    // The first character that cannot be written is selected for the user.
    QCOMPARE(form.RichEdit2->textCursor().selectedText(),
             obstacle == UnencodableText ? QStringLiteral("😀") : QString());
}

void TestDocuments::plainViewerEditingKeys()
{
    TForm1 form;
    QPlainTextEdit* viewer = form.RichEdit2;
    QVERIFY(!viewer->isReadOnly());
    QVERIFY(viewer->testAttribute(Qt::WA_InputMethodEnabled));

    viewer->setPlainText(QStringLiteral("氏名：山田"));
    viewer->selectAll();
    QTest::keyClick(viewer, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("氏名：山田"));
    QTest::keyClick(viewer, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(viewer->toPlainText(), QString());
    QTest::keyClick(viewer, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(viewer, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(viewer->toPlainText(), QStringLiteral("氏名：山田氏名：山田"));
}

QTEST_MAIN(TestDocuments)
#include "test_documents.moc"
