#pragma once
// Small helpers that create controls at their designed places with their
// designed captions, hints, fonts and colours.

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace app {

// Design font families: the proportional and the fixed-pitch Gothic.
inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");

// Design colours.
inline const QColor kLime(0, 255, 0);
inline const QColor kYellow(255, 255, 0);
inline const QColor kRed(255, 0, 0);
inline const QColor kOlive(128, 128, 0);
inline const QColor kGray(128, 128, 128);
inline const QColor kBlack(0, 0, 0);

// The window font: "ＭＳ Ｐゴシック" 15 px.
QFont designFont(int pixelSize = 15, bool bold = false, const QString& family = kPGothic);

// Registers the Japanese design fonts' substitutes (IPA Gothic families).
void registerFontSubstitutes();

void place(QWidget* widget, const char* name, int left, int top, int width, int height,
           const QString& hint = {});

QLabel* makeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const QString& caption, const QString& hint = {});
// Places a label made elsewhere (of a class of its own) as makeLabel does.
QLabel* setUpLabel(QLabel* label, const char* name, int left, int top, int width, int height,
                   const QString& hint = {});
QPushButton* makeButton(QWidget* parent, const char* name, int left, int top, int width, int height,
                        const QString& caption, const QString& hint = {});
QLineEdit* makeEdit(QWidget* parent, const char* name, int left, int top, int width, int height,
                    const QString& text, const QString& hint = {});
QPlainTextEdit* makeMemo(QWidget* parent, const char* name, int left, int top, int width, int height,
                         const QString& text, const QString& hint = {});

// The substitute fonts draw some captions a few pixels wider than the design
// fonts: a label whose caption would be cut is widened just enough (to the
// left when it is right-aligned, like a self-sizing label), so every caption
// reads whole. A label never becomes narrower than it is.
void fitCaptionToText(QLabel* label);
void fitCaptionsToText(QWidget* window);

// Colours through the palette (fields and memos: Base; labels: Window with
// an opaque background) and the text colour of any control.
void setFieldColor(QWidget* field, const QColor& color);
void setLabelBackground(QLabel* label, const QColor& color);
void setTextColor(QWidget* widget, const QColor& color);
QColor fieldColor(const QWidget* field);

} // namespace app
