// The window itself: its pages and non-visual components, start-up, the
// hint line, the program directory, and the one way the program sets a
// field's text.

#include "app/Un_subri1.h"

#include "app/controls.h"
#include "app/program_icon.h"
#include "widgets/HintLine.h"
#include "widgets/PageControl.h"
#include "platform/PresentationTimer.h"
#include "widgets/dialogs.h"
#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/translations.h"
#include "questions/question_file_reader.h"

#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStatusBar>

using namespace app;

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    createWindow();
    createLoadingPage();
    createChallengePage();
    createScreenSidePage();
    createExplanationPage();
    fitCaptionsToText(this);
    connectEvents();
    FormCreate();
}

// Closing the window closes the beep's sound stream too (and so does
// destroying a window that was never closed).
TForm1::~TForm1()
{
    platform::setSoundOn(false);
}

void TForm1::createWindow()
{
    // What the window's fonts and dialogs need, set up once per process.
    registerFontSubstitutes();
    platform::installToolkitTranslations();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("MireldoVer0.8"));
    setWindowIcon(programIcon());
    setFont(designFont(15));

    PageControl1 = new platform::PageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 997, 413);
    const auto addPage = [this](const char* name, const QString& caption, const QString& hint) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        if (!hint.isEmpty())
            page->setStatusTip(hint);
        PageControl1->addTab(page, caption);
        return page;
    };
    TabSheet2 = addPage("TabSheet2", QStringLiteral("読込・出題設定"), {});
    TabSheet1 = addPage("TabSheet1", QStringLiteral("チャレンジ画面"),
                        QStringLiteral("ようこそ！「Mireldo」の世界へ．．．脳波のα波θ波の創出と、問題文正解を繰り返し目にすることによる自然記憶の世界"));
    TabSheet3 = addPage("TabSheet3", QStringLiteral("画面脇常駐"), {});
    TabSheet4 = addPage("TabSheet4", QStringLiteral("解説"), {});
    PageControl1->setCurrentWidget(TabSheet1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    Timer1 = new platform::PresentationTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);

    OpenDialog1 = new platform::OpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setFilter(QStringLiteral("ごたく形式(.5TQ)|*.5TQ|Quillop形式(mon)|*.mon|CSV・TSV形式(*.csv;*.tsv;*.txt)|*.csv;*.tsv;*.txt"
                                          "|Ankiデッキ（*.apkg;*.colpkg）|*.apkg;*.colpkg"));
    OpenDialog1->setFilterIndex(2);

    SaveDialog1 = new platform::SaveDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setFilter(QStringLiteral("Quillop形式(mon)|*.mon|CSV形式 UTF-8(*.csv)|*.csv"));

    FontDialog1 = new platform::FontDialog(this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    FontDialog1->setFont(font());

    // The design size: the tab control with the status bar below it.
    resize(997, 413 + kStatusBarHeight);
}

void TForm1::FormCreate()
{
    hintLine_ = new platform::HintLine(this);
    connect(hintLine_, &platform::HintLine::hintChanged, this, &TForm1::DisplayHint);
}

void TForm1::DisplayHint(const QString& hint)
{
    StatusBar1->showMessage(hint);
}

QString TForm1::programDirectory()
{
    // A bare file name expanded against the current directory; keep its folder.
    const QString expanded = QDir::current().absoluteFilePath(QStringLiteral("x"));
    return QDir::toNativeSeparators(expanded.left(expanded.size() - 1));
}

void TForm1::FormActivate()
{
    setFieldText(Edit14, programDirectory());
}

void TForm1::Edit14Click()
{
    setFieldText(Edit14, programDirectory());
}

void TForm1::setFieldText(QLineEdit* field, const QString& text)
{
    if (field->text() == text)
        return;
    {
        const QSignalBlocker blocker(field);
        field->setText(text);
        field->setCursorPosition(0);
    }
    runChangeHandler(field);
}

void TForm1::runChangeHandler(QLineEdit* field)
{
    const auto handler = changeHandlers_.value(field);
    if (handler)
        (this->*handler)();
}

int TForm1::intOf(const QLineEdit* field)
{
    return platform::StrToInt(field->text());
}

int TForm1::intOf(const QLabel* label)
{
    return platform::StrToInt(label->text());
}

bool TForm1::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true; // hints go to the status bar only
    if (event->type() == QEvent::Show && !activatedOnce_) {
        activatedOnce_ = true;
        Edit9->setFocus(); // the designed initial focus
        guard.run([this] { FormActivate(); });
    }
    if (event->type() == QEvent::Close)
        platform::setSoundOn(false);
    return QWidget::event(event);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    StatusBar1->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
    guard.run([this] { FormResize(); });
}
