#pragma once
// The vocabulary of the rich-text reader: the control words it acts on and
// the code pages that documents name for their text.

#include <QByteArrayView>
#include <QFont>
#include <QString>

#include <string_view>

namespace platform::rtf {

// The program's own code page: the default for documents that name none.
constexpr int kProgramCodePage = 932;

enum class Word {
    Unknown,
    // document
    AnsiCodePage, DefaultFont, UnicodeSkip, Unicode, Binary,
    // destinations
    FontTable, ColorTable, SkippedDestination,
    // font table
    Font, FontCharset, FontCodePage, FontFamily, FontPitch,
    // colour table
    Red, Green, Blue,
    // text
    Paragraph, Character, Plain, Bold, Italic, Underline, UnderlineNone, StrikeOut,
    FontSize, Foreground, Background,
    // run types and the associated properties that apply to runs of a type
    LowRun, HighRun, DoubleByteRun, RightToLeftRun, LeftToRightRun,
    AssociatedBold, AssociatedItalic, AssociatedUnderline, AssociatedFontSize, AssociatedFont,
    // paragraph formatting
    ParagraphDefault, AlignLeft, AlignCenter, AlignRight, AlignJustify,
    LeftIndent, RightIndent, FirstLineIndent, SpaceBefore, SpaceAfter,
};

struct WordInfo {
    Word word = Word::Unknown;
    char16_t character = 0;          // Word::Character: the character written
    QFont::StyleHint styleHint = QFont::AnyStyle; // Word::FontFamily
};

// What a control word means; Word::Unknown for words the reader passes over.
WordInfo lookUp(std::string_view name);

// The code page of a font character set (\fcharsetN); 0 when the character
// set leaves it to the document.
int codePageOfCharset(int charset);

// Text bytes in a Windows code page; code page 932 and code pages the
// converter does not know through the program's own code page 932 decoder.
QString decodeCodePage(QByteArrayView bytes, int codePage);

} // namespace platform::rtf
