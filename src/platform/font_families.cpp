#include "platform/font_families.h"

#include <QFont>

namespace platform {

namespace {
QStringList& registered()
{
    static QStringList families;
    return families;
}
} // namespace

void registerFontFamily(const QString& family, const QStringList& substitutes)
{
    const QStringList present = QFont::substitutes(family);
    for (const QString& substitute : substitutes) {
        if (!present.contains(substitute, Qt::CaseInsensitive))
            QFont::insertSubstitution(family, substitute);
    }
    if (!registered().contains(family))
        registered().append(family);
}

QStringList registeredFontFamilies() { return registered(); }

} // namespace platform
