#pragma once
// The plain text of the HTML a card shows. Anki keeps notes and card
// templates as HTML; the question table holds plain text, with line breaks
// as a CSV field's line break gives them ("\r\n").

#include <QString>
#include <QStringView>

namespace questions {

// Tags removed; <br>, <hr> and the ends of <div>, <p> and <li> become line
// breaks; the contents of <script> and <style> and HTML comments are
// dropped; entities (named, decimal and hex) decoded; "[sound:…]" tags and
// images removed. Runs of white space inside a line become one space, as a
// browser shows them; every line is trimmed and blank lines are dropped.
QString htmlToText(QStringView html);

// Whether a field holds anything a card would show: not only white space,
// non-breaking spaces, <br> and empty <div>s (a picture counts as content).
bool htmlFieldHasContent(QStringView html);

} // namespace questions
