#pragma once
// Reader for documents in the Rich Text Format, as shown by the rich viewer of
// the explanation page. It fills a QTextDocument with the text and the
// character and paragraph formatting it understands and passes over the rest.
//
// Understood: groups; control words with their numeric parameter and control
// symbols; \'hh bytes in the document's code page (\ansicpgN) or in the code
// page of the current font's character set (\fcharsetN, \cpgN), a double-byte
// character written as two escapes being decoded as one; \uN with the \ucN
// fallback count; the font table (families), the colour table; \par, \line,
// \tab, \page, \cell, \row and the named special characters; \b, \i, \ul,
// \strike, \fs, \f, \cf, \highlight/\cb, \plain; the run types \loch, \hich,
// \dbch and \rtlch/\ltrch with the associated \ab, \ai, \aul, \afs and \af,
// which apply to the runs of the type they follow (how word processors
// write the bold or the size of Japanese text apart from Latin text);
// \pard, \ql/\qc/\qr/\qj, \li, \ri, \fi, \sb, \sa. Skipped: the style sheet, document information,
// pictures, headers and footers, fields' instructions, \binN data and every
// {\* ...} group. Text bytes outside escapes that are not ASCII are code
// page 932, the program's code page, which is also the document code page
// when the document names none.
//
// Malformed input that starts as rich text is read as far as it makes sense:
// a truncated file ends where it ends, an extra closing brace ends the
// document, nesting deeper than a fixed limit is flattened, numbers saturate.

#include <QByteArrayView>

class QTextDocument;

namespace platform {

// True when the bytes open as rich text: "{\rtf" after optional leading
// white space (space, tab, CR, LF, form feed, vertical tab).
bool isRtf(QByteArrayView bytes);

// Replaces the whole content of *document with the rich text in bytes and
// returns true. Returns false and leaves the document untouched when the
// bytes are not rich text (see isRtf) or document is null, so that the
// caller can read the same bytes again as plain text.
bool readRtf(QByteArrayView bytes, QTextDocument* document);

} // namespace platform
