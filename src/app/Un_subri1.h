#pragma once
// The program's one window, TForm1. Every control is a public member with
// its designed name; every operation of the program is a handler slot of
// this class. The controls hold the state: numbers live as decimal text in
// fields and labels and are converted at every use. The few values no
// control shows are the members under "Values no control shows".
//
// Handlers are defined in the file of the subsystem they belong to:
//   app/         start-up, pages, hint line, program directory
//   questions/   question-set list, question table, readers, range
//   presentation/ tick cycle, presets and period rules, timing measurement
//   display/     fonts, answer arrangement, window layouts
//   explanation/ documents and the mail template

#include "widgets/DeferredMemo.h"
#include "platform/handler_guard.h"

#include <QHash>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTextEdit;

namespace platform {
class FontDialog;
class SaveDialog;
class HintLine;
class OpenDialog;
class PageControl;
class PresentationTimer;
class StringGrid;
class UpDown;
} // namespace platform

namespace questions {
class MonLines;
class TqFile;
struct QuestionFile;
struct AnkiPackage;
} // namespace questions

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- Window -------------------------------------------------------------
    platform::PageControl* PageControl1;
    QWidget* TabSheet2; // 読込・出題設定 (loading)
    QWidget* TabSheet1; // チャレンジ画面 (challenge)
    QWidget* TabSheet3; // 画面脇常駐 (screen-side)
    QWidget* TabSheet4; // 解説 (explanation)
    QStatusBar* StatusBar1;
    static constexpr int kStatusBarHeight = 19; // along the bottom edge
    platform::PresentationTimer* Timer1;
    platform::OpenDialog* OpenDialog1;
    platform::SaveDialog* SaveDialog1; // the question table's save
    platform::FontDialog* FontDialog1;

    // ---- Loading page -------------------------------------------------------
    QLabel* Label26;
    QPushButton* Button3;
    QLineEdit* Edit3;
    QLabel* Label27;
    platform::StringGrid* StringGrid1;
    QLabel* Label37;
    QPushButton* Button16;
    QPushButton* Button4;
    platform::StringGrid* StringGrid2;
    QPushButton* Button15;
    QLabel* Label29;
    QLabel* Label14;
    QLineEdit* Edit6;
    QLabel* Label16;
    QLineEdit* Edit8;
    QLabel* Label15;
    QLineEdit* Edit7;
    QLineEdit* Edit14;
    platform::DeferredMemo* Memo1; // the line store's box: its text decoded when first seen or read
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLabel* Label9;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QPushButton* Button2;

    // ---- Challenge page -----------------------------------------------------
    QPushButton* Button1;
    QLineEdit* Edit9;
    QLabel* Label33;
    QLabel* Label34;
    QLabel* Label32;
    QGroupBox* RadioGroup1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QPushButton* But_oto;
    QLabel* Label38;
    QLabel* Label25;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QLineEdit* Ed1;
    platform::UpDown* UpDown1;
    QLineEdit* Edit5;
    platform::UpDown* UpDown2;
    QLineEdit* Edit4;
    platform::UpDown* UpDown3;
    QPushButton* seigou_tori;
    QPushButton* seigou_tori2;
    QGroupBox* GroupBox1;
    QLabel* Label35;
    QLineEdit* Edit13;
    QLabel* Label36;
    QPushButton* Button6;
    QPushButton* Button5;
    QPushButton* Button8;
    QPushButton* Button9;
    QPushButton* Button7;
    QPushButton* Button29;
    QPushButton* Button32;
    QPushButton* Button23;
    QPushButton* Button24;
    QPushButton* Button25;
    QPushButton* Button26;
    QPushButton* Button27;
    QPushButton* Button18;
    QPushButton* Button19;
    QPushButton* Button20;
    QPushButton* Button21;
    QPushButton* Button22;
    QPushButton* Button10;
    QLabel* Label20;
    QLineEdit* Edit10;
    QLabel* Label10;
    QLineEdit* Edit12;
    QLabel* Label11;
    QLineEdit* Edit11;
    QLabel* Label12;
    QLabel* Lab16;
    QLineEdit* Ed10;
    QLabel* Label13;
    QLineEdit* Ed12;
    QLabel* Lab14;
    QLineEdit* Ed11;
    QLabel* Lab15;
    QLabel* Label21;
    QLabel* Label23;
    QLabel* Label24;
    QLabel* Label22;
    QPushButton* But4;
    QPlainTextEdit* Memo2;
    QPlainTextEdit* Memo3;
    QPushButton* Button11;
    QPushButton* Button12;
    QPushButton* Button13;
    QPushButton* Button14;
    QPushButton* Button28;
    QPushButton* bt_size1_5;
    QPushButton* bt_size1_8;
    QPushButton* bt_Sizehenkou;

    // ---- Screen-side page ---------------------------------------------------
    QLabel* Label31;
    QLabel* Label8;
    QPushButton* Button17;
    QPushButton* Button33;
    QPushButton* Button34;
    QPushButton* Button35;
    QPushButton* B18_gamen3sousa;

    // ---- Explanation page ---------------------------------------------------
    QLabel* Label30;
    QLabel* Label28;
    QTextEdit* RichEdit1;
    QPlainTextEdit* RichEdit2;
    QPushButton* Button36;
    QPushButton* Button30;
    QPushButton* Button31;
    QPushButton* Button37;
    QPushButton* Button38;
    QPushButton* Button39;
    QPushButton* Button41;

    // ---- Values no control shows ------------------------------------------
    int32_t restartTickCount = 0;     // ticks since the last restart
    int32_t lapTickCount = 0;         // ticks since the last answer flash
    int32_t currentQuestion = 0;      // row of the question table shown
    int32_t shownSinceStart = 0;      // answer flashes since Start (Edit9)
    int32_t shownSinceRestart = 0;    // answer flashes since the last restart (Edit13)
    int32_t storedQuestionPeriod = 50; // question period taken at the last restart
    int32_t previousFlashTime = 0;    // tick counter at the previous answer flash
    bool measuredOnce = false;        // a measurement has taken place since start
    int32_t textFileCount = 0;        // text question files opened so far
    // The reader (open dialog type entry) whose open last wrote each list
    // row, 0 for a row no open has written: what a click on the row appends.
    std::array<int, 9> listRowEntries{};
    QString storedRangeStart;         // range texts behind the double-clicks
    QString storedRangeEnd;
    std::unique_ptr<questions::TqFile> currentBinaryFile;
    // The Anki package the last package open read: its rows append from it.
    std::shared_ptr<const questions::AnkiPackage> currentAnkiPackage;
    // The CSV/TSV file the last text open read, kept for the next append,
    // which takes over its questions when the file still holds those bytes.
    std::unique_ptr<questions::QuestionFile> csvReadAtOpen;
    QList<const QLineEdit*> tickErrorFields; // fields whose fault the tick has shown, until valid again
    std::mt19937 random;              // order of random presentation

    // Sets a field's text as the program does: when the text really changes,
    // the field's change handler runs at once, nested in the caller, and its
    // errors travel to the caller.
    void setFieldText(QLineEdit* field, const QString& text);
    // The number in a field or label, by the one conversion rule.
    static int intOf(const QLineEdit* field);
    static int intOf(const QLabel* label);

    // Questions: the opening sequence, the shared steps of the append and
    // the format mode.
    bool binaryMode() const;
    // Reads the file with the reader of `typeEntry` and, only when it could
    // be read whole, shows it (format mode, current folder, list, count,
    // path field, table header); otherwise raises its error, nothing changed.
    void openQuestionFile(const QString& path, int typeEntry);
    // Opens files named outside the dialog (command line, drop), in order,
    // each with the reader its extension names; a file that fails shows its
    // error and the rest still open. Returns how many opened.
    int openQuestionFiles(const QStringList& paths);
    // Shows `page` as a click on its tab does: the page left, the page, and
    // the layout of the page now shown.
    void turnToPage(QWidget* page);
    void showBinaryFile(questions::QuestionFile file);
    void showTextFile(questions::QuestionFile file);
    // Fills the list with the package's decks (rows 1–8, the rest emptied).
    void showAnkiPackage(questions::QuestionFile file);
    // Appends the questions of list row `row` of the package shown.
    void appendAnkiRow(int row);
    void showInLineStore(const questions::QuestionFile& file);
    questions::MonLines lineStore() const;
    int textListRow() const;
    using QuestionVisitor = std::function<void(const QString& question, const QString& answer)>;
    // Hands the questions of genre `row` of the list, read from the binary file, to `visit`.
    void forEachGenreQuestion(int row, const QuestionVisitor& visit);
    // Makes room in the question table for `count` more rows at once, ahead
    // of appending them one by one.
    void reserveQuestionRows(qsizetype count);
    void appendQuestionRow(const QString& question, const QString& answer, const QString& genre);
    void extendTableHeader(const QString& setName);
    void finishAppend();
    void setEnabledAfterLoad(bool enabled);
    QList<QPushButton*> enabledAfterLoadButtons() const;
    void tusitu(qint64 offset);
    // The question table's context menu; returns its save entry.
    QAction* createQuestionTableMenu();

    // Program directory: the absolute current directory with a trailing separator.
    static QString programDirectory();

    // Runs a handler for an event: errors go to the error box.
    platform::HandlerGuard guard;

