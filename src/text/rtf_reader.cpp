#include "text/rtf_reader.h"

#include "text/rtf_vocabulary.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {
namespace {

using rtf::codePageOfCharset;
using rtf::decodeCodePage;
using rtf::kProgramCodePage;
using rtf::lookUp;
using rtf::Word;
using rtf::WordInfo;

// Groups nested deeper than this are read as part of the group at the limit.
constexpr int kMaxGroupDepth = 256;
// Numeric parameters saturate here (in both directions).
constexpr std::int64_t kMaxParameter = 2'147'483'647;
constexpr int kMaxUnicodeSkip = 255;
constexpr int kMaxHalfPoints = 3276;      // 1638 points, the largest size a font takes
constexpr int kMaxTwips = 31'680;         // 22 inches
constexpr double kTwipsPerPixel = 15.0;   // 1440 twips, 96 pixels an inch
constexpr char16_t kReplacement = 0xFFFD;

enum class Destination { Text, FontTable, ColorTable, Skipped };

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
// First and second bytes of a double-byte character of code page 932.
bool isLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
// The ";" that ends an entry of the font and colour tables.
bool isSeparator(QByteArrayView piece) { return piece.size() == 1 && piece[0] == ';'; }

int clampTo(int value, int low, int high) { return std::clamp(value, low, high); }
// A font size word's parameter; none or 0 gives the standard 12 points.
int halfPointsOf(int parameter) { return parameter > 0 ? std::min(parameter, kMaxHalfPoints) : 24; }

// The type of the text a run holds, as \loch, \hich and \dbch mark it
// (single-byte low and high characters, double-byte characters), and right-
// to-left runs (\rtlch). Word processors that keep the formatting of each
// script apart write it with the associated words (\ab, \ai, \aul, \afs,
// \af) after the word of the type they belong to.
enum RunType { Unmarked, Low, High, DoubleByte, RightToLeft, kRunTypes };

// Associated properties of one run type; each is unset until given.
struct AssociatedProperties {
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    int halfPoints = 0;  // 0: not given
    int fontNumber = -1; // -1: not given
};

struct CharacterState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int halfPoints = 0;      // 0: the size of the document's default font
    int colorIndex = -1;      // -1: the automatic colour
    int backgroundIndex = -1; // -1: no background
    int fontNumber = -1;     // -1: the default font (\deff)

    RunType runType = Unmarked; // the last of \loch, \hich, \dbch
    bool rightToLeft = false;   // \rtlch until \ltrch
    std::array<AssociatedProperties, kRunTypes> associated;

    // The run type the text and the associated words in this state belong to.
    RunType target() const { return rightToLeft ? RightToLeft : runType; }

    // The properties text in this state is drawn with: the associated
    // properties given for its run type over the plain ones. Text of no
    // marked type takes the plain ones alone.
    CharacterState effective() const
    {
        CharacterState result = *this;
        if (target() == Unmarked)
            return result;
        const AssociatedProperties& a = associated[target()];
        result.bold = a.bold.value_or(bold);
        result.italic = a.italic.value_or(italic);
        result.underline = a.underline.value_or(underline);
        if (a.halfPoints > 0)
            result.halfPoints = a.halfPoints;
        if (a.fontNumber >= 0)
            result.fontNumber = a.fontNumber;
        return result;
    }
};

struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;
    int beforeTwips = 0;
    int afterTwips = 0;
};

struct GroupState {
    Destination destination = Destination::Text;
    CharacterState character;
    ParagraphState paragraph;
    int unicodeSkip = 1;
};

struct FontEntry {
    QString family;
    int codePage = 0; // 0: the document's code page
    QFont::StyleHint styleHint = QFont::AnyStyle;
    bool fixedPitch = false;
};

class RtfReader {
public:
    RtfReader(QByteArrayView bytes, QTextDocument* document)
        : bytes_(bytes), cursor_(document) {}

    void read()
    {
        cursor_.beginEditBlock();
        // The caller has checked that a "{" follows the leading white space.
        while (pos_ < bytes_.size() && isWhite(at(pos_)))
            ++pos_;
        while (pos_ < bytes_.size() && !finished_)
            readToken();
        flushText();
        cursor_.setBlockFormat(blockFormat(state().paragraph));
        cursor_.endEditBlock();
    }

private:
    char at(qsizetype i) const { return bytes_[i]; }
    std::uint8_t byteAt(qsizetype i) const { return static_cast<std::uint8_t>(bytes_[i]); }

