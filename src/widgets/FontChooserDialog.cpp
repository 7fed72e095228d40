#include "widgets/FontChooserDialog.h"

#include "text/font_points.h"
#include "platform/font_families.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace platform {

namespace {

const QString kSampleText = QStringLiteral("あぁアァ亜宇");
// The sizes offered in the list; any other whole size can be typed.
const int kListedSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// The sample is drawn at the chosen size up to this height; beyond it the
// sample box could show no whole character anyway.
constexpr int kLargestSamplePixels = 48;

enum Style { Regular, Italic, Bold, BoldItalic };
const char16_t* const kStyleNames[] = {u"標準", u"斜体", u"太字", u"太字 斜体"};

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(24, 12);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Selects the entry whose text matches `text` exactly (any letter case);
// otherwise scrolls to the first entry beginning with it. True on an exact match.
bool selectMatching(QListWidget* list, const QString& text)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().compare(text, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker blocker(list);
            list->setCurrentRow(row);
            return true;
        }
    }
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
            list->scrollToItem(list->item(row), QAbstractItemView::PositionAtTop);
            break;
        }
    }
    return false;
}

// An entry field over its list, as the desktop's font dialog shows each choice.
QListWidget* makeChoice(QGridLayout* grid, int column, const QString& caption, QLineEdit* edit,
                        QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(edit);
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->addWidget(label, 0, column);
    grid->addWidget(edit, 1, column);
    grid->addWidget(list, 2, column);
    return list;
}

} // namespace

const QList<QPair<QString, QColor>>& FontChooserDialog::basicColors()
{
    static const QList<QPair<QString, QColor>> colors = {
        {QStringLiteral("黒"), QColor(0, 0, 0)},          {QStringLiteral("栗色"), QColor(128, 0, 0)},
        {QStringLiteral("緑"), QColor(0, 128, 0)},        {QStringLiteral("オリーブ"), QColor(128, 128, 0)},
        {QStringLiteral("濃紺"), QColor(0, 0, 128)},      {QStringLiteral("紫"), QColor(128, 0, 128)},
        {QStringLiteral("青緑"), QColor(0, 128, 128)},    {QStringLiteral("灰色"), QColor(128, 128, 128)},
        {QStringLiteral("銀色"), QColor(192, 192, 192)},  {QStringLiteral("赤"), QColor(255, 0, 0)},
        {QStringLiteral("ライム"), QColor(0, 255, 0)},    {QStringLiteral("黄"), QColor(255, 255, 0)},
        {QStringLiteral("青"), QColor(0, 0, 255)},        {QStringLiteral("赤紫"), QColor(255, 0, 255)},
        {QStringLiteral("水色"), QColor(0, 255, 255)},    {QStringLiteral("白"), QColor(255, 255, 255)},
    };
    return colors;
}

FontChooserDialog::FontChooserDialog(const QFont& font, const QColor& color, QWidget* parent)
    : QDialog(parent), m_font(font), m_color(color.isValid() ? color : QColor(Qt::black))
{
    setWindowTitle(QStringLiteral("フォント"));
    if (parent)
        setFont(parent->window()->font());

    auto* grid = new QGridLayout;
    m_familyEdit = new QLineEdit(this);
    m_familyList = makeChoice(grid, 0, QStringLiteral("フォント名(&F):"), m_familyEdit, this);
    m_styleEdit = new QLineEdit(this);
    m_styleList = makeChoice(grid, 1, QStringLiteral("スタイル(&Y):"), m_styleEdit, this);
    m_sizeEdit = new QLineEdit(this);
    m_sizeEdit->setValidator(new QIntValidator(1, INT_MAX, m_sizeEdit));
    m_sizeList = makeChoice(grid, 2, QStringLiteral("サイズ(&S):"), m_sizeEdit, this);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 1, 3, 2, 1, Qt::AlignTop);

    auto* effects = new QGroupBox(QStringLiteral("効果"), this);
    m_strikeOut = new QCheckBox(QStringLiteral("取り消し線(&K)"), effects);
    m_underline = new QCheckBox(QStringLiteral("下線(&U)"), effects);
    auto* colorLabel = new QLabel(QStringLiteral("色(&C):"), effects);
    m_colorBox = new QComboBox(effects);
    colorLabel->setBuddy(m_colorBox);
    auto* effectsLayout = new QVBoxLayout(effects);
    for (QWidget* widget : {static_cast<QWidget*>(m_strikeOut), static_cast<QWidget*>(m_underline),
                            static_cast<QWidget*>(colorLabel), static_cast<QWidget*>(m_colorBox)})
        effectsLayout->addWidget(widget);
    effectsLayout->addStretch();
    grid->addWidget(effects, 3, 0);

    auto* sampleBox = new QGroupBox(QStringLiteral("サンプル"), this);
    m_sample = new QLabel(kSampleText, sampleBox);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(240, 90);
    m_sample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);
    grid->addWidget(sampleBox, 3, 1, 1, 2);
    setLayout(grid);

    fillFamilies();
    fillStyles();
    fillSizes();
    fillColors();
    m_strikeOut->setChecked(m_font.strikeOut());
    m_underline->setChecked(m_font.underline());
    updateSample();

    // Connected after the preset, so that only the user's changes touch the font.
    connect(m_familyList, &QListWidget::currentTextChanged, this, [this](const QString& family) {
        m_familyEdit->setText(family);
        chooseFamily(family);
    });
    connect(m_familyEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (selectMatching(m_familyList, text))
            chooseFamily(m_familyList->currentItem()->text());
    });
    connect(m_styleList, &QListWidget::currentRowChanged, this, [this](int row) {
        m_styleEdit->setText(m_styleList->item(row)->text());
        chooseStyle(row);
    });
    connect(m_styleEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (selectMatching(m_styleList, text))
            chooseStyle(m_styleList->currentRow());
    });
    connect(m_sizeList, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        m_sizeEdit->setText(text);
        chooseSize(text);
    });
    connect(m_sizeEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        selectMatching(m_sizeList, text);
        chooseSize(text);
    });
    connect(m_strikeOut, &QCheckBox::toggled, this, [this](bool on) {
        m_font.setStrikeOut(on);
        updateSample();
    });
    connect(m_underline, &QCheckBox::toggled, this, [this](bool on) {
        m_font.setUnderline(on);
        updateSample();
    });
    connect(m_colorBox, &QComboBox::activated, this, &FontChooserDialog::chooseColor);
}

