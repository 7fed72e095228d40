#include "text/cp932_forms.h"

#include <utility>

namespace platform {

namespace {

constexpr std::pair<char16_t, char16_t> kShiftJisForms[] = {
    {u'\u301C', u'\uFF5E'}, // wave dash → full-width tilde
    {u'\u2016', u'\u2225'}, // double vertical line → parallel to
    {u'\u2212', u'\uFF0D'}, // minus sign → full-width hyphen-minus
    {u'\u2014', u'\u2015'}, // em dash → horizontal bar
    {u'\u00A2', u'\uFFE0'}, // cent sign
    {u'\u00A3', u'\uFFE1'}, // pound sign
    {u'\u00AC', u'\uFFE2'}, // not sign
};

} // namespace

QString withCp932Forms(QString text)
{
    for (const auto& [shiftJis, codePage932] : kShiftJisForms)
        text.replace(QChar(shiftJis), QChar(codePage932));
    return text;
}

} // namespace platform
