// Saving the question table as a question file, from its context menu:
// rows 1 … last non-empty row, the question and answer columns (visual
// positions 1 and 2), in the table's current order.

#include "app/Un_subri1.h"

#include "widgets/StringGrid.h"
#include "widgets/dialogs.h"
#include "platform/errors.h"
#include "platform/replace_file.h"
#include "questions/table_format.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {

} // namespace

QAction* TForm1::createQuestionTableMenu()
{
    auto* menu = new QMenu(StringGrid2);
    menu->setObjectName(QStringLiteral("StringGrid2Menu"));
    menu->setFont(font()); // a popup takes no font from its parent: the window's
    QAction* save = menu->addAction(QStringLiteral("問題集として保存…"));
    save->setObjectName(QStringLiteral("SaveQuestionTableAction"));
    StringGrid2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid2, &QWidget::customContextMenuRequested, menu,
            [this, menu](const QPoint& pos) { menu->popup(StringGrid2->viewport()->mapToGlobal(pos)); });
    return save;
}

void TForm1::SaveQuestionTable()
{
    if (StringGrid2->isEditing())
        StringGrid2->commitEdit();
    if (!SaveDialog1->execute())
        return;
    const QString path = SaveDialog1->fileName();

    int lastRow = StringGrid2->rowCount() - 1;
    while (lastRow >= 1 && StringGrid2->cell(1, lastRow).isEmpty() && StringGrid2->cell(2, lastRow).isEmpty())
        --lastRow;
    QList<questions::QuestionPair> pairs;
    for (int row = 1; row <= lastRow; ++row)
        pairs.append({StringGrid2->cell(1, row), StringGrid2->cell(2, row)});

    QByteArray bytes;
    switch (questions::saveFormatFor(path, SaveDialog1->filterIndex())) {
    case questions::SaveFormat::Mon: {
        int refusedRow = 0;
        if (!questions::monFileBytes(questions::setNameForSave(StringGrid2->cell(1, 0), path), pairs, &bytes, &refusedRow))
            throw platform::Error(QStringLiteral("問題表の %1 行目は mon 形式で保存できません").arg(refusedRow));
        break;
    }
    case questions::SaveFormat::Csv:
        bytes = questions::csvFileBytes(pairs, u',');
        break;
    case questions::SaveFormat::Tsv:
        bytes = questions::csvFileBytes(pairs, u'\t');
        break;
    }
    platform::replaceFile(path, [&bytes] { return bytes; });
}
