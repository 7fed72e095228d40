#include "text/rtf_vocabulary.h"

#include "text/codepage.h"

#include <QStringDecoder>

#include <unordered_map>

namespace platform::rtf {
namespace {

const std::unordered_map<std::string_view, WordInfo>& wordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t;
        auto add = [&t](std::string_view name, Word word) { t[name] = WordInfo{word}; };
        auto character = [&t](std::string_view name, char16_t c) {
            t[name] = WordInfo{Word::Character, c};
        };
        auto family = [&t](std::string_view name, QFont::StyleHint hint) {
            t[name] = WordInfo{Word::FontFamily, 0, hint};
        };

        add("ansicpg", Word::AnsiCodePage);
        add("deff", Word::DefaultFont);
        add("uc", Word::UnicodeSkip);
        add("u", Word::Unicode);
        add("bin", Word::Binary);

        add("fonttbl", Word::FontTable);
        add("colortbl", Word::ColorTable);
        for (std::string_view name : {
                 "stylesheet", "info", "pict", "object", "objdata", "objclass", "objname",
                 "nonshppict", "header", "headerl", "headerr", "headerf", "footer",
                 "footerl", "footerr", "footerf", "footnote", "annotation", "atnid",
                 "atnauthor", "atndate", "atnref", "fldinst", "filetbl", "revtbl",
                 "listtable", "listoverridetable", "rsidtbl", "generator", "template",
                 "private", "userprops", "docvar", "xe", "tc", "txe", "rxe", "bkmkstart",
                 "bkmkend", "pn", "pntxta", "pntxtb", "themedata", "colorschememapping",
                 "latentstyles", "datastore", "fchars", "lchars", "pgdsctbl", "xmlnstbl",
                 "mmathPr", "shpinst", "sp", "sn", "sv"})
            add(name, Word::SkippedDestination);

        add("f", Word::Font);
        add("fcharset", Word::FontCharset);
        add("cpg", Word::FontCodePage);
        family("fnil", QFont::AnyStyle);
        family("froman", QFont::Serif);
        family("fswiss", QFont::SansSerif);
        family("fmodern", QFont::TypeWriter);
        family("fscript", QFont::Cursive);
        family("fdecor", QFont::Decorative);
        family("ftech", QFont::AnyStyle);
        family("fbidi", QFont::AnyStyle);
        add("fprq", Word::FontPitch);

        add("red", Word::Red);
        add("green", Word::Green);
        add("blue", Word::Blue);

        for (std::string_view name : {"par", "page", "sect", "row", "nestrow"})
            add(name, Word::Paragraph);
        character("line", 0x2028);
        character("tab", u'\t');
        character("cell", u'\t');
        character("nestcell", u'\t');
        character("emdash", 0x2014);
        character("endash", 0x2013);
        character("emspace", 0x2003);
        character("enspace", 0x2002);
        character("qmspace", 0x2005);
        character("bullet", 0x2022);
        character("lquote", 0x2018);
        character("rquote", 0x2019);
        character("ldblquote", 0x201C);
        character("rdblquote", 0x201D);
        character("zwj", 0x200D);
        character("zwnj", 0x200C);

        add("plain", Word::Plain);
        add("b", Word::Bold);
        add("i", Word::Italic);
        for (std::string_view name : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb",
                                      "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
                                      "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave",
                                      "ulw", "ulwave"})
            add(name, Word::Underline);
        add("ulnone", Word::UnderlineNone);
        add("strike", Word::StrikeOut);
        add("fs", Word::FontSize);
        add("cf", Word::Foreground);
        add("highlight", Word::Background);
        add("cb", Word::Background);

        add("loch", Word::LowRun);
        add("hich", Word::HighRun);
        add("dbch", Word::DoubleByteRun);
        add("rtlch", Word::RightToLeftRun);
        add("ltrch", Word::LeftToRightRun);
        add("ab", Word::AssociatedBold);
        add("ai", Word::AssociatedItalic);
        add("aul", Word::AssociatedUnderline);
        add("afs", Word::AssociatedFontSize);
        add("af", Word::AssociatedFont);

        add("pard", Word::ParagraphDefault);
        add("ql", Word::AlignLeft);
        add("qc", Word::AlignCenter);
        add("qr", Word::AlignRight);
        add("qj", Word::AlignJustify);
        add("li", Word::LeftIndent);
        add("ri", Word::RightIndent);
        add("fi", Word::FirstLineIndent);
        add("sb", Word::SpaceBefore);
        add("sa", Word::SpaceAfter);
        return t;
    }();
    return table;
}

QByteArray decoderName(int codePage)
{
    switch (codePage) {
    case 936: return "GBK";
    case 950: return "Big5";
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 850: return "IBM850";
    default: return "windows-" + QByteArray::number(codePage);
    }
}

} // namespace

WordInfo lookUp(std::string_view name)
{
    const auto& table = wordTable();
    const auto found = table.find(name);
    return found == table.end() ? WordInfo{} : found->second;
}

// The code page of a font character set; 0 for "the document's".
int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 2: return 1252;   // symbol: bullets and the like read as their Latin forms
    case 77: return 10000; // Macintosh
    case 128: return 932;  // Japanese
    case 129: return 949;  // Korean
    case 134: return 936;  // simplified Chinese
    case 136: return 950;  // traditional Chinese
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

QString decodeCodePage(QByteArrayView bytes, int codePage)
{
    if (codePage != kProgramCodePage) {
        QStringDecoder decoder(decoderName(codePage).constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return decodeCp932(bytes);
}

} // namespace platform::rtf