public slots:
    // Start-up and window (app/)
    void FormCreate();
    void FormActivate();
    void FormResize();
    void Edit14Click();
    void DisplayHint(const QString& hint);

    // Question sets (questions/)
    void Button3Click();
    void StringGrid1SelectCell(int ACol, int ARow);
    void janlu_list();
    void Button4Click();
    void Button4MouseMove();
    void StringGrid2MouseMove();
    void StringGrid2DblClick();
    void StringGrid2RowMoved(int FromIndex, int ToIndex);
    void Button15Click();
    void Edit6Change();
    void Edit8Change();
    void Edit6DblClick();
    void Edit8DblClick();
    void SaveQuestionTable();

    // Presentation (presentation/)
    void Button1Click();
    void Button16Click();
    void Timer1Timer();
    void But_otoClick();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void Button18Click();
    void Button19Click();
    void Button20Click();
    void Button21Click();
    void Button22Click();
    void Button23Click();
    void Button24Click();
    void Button25Click();
    void Button26Click();
    void Button27Click();
    void Button29Click();
    void Button32Click();
    void UpDown1Changing();
    void seigou_toriClick();
    void seigou_tori2Click();
    void Edit5MouseMove();
    void Edit10DblClick();
    void But4Click();
    void Button2Click();

    // Display (display/)
    void Button11Click();
    void Button12Click();
    void Button13Click();
    void Button14Click();
    void Button28Click();
    void Button7Exit();
    void bt_SizehenkouClick();
    void bt_size1_8Click();
    void bt_size1_5Click();
    void B18_gamen3sousaClick();
    void PageControl1Changing();
    void PageControl1Change();
    void Button17Click();
    void Button33Click();
    void Button34Click();
    void Button35Click();

    // Explanation (explanation/)
    void Button30Click();
    void Button31Click();
    void Button36Click();
    void Button37Click();
    void Button38Click();
    void Button39Click();
    void Button41Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createWindow();
    void createLoadingPage();
    void createChallengePage();
    void createPresetGroup();
    void createMeasurementFields();
    void createScreenSidePage();
    void createExplanationPage();
    void connectEvents();
    void runChangeHandler(QLineEdit* field);
    void updateRangeCount();

    platform::HintLine* hintLine_ = nullptr;
    QHash<QObject*, void (TForm1::*)()> changeHandlers_;
    QHash<QObject*, void (TForm1::*)()> doubleClickHandlers_;
    QHash<QObject*, void (TForm1::*)()> mouseMoveHandlers_;
    QHash<QObject*, void (TForm1::*)()> focusLeaveHandlers_;
    bool activatedOnce_ = false;
};
