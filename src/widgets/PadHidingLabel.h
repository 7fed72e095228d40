#pragma once
// A text label for question and answer texts: it draws its text without the
// pad characters (pad_chars.h) and sizes itself to what it draws, while
// text() keeps the text as it was set.

#include <QLabel>

namespace platform {

class PadHidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit PadHidingLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The width the pad characters would take in the label's own size hint.
    int padWidth() const;
};

} // namespace platform