    // The state of the innermost group; after the document's group has
    // closed, the state it had then.
    const GroupState& state() const { return groups_.empty() ? closedState_ : groups_.back(); }
    GroupState& current() { return groups_.empty() ? closedState_ : groups_.back(); }

    void readToken()
    {
        const char c = at(pos_);
        switch (c) {
        case '{':
            ++pos_;
            openGroup();
            return;
        case '}':
            ++pos_;
            closeGroup();
            return;
        case '\\':
            ++pos_;
            readControl();
            return;
        default:
            break;
        }
        const std::uint8_t b = byteAt(pos_);
        if (b < 0x20 && c != '\t') {
            ++pos_; // line ends and other control bytes carry no text
            return;
        }
        qsizetype length = 1;
        if (isLeadByte(b) && pos_ + 1 < bytes_.size() && isTrailByte(byteAt(pos_ + 1)))
            length = 2; // the second byte may be "\", "{" or "}": it is text
        const QByteArrayView piece = bytes_.sliced(pos_, length);
        pos_ += length;
        if (pendingSkip_ > 0) {
            pendingSkip_ = std::max(0, pendingSkip_ - static_cast<int>(length));
            return;
        }
        addText(piece, b >= 0x80 ? kProgramCodePage : 0);
    }

    void openGroup()
    {
        flushText();
        pendingSkip_ = 0;
        if (groups_.empty())
            groups_.push_back(GroupState{});
        else if (groups_.size() >= static_cast<size_t>(kMaxGroupDepth))
            ++overflow_;
        else
            groups_.push_back(groups_.back());
    }

    void closeGroup()
    {
        flushText();
        pendingSkip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (groups_.empty()) {
            finished_ = true;
            return;
        }
        if (groups_.back().destination == Destination::FontTable && fontPending_)
            commitFont();
        closedState_ = groups_.back();
        groups_.pop_back();
        if (groups_.empty())
            finished_ = true; // anything after the document's group is not part of it
    }

    // A destination word or "\*" turns the group it opens into that
    // destination; the document's own group always stays text.
    void enterDestination(Destination destination)
    {
        if (groups_.size() <= 1 || current().destination == Destination::Skipped)
            return;
        flushText();
        current().destination = destination;
    }

    // Consumes one unit of the fallback that follows \uN; true when the
    // token is to be dropped.
    bool consumeFallback()
    {
        if (pendingSkip_ <= 0)
            return false;
        --pendingSkip_;
        return true;
    }

    void readControl()
    {
        if (pos_ >= bytes_.size())
            return; // a lone backslash at the end
        const char c = at(pos_);
        if (isLetter(c)) {
            readControlWord();
            return;
        }
        ++pos_;
        switch (c) {
        case '\'':
            readHexByte();
            return;
        case '*':
            enterDestination(Destination::Skipped);
            return;
        default:
            break;
        }
        if (consumeFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            addText(bytes_.sliced(pos_ - 1, 1), 0);
            return;
        case '\r':
        case '\n':
            if (current().destination == Destination::Text)
                breakParagraph();
            return;
        case '~':
            addCharacter(0x00A0);
            return;
        case '-':
            addCharacter(0x00AD);
            return;
        case '_':
            addCharacter(0x2011);
            return;
        default:
            return; // index marks and unknown symbols carry nothing we show
        }
    }

