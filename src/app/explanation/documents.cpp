// The explanation page: six buttons that each read one accompanying
// document from the program directory into the rich or the plain viewer,
// and the save button that writes the plain viewer back as the mail
// template.

#include "app/Un_subri1.h"

#include "explanation/document_files.h"
#include "text/rtf_reader.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const QString kMailTemplate = QStringLiteral("MRLDmail.DOC");

enum class Viewer { Rich, Plain };

struct Document {
    QString fileName;
    Viewer viewer;
    bool savable; // the save button is shown after reading it
};

const Document kVersionDocument{QStringLiteral("MIRELD08.DOC"), Viewer::Plain, false};
const Document kRhythmDocument{QStringLiteral("mrld_D01.doc"), Viewer::Rich, false};
const Document kMemorisingDocument{QStringLiteral("mrld_D02.doc"), Viewer::Rich, false};
const Document kLocationList{QStringLiteral("QLOPLIST.DOC"), Viewer::Plain, false};
const Document kLetters{QStringLiteral("mrld_D03.doc"), Viewer::Rich, false};
const Document kMailDocument{kMailTemplate, Viewer::Plain, true};

// Shows the document's viewer and reads the file into it, replacing its
// whole content. The viewer and save-button switch happens first, so a file
// that cannot be opened leaves the switched viewer with its earlier content.
void readDocument(TForm1& form, const Document& document)
{
    const bool rich = document.viewer == Viewer::Rich;
    form.Button41->setVisible(document.savable);
    if (rich) {
        form.RichEdit1->setVisible(true);
        form.RichEdit2->setVisible(false);
    } else {
        form.RichEdit2->setVisible(true);
        form.RichEdit1->setVisible(false);
    }
    const QString path = form.Edit14->text() + document.fileName;
    const QByteArray bytes = explanation::readDocumentFile(path);
    if (rich) {
        // Bytes that are not rich text are shown as plain text, markup and all.
        if (!platform::readRtf(bytes, form.RichEdit1->document()))
            form.RichEdit1->document()->setPlainText(explanation::plainDocumentText(bytes));
    } else {
        form.RichEdit2->setPlainText(explanation::plainDocumentText(bytes));
    }
}

} // namespace

void TForm1::Button36Click() { readDocument(*this, kVersionDocument); }
void TForm1::Button30Click() { readDocument(*this, kRhythmDocument); }
void TForm1::Button31Click() { readDocument(*this, kMemorisingDocument); }
void TForm1::Button37Click() { readDocument(*this, kLocationList); }
void TForm1::Button38Click() { readDocument(*this, kLetters); }
void TForm1::Button39Click() { readDocument(*this, kMailDocument); }

namespace {

// Selects the character at `index` of the viewer's text (both halves of a
// surrogate pair) and gives the viewer the focus, so it shows the selection.
void selectCharacter(QPlainTextEdit* viewer, qsizetype index)
{
    const QString text = viewer->toPlainText();
    const qsizetype length =
        text[index].isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate() ? 2 : 1;
    QTextCursor cursor(viewer->document());
    cursor.setPosition(int(index));
    cursor.setPosition(int(index + length), QTextCursor::KeepAnchor);
    viewer->setTextCursor(cursor);
    viewer->setFocus();
}

} // namespace

void TForm1::Button41Click()
{
    // Whatever the plain viewer holds is saved, whichever document it came from.
    // A character that cannot be written ends the save with the write error
    // and nothing written; it is selected, so the user sees which one it is.
    qsizetype unwritable = -1;
    try {
        explanation::saveMailTemplate(Edit14->text() + kMailTemplate, RichEdit2->toPlainText(), &unwritable);
    } catch (...) {
        if (unwritable >= 0)
            selectCharacter(RichEdit2, unwritable);
        throw;
    }
}
