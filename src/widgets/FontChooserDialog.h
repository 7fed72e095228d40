#pragma once
// The font dialog the user sees: face, style and size in three lists with an
// entry field above each, the effects (strike-out, underline, colour) and a
// sample line, all in Japanese like the desktop's own font dialog. Preset with
// a font and a text colour; what the user does not touch stays exactly as it
// was given (family name, pixel size, weight), so confirming untouched gives
// back the same font and colour.

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {

class FontChooserDialog : public QDialog {
    Q_OBJECT
public:
    FontChooserDialog(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QFont chosenFont() const { return m_font; }
    QColor chosenColor() const { return m_color; }

    // The sixteen basic colours offered first in the colour list.
    static const QList<QPair<QString, QColor>>& basicColors();

private:
    void fillFamilies();
    void fillStyles();
    void fillSizes();
    void fillColors();
    void chooseFamily(const QString& family);
    void chooseStyle(int style);
    void chooseSize(const QString& text);
    void chooseColor(int index);
    void showCustomColor(const QColor& color);
    void updateSample();
    int pointSize() const;

    QFont m_font;
    QColor m_color;
    int m_colorIndex = 0;

    QLineEdit* m_familyEdit;
    QListWidget* m_familyList;
    QLineEdit* m_styleEdit;
    QListWidget* m_styleList;
    QLineEdit* m_sizeEdit;
    QListWidget* m_sizeList;
    QCheckBox* m_strikeOut;
    QCheckBox* m_underline;
    QComboBox* m_colorBox;
    QLabel* m_sample;
    QPushButton* m_ok;
};

} // namespace platform