    void readHexByte()
    {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < bytes_.size() && hexValue(at(pos_)) >= 0) {
            value = value * 16 + hexValue(at(pos_));
            ++pos_;
            ++digits;
        }
        if (digits == 0 || consumeFallback())
            return;
        const char byte = static_cast<char>(value);
        addText(QByteArrayView(&byte, 1), currentCodePage());
    }

    void readControlWord()
    {
        const qsizetype start = pos_;
        while (pos_ < bytes_.size() && isLetter(at(pos_)))
            ++pos_;
        const std::string_view name(bytes_.data() + start, static_cast<size_t>(pos_ - start));

        bool negative = false;
        if (pos_ + 1 < bytes_.size() && at(pos_) == '-' && isDigit(at(pos_ + 1))) {
            negative = true;
            ++pos_;
        }
        bool hasParameter = false;
        std::int64_t value = 0;
        while (pos_ < bytes_.size() && isDigit(at(pos_))) {
            hasParameter = true;
            value = std::min(kMaxParameter, value * 10 + (at(pos_) - '0'));
            ++pos_;
        }
        if (pos_ < bytes_.size() && at(pos_) == ' ')
            ++pos_; // the space that ends a control word belongs to it
        const int parameter = static_cast<int>(negative ? -value : value);
        controlWord(lookUp(name), hasParameter, parameter);
    }

    void controlWord(const WordInfo& info, bool hasParameter, int parameter)
    {
        if (info.word == Word::Binary) {
            // Binary data may hold any byte, braces included: pass over it.
            const qsizetype length = std::max(0, parameter);
            pos_ += std::min(length, bytes_.size() - pos_);
            return;
        }
        if (consumeFallback())
            return;
        switch (info.word) {
        case Word::Unicode:
            if (hasParameter && current().destination == Destination::Text)
                addUnicode(parameter);
            pendingSkip_ = current().unicodeSkip;
            return;
        case Word::SkippedDestination:
            enterDestination(Destination::Skipped);
            return;
        case Word::FontTable:
            enterDestination(Destination::FontTable);
            return;
        case Word::ColorTable:
            enterDestination(Destination::ColorTable);
            return;
        default:
            break;
        }
        switch (current().destination) {
        case Destination::Text:
            textWord(info, hasParameter, parameter);
            return;
        case Destination::FontTable:
            fontTableWord(info, parameter);
            return;
        case Destination::ColorTable:
            colorTableWord(info, parameter);
            return;
        case Destination::Skipped:
            return;
        }
    }

    void textWord(const WordInfo& info, bool hasParameter, int parameter)
    {
        GroupState& group = current();
        CharacterState& character = group.character;
        ParagraphState& paragraph = group.paragraph;
        const bool on = !hasParameter || parameter != 0;
        AssociatedProperties& associated = character.associated[character.target()];
        switch (info.word) {
        case Word::Character:
            addCharacter(info.character);
            return;
        case Word::UnicodeSkip:
            group.unicodeSkip = hasParameter ? clampTo(parameter, 0, kMaxUnicodeSkip) : 1;
            return;
        case Word::Unknown:
            return;
        default:
            break;
        }

        flushText(); // what follows changes the format of the text to come
        switch (info.word) {
        case Word::AnsiCodePage:
            documentCodePage_ = parameter > 0 ? parameter : kProgramCodePage;
            return;
        case Word::DefaultFont:
            defaultFont_ = parameter;
            return;
        case Word::Paragraph:
            breakParagraph();
            return;
        case Word::Plain:
            character = CharacterState{};
            return;
        case Word::Bold:
            character.bold = on;
            return;
        case Word::Italic:
            character.italic = on;
            return;
        case Word::Underline:
            character.underline = on;
            return;
        case Word::UnderlineNone:
            character.underline = false;
            return;
        case Word::StrikeOut:
            character.strikeOut = on;
            return;
        case Word::FontSize:
            character.halfPoints = halfPointsOf(parameter);
            return;
        case Word::LowRun:
            character.runType = Low;
            return;
        case Word::HighRun:
            character.runType = High;
            return;
        case Word::DoubleByteRun:
            character.runType = DoubleByte;
            return;
        case Word::RightToLeftRun:
            character.rightToLeft = true;
            return;
        case Word::LeftToRightRun:
            character.rightToLeft = false;
            return;
        case Word::AssociatedBold:
            associated.bold = on;
            return;
        case Word::AssociatedItalic:
            associated.italic = on;
            return;
        case Word::AssociatedUnderline:
            associated.underline = on;
            return;
        case Word::AssociatedFontSize:
            associated.halfPoints = halfPointsOf(parameter);
            return;
        case Word::AssociatedFont:
            associated.fontNumber = std::max(0, parameter);
            return;
        case Word::Font:
            character.fontNumber = std::max(0, parameter);
            return;
        case Word::Foreground:
            character.colorIndex = parameter;
            return;
        case Word::Background:
            character.backgroundIndex = parameter;
            return;
        case Word::ParagraphDefault:
            paragraph = ParagraphState{};
            return;
        case Word::AlignLeft:
            paragraph.alignment = Qt::AlignLeft;
            return;
        case Word::AlignCenter:
            paragraph.alignment = Qt::AlignHCenter;
            return;
        case Word::AlignRight:
            paragraph.alignment = Qt::AlignRight;
            return;
        case Word::AlignJustify:
            paragraph.alignment = Qt::AlignJustify;
            return;
        case Word::LeftIndent:
            paragraph.leftTwips = clampTo(parameter, -kMaxTwips, kMaxTwips);
            return;
        case Word::RightIndent:
            paragraph.rightTwips = clampTo(parameter, -kMaxTwips, kMaxTwips);
            return;
        case Word::FirstLineIndent:
            paragraph.firstLineTwips = clampTo(parameter, -kMaxTwips, kMaxTwips);
            return;
        case Word::SpaceBefore:
            paragraph.beforeTwips = clampTo(parameter, 0, kMaxTwips);
            return;
        case Word::SpaceAfter:
            paragraph.afterTwips = clampTo(parameter, 0, kMaxTwips);
            return;
        default:
            return;
        }
    }

    void fontTableWord(const WordInfo& info, int parameter)
    {
        switch (info.word) {
        case Word::Font:
            if (fontPending_)
                commitFont(); // an entry without its closing ";"
            fontPending_ = true;
            pendingFontNumber_ = parameter;
            pendingFont_ = FontEntry{};
            pendingFontName_.clear();
            pendingCharsetCodePage_ = 0;
            return;
        case Word::FontCharset:
            pendingCharsetCodePage_ = codePageOfCharset(parameter);
            return;
        case Word::FontCodePage:
            pendingFont_.codePage = parameter > 0 ? parameter : 0;
            return;
        case Word::FontFamily:
            pendingFont_.styleHint = info.styleHint;
            if (info.styleHint == QFont::TypeWriter)
                pendingFont_.fixedPitch = true;
            return;
        case Word::FontPitch:
            pendingFont_.fixedPitch = parameter == 1;
            return;
        default:
            return;
        }
    }

    void commitFont()
    {
        if (pendingFont_.codePage == 0)
            pendingFont_.codePage = pendingCharsetCodePage_;
        const int codePage = pendingFont_.codePage > 0 ? pendingFont_.codePage : documentCodePage_;
        pendingFont_.family = decodeCodePage(pendingFontName_, codePage).trimmed();
        fonts_.insert(pendingFontNumber_, pendingFont_);
        fontPending_ = false;
        pendingFontName_.clear();
    }

    void colorTableWord(const WordInfo& info, int parameter)
    {
        const int component = clampTo(parameter, 0, 255);
        switch (info.word) {
        case Word::Red:
            pendingColor_.setRed(component);
            break;
        case Word::Green:
            pendingColor_.setGreen(component);
            break;
        case Word::Blue:
            pendingColor_.setBlue(component);
            break;
        default:
            return;
        }
        colorGiven_ = true;
    }

    // Text bytes in the current destination; codePage 0 marks ASCII bytes,
    // which read the same in every code page and so join the bytes before
    // them (the second byte of an escaped double-byte character may come
    // unescaped).
    void addText(QByteArrayView piece, int codePage)
    {
        switch (current().destination) {
        case Destination::Text:
            if (codePage == 0)
                codePage = textBytes_.isEmpty() ? currentCodePage() : textBytesCodePage_;
            if (!textBytes_.isEmpty() && codePage != textBytesCodePage_)
                flushBytes();
            textBytesCodePage_ = codePage;
            textBytes_.append(piece);
            return;
        case Destination::FontTable:
            if (isSeparator(piece)) {
                if (fontPending_)
                    commitFont();
            } else if (fontPending_) {
                pendingFontName_.append(piece);
            }
            return;
        case Destination::ColorTable:
            if (isSeparator(piece)) {
                colors_.push_back(colorGiven_ ? pendingColor_ : QColor());
                pendingColor_ = QColor(0, 0, 0);
                colorGiven_ = false;
            }
            return;
        case Destination::Skipped:
            return;
        }
    }

    void addCharacter(char16_t c)
    {
        if (current().destination != Destination::Text)
            return;
        flushBytes();
        text_.append(QChar(c));
    }

    // \uN: a signed 16-bit number; larger values are taken as code points.
    void addUnicode(int value)
    {
        if (value < 0)
            value += 0x10000;
        if (value < 0 || value > 0x10FFFF) {
            addCharacter(kReplacement);
        } else if (value <= 0xFFFF) {
            addCharacter(static_cast<char16_t>(value)); // surrogate halves pair up in text_
        } else {
            flushBytes();
            const char32_t codePoint = static_cast<char32_t>(value);
            text_.append(QString::fromUcs4(&codePoint, 1));
        }
    }

    void flushBytes()
    {
        if (textBytes_.isEmpty())
            return;
        text_.append(decodeCodePage(textBytes_, textBytesCodePage_));
        textBytes_.clear();
    }

    void flushText()
    {
        flushBytes();
        if (text_.isEmpty())
            return;
        cursor_.insertText(text_, characterFormat());
        text_.clear();
    }

    void breakParagraph()
    {
        flushText();
        cursor_.setBlockFormat(blockFormat(state().paragraph));
        cursor_.setBlockCharFormat(characterFormat());
        cursor_.insertBlock();
    }

    // The font of the text to come, the one of its run type when one is given.
    const FontEntry* currentFont() const
    {
        const int fontNumber = state().character.effective().fontNumber;
        const int number = fontNumber >= 0 ? fontNumber : defaultFont_;
        const auto found = fonts_.constFind(number);
        return found == fonts_.constEnd() ? nullptr : &found.value();
    }

    int currentCodePage() const
    {
        const FontEntry* font = currentFont();
        return font && font->codePage > 0 ? font->codePage : documentCodePage_;
    }

    QColor tableColor(int index) const
    {
        if (index < 0 || index >= static_cast<int>(colors_.size()))
            return QColor();
        return colors_[static_cast<size_t>(index)];
    }

    QTextCharFormat characterFormat() const
    {
        const CharacterState s = state().character.effective();
        QTextCharFormat format;
        if (s.bold)
            format.setFontWeight(QFont::Bold);
        if (s.italic)
            format.setFontItalic(true);
        if (s.underline)
            format.setFontUnderline(true);
        if (s.strikeOut)
            format.setFontStrikeOut(true);
        if (s.halfPoints > 0)
            format.setFontPointSize(s.halfPoints / 2.0);
        if (const QColor color = tableColor(s.colorIndex); color.isValid())
            format.setForeground(color);
        if (const QColor color = tableColor(s.backgroundIndex); color.isValid())
            format.setBackground(color);
        if (const FontEntry* font = currentFont()) {
            if (!font->family.isEmpty())
                format.setFontFamilies(QStringList{font->family});
            if (font->styleHint != QFont::AnyStyle)
                format.setFontStyleHint(font->styleHint);
            if (font->fixedPitch)
                format.setFontFixedPitch(true);
        }
        return format;
    }

    static QTextBlockFormat blockFormat(const ParagraphState& p)
    {
        QTextBlockFormat format;
        if (p.alignment != Qt::AlignLeft)
            format.setAlignment(p.alignment);
        if (p.leftTwips > 0)
            format.setLeftMargin(p.leftTwips / kTwipsPerPixel);
        if (p.rightTwips > 0)
            format.setRightMargin(p.rightTwips / kTwipsPerPixel);
        if (p.firstLineTwips != 0)
            format.setTextIndent(p.firstLineTwips / kTwipsPerPixel);
        if (p.beforeTwips > 0)
            format.setTopMargin(p.beforeTwips / kTwipsPerPixel);
        if (p.afterTwips > 0)
            format.setBottomMargin(p.afterTwips / kTwipsPerPixel);
        return format;
    }

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    bool finished_ = false;

    std::vector<GroupState> groups_;
    GroupState closedState_;
    qsizetype overflow_ = 0; // groups opened beyond the depth limit
    int pendingSkip_ = 0;    // fallback units still to drop after \uN

    int documentCodePage_ = kProgramCodePage;
    int defaultFont_ = -1;
    QHash<int, FontEntry> fonts_;
    std::vector<QColor> colors_;

    // Text read but not yet in the document, all in one format.
    QByteArray textBytes_;
    int textBytesCodePage_ = kProgramCodePage;
    QString text_;

    // The font-table entry being read.
    bool fontPending_ = false;
    int pendingFontNumber_ = 0;
    FontEntry pendingFont_;
    QByteArray pendingFontName_;
    int pendingCharsetCodePage_ = 0;

    // The colour-table entry being read.
    QColor pendingColor_ = QColor(0, 0, 0);
    bool colorGiven_ = false;
};

} // namespace

bool isRtf(QByteArrayView bytes)
{
    qsizetype pos = 0;
    while (pos < bytes.size() && isWhite(bytes[pos]))
        ++pos;
    return bytes.sliced(pos).startsWith("{\\rtf");
}

bool readRtf(QByteArrayView bytes, QTextDocument* document)
{
    if (!document || !isRtf(bytes))
        return false;
    document->clear();
    RtfReader(bytes, document).read();
    return true;
}

} // namespace platform
