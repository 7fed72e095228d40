#include "widgets/group_box_style.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace display {

namespace {

// Distance of a group box's caption from its left edge.
constexpr int kCaptionIndent = 8;

class DesignedGroupBoxStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_GroupBox)
            return rect;
        if (sub == SC_GroupBoxLabel || sub == SC_GroupBoxCheckBox)
            return rect.translated(kCaptionIndent, 0);
        if (sub == SC_GroupBoxFrame)
            rect.setTop(frameTop(option, widget));
        return rect;
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box || !(box->subControls & SC_GroupBoxFrame)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        // An etched frame line through the caption's middle, broken where the
        // caption stands (the toolkit's own frame starts below the caption).
        painter->save();
        QRegion outside(box->rect);
        if (!box->text.isEmpty())
            outside -= subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget).adjusted(-2, 0, 2, 0);
        painter->setClipRegion(outside);
        qDrawShadeRect(painter, subControlRect(CC_GroupBox, box, SC_GroupBoxFrame, widget), box->palette, true, 1, 0);
        painter->restore();

        QStyleOptionGroupBox rest = *box;
        rest.subControls &= ~SC_GroupBoxFrame;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
    }

private:
    int frameTop(const QStyleOptionComplex* option, const QWidget* widget) const
    {
        const QRect caption = QProxyStyle::subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
        return caption.isEmpty() ? option->rect.top() : caption.center().y();
    }
};

} // namespace

QStyle* designedGroupBoxStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new DesignedGroupBoxStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp); // lives as long as the application
    }
    return style;
}

} // namespace display
