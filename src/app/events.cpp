// Which event of which control runs which handler. Every connection goes
// through the handler guard, so an error ends the handler and reaches the
// error box instead of the toolkit.

#include "app/Un_subri1.h"

#include "app/file_drops.h"
#include "widgets/PageControl.h"
#include "platform/PresentationTimer.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

#include <QAction>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void TForm1::connectEvents()
{
    const auto onClick = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { guard.run([=, this] { (this->*handler)(); }); });
    };
    onClick(Button3, &TForm1::Button3Click);
    onClick(Button4, &TForm1::Button4Click);
    onClick(Button15, &TForm1::Button15Click);
    onClick(Button16, &TForm1::Button16Click);
    onClick(Button2, &TForm1::Button2Click);
    onClick(Button1, &TForm1::Button1Click);
    onClick(But_oto, &TForm1::But_otoClick);
    onClick(But4, &TForm1::But4Click);
    onClick(seigou_tori, &TForm1::seigou_toriClick);
    onClick(seigou_tori2, &TForm1::seigou_tori2Click);
    onClick(Button5, &TForm1::Button5Click);
    onClick(Button6, &TForm1::Button6Click);
    onClick(Button7, &TForm1::Button7Click);
    onClick(Button8, &TForm1::Button8Click);
    onClick(Button9, &TForm1::Button9Click);
    onClick(Button10, &TForm1::Button10Click);
    onClick(Button18, &TForm1::Button18Click);
    onClick(Button19, &TForm1::Button19Click);
    onClick(Button20, &TForm1::Button20Click);
    onClick(Button21, &TForm1::Button21Click);
    onClick(Button22, &TForm1::Button22Click);
    onClick(Button23, &TForm1::Button23Click);
    onClick(Button24, &TForm1::Button24Click);
    onClick(Button25, &TForm1::Button25Click);
    onClick(Button26, &TForm1::Button26Click);
    onClick(Button27, &TForm1::Button27Click);
    onClick(Button29, &TForm1::Button29Click);
    onClick(Button32, &TForm1::Button32Click);
    onClick(Button11, &TForm1::Button11Click);
    onClick(Button12, &TForm1::Button12Click);
    onClick(Button13, &TForm1::Button13Click);
    onClick(Button14, &TForm1::Button14Click);
    onClick(Button28, &TForm1::Button28Click);
    onClick(bt_size1_5, &TForm1::bt_size1_5Click);
    onClick(bt_size1_8, &TForm1::bt_size1_8Click);
    onClick(bt_Sizehenkou, &TForm1::bt_SizehenkouClick);
    onClick(Button17, &TForm1::Button17Click);
    onClick(Button33, &TForm1::Button33Click);
    onClick(Button34, &TForm1::Button34Click);
    onClick(Button35, &TForm1::Button35Click);
    onClick(B18_gamen3sousa, &TForm1::B18_gamen3sousaClick);
    onClick(Button30, &TForm1::Button30Click);
    onClick(Button31, &TForm1::Button31Click);
    onClick(Button36, &TForm1::Button36Click);
    onClick(Button37, &TForm1::Button37Click);
    onClick(Button38, &TForm1::Button38Click);
    onClick(Button39, &TForm1::Button39Click);
    onClick(Button41, &TForm1::Button41Click);

    // Change handlers: the user's edits arrive through textChanged; the
    // program's own changes go through setFieldText, which blocks the signal
    // and runs the handler directly.
    changeHandlers_ = {
        {Edit6, &TForm1::Edit6Change},
        {Edit8, &TForm1::Edit8Change},
        {Edit5, &TForm1::seigou_toriClick},
        {Edit4, &TForm1::seigou_tori2Click},
    };
    for (auto it = changeHandlers_.cbegin(); it != changeHandlers_.cend(); ++it) {
        auto* field = static_cast<QLineEdit*>(it.key());
        const auto handler = it.value();
        connect(field, &QLineEdit::textChanged, this, [this, handler] { guard.run([=, this] { (this->*handler)(); }); });
    }

    // Up-downs write their fields like the program does.
    for (platform::UpDown* upDown : {UpDown1, UpDown2, UpDown3}) {
        QLineEdit* field = upDown->associated();
        upDown->fieldWriter = [this, field](const QString& text) {
            guard.run([=, this] { setFieldText(field, text); });
        };
    }
    connect(UpDown1, &platform::UpDown::changing, this, [this] { guard.run([this] { UpDown1Changing(); }); });

    connect(Timer1, &platform::PresentationTimer::timeout, this, [this] { guard.run([this] { Timer1Timer(); }); });

    connect(StringGrid1, &platform::StringGrid::selectCell, this,
            [this](int column, int row) { guard.run([=, this] { StringGrid1SelectCell(column, row); }); });
    connect(StringGrid2, &platform::StringGrid::rowMoved, this,
            [this](int from, int to) { guard.run([=, this] { StringGrid2RowMoved(from, to); }); });
    connect(StringGrid2, &platform::StringGrid::doubleClicked, this,
            [this] { guard.run([this] { StringGrid2DblClick(); }); });
    connect(createQuestionTableMenu(), &QAction::triggered, this,
            [this] { guard.run([this] { SaveQuestionTable(); }); });

    connect(PageControl1, &platform::PageControl::userChanging, this,
            [this] { guard.run([this] { PageControl1Changing(); }); });
    connect(PageControl1, &platform::PageControl::userChanged, this,
            [this] { guard.run([this] { PageControl1Change(); }); });

    doubleClickHandlers_ = {
        {Edit6, &TForm1::Edit6DblClick},
        {Edit8, &TForm1::Edit8DblClick},
        {Edit10, &TForm1::Edit10DblClick},
    };
    mouseMoveHandlers_ = {
        {Button4, &TForm1::Button4MouseMove},
        {StringGrid2->viewport(), &TForm1::StringGrid2MouseMove},
        {StringGrid2, &TForm1::StringGrid2MouseMove},
        {Edit4, &TForm1::Edit5MouseMove},
        {Edit5, &TForm1::Edit5MouseMove},
        {UpDown2, &TForm1::Edit5MouseMove},
        {UpDown3, &TForm1::Edit5MouseMove},
    };
    focusLeaveHandlers_ = {
        {Button7, &TForm1::Button7Exit},
        {Button29, &TForm1::Button7Exit},
        {Button32, &TForm1::Button7Exit},
    };
    for (const auto* handlers : {&doubleClickHandlers_, &mouseMoveHandlers_, &focusLeaveHandlers_}) {
        for (QObject* watched : handlers->keys()) {
            watched->installEventFilter(this);
            if (auto* widget = qobject_cast<QWidget*>(watched))
                widget->setMouseTracking(true);
        }
    }
    Edit14->installEventFilter(this);

    // Question files dropped anywhere on the window open as if chosen in the open dialog.
    app::acceptFileDrops(*this, [this](const QStringList& files) { openQuestionFiles(files); });

    // Every control receives mouse movement, so the hint line follows the pointer.
    for (QWidget* child : findChildren<QWidget*>())
        child->setMouseTracking(true);
    setMouseTracking(true);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    const auto run = [this](void (TForm1::*handler)()) { guard.run([=, this] { (this->*handler)(); }); };
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (const auto handler = doubleClickHandlers_.value(watched))
            run(handler);
        break;
    case QEvent::MouseMove:
        if (const auto handler = mouseMoveHandlers_.value(watched))
            run(handler);
        break;
    case QEvent::FocusOut: {
        // Focus leaving for another control of the window; switching to
        // another program or opening a menu is not leaving the control.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        if (const auto handler = focusLeaveHandlers_.value(watched))
            run(handler);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (watched == Edit14)
            run(&TForm1::Edit14Click);
        break;
    case QEvent::FontChange:
        // The screen-side labels size themselves to their text.
        if (watched == Label31 || watched == Label8)
            static_cast<QLabel*>(watched)->adjustSize();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