// The design's families first, under the names the user knows; then every
// installed family. A preset family found in neither is listed too, so that
// it stays selectable.
void FontChooserDialog::fillFamilies()
{
    QStringList families = registeredFontFamilies();
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family) && !families.contains(family))
            families << family;
    }
    const QString preset = m_font.family();
    if (!families.contains(preset, Qt::CaseInsensitive))
        families.prepend(preset);
    m_familyList->addItems(families);
    m_familyEdit->setText(preset);
    selectMatching(m_familyList, preset);
}

void FontChooserDialog::fillStyles()
{
    for (const char16_t* name : kStyleNames)
        m_styleList->addItem(QString::fromUtf16(name));
    const int style = (m_font.bold() ? Bold : Regular) + (m_font.italic() ? 1 : 0);
    m_styleList->setCurrentRow(style);
    m_styleEdit->setText(m_styleList->item(style)->text());
}

void FontChooserDialog::fillSizes()
{
    for (const int size : kListedSizes)
        m_sizeList->addItem(QString::number(size));
    const QString preset = QString::number(pointSize());
    m_sizeEdit->setText(preset);
    selectMatching(m_sizeList, preset);
}

void FontChooserDialog::fillColors()
{
    const auto& colors = basicColors();
    for (const auto& [name, color] : colors)
        m_colorBox->addItem(swatch(color), name, color);
    m_colorBox->addItem(QStringLiteral("カスタム..."));
    const auto basic = std::find_if(colors.begin(), colors.end(), [this](const auto& entry) {
        return entry.second.rgba() == m_color.rgba();
    });
    if (basic != colors.end()) {
        m_colorIndex = int(basic - colors.begin());
    } else {
        m_colorIndex = int(colors.size());
        showCustomColor(m_color);
    }
    m_colorBox->setCurrentIndex(m_colorIndex);
}

void FontChooserDialog::chooseFamily(const QString& family)
{
    if (family.isEmpty())
        return;
    m_font.setFamily(family);
    updateSample();
}

void FontChooserDialog::chooseStyle(int style)
{
    if (style < 0)
        return;
    m_font.setWeight(style >= Bold ? QFont::Bold : QFont::Normal);
    m_font.setItalic(style == Italic || style == BoldItalic);
    updateSample();
}

// A whole size from 1 point up; the font keeps being sized by character height.
void FontChooserDialog::chooseSize(const QString& text)
{
    bool valid = false;
    const int points = text.toInt(&valid);
    m_ok->setEnabled(valid && points >= 1);
    if (!m_ok->isEnabled())
        return;
    m_font.setPixelSize(std::max(1, display::pixelsFromPoints(points, logicalDpiY())));
    updateSample();
}

// A basic colour, or a colour of the user's own from the toolkit's colour
// dialog (the last entry); a cancelled colour dialog keeps the colour before.
void FontChooserDialog::chooseColor(int index)
{
    const auto& colors = basicColors();
    if (index < colors.size()) {
        m_color = colors[index].second;
        m_colorIndex = index;
    } else {
        const QColor custom = QColorDialog::getColor(m_color, this, QStringLiteral("色の設定"));
        if (custom.isValid()) {
            m_color = custom;
            m_colorIndex = index;
            showCustomColor(custom);
        }
        m_colorBox->setCurrentIndex(m_colorIndex);
    }
    updateSample();
}

void FontChooserDialog::showCustomColor(const QColor& color)
{
    const int custom = int(basicColors().size());
    m_colorBox->setItemIcon(custom, swatch(color));
    m_colorBox->setItemText(custom, QStringLiteral("カスタム"));
    m_colorBox->setItemData(custom, color);
}

void FontChooserDialog::updateSample()
{
    QFont sample = m_font;
    const int pixels = m_font.pixelSize() > 0 ? m_font.pixelSize()
                                              : display::pixelsFromPoints(pointSize(), logicalDpiY());
    sample.setPixelSize(std::clamp(pixels, 1, kLargestSamplePixels));
    m_sample->setFont(sample);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, m_color);
    m_sample->setPalette(palette);
}

int FontChooserDialog::pointSize() const
{
    if (m_font.pixelSize() > 0)
        return std::max(1, display::pointsFromPixels(m_font.pixelSize(), logicalDpiY()));
    return std::max(1, m_font.pointSize());
}

} // namespace platform
