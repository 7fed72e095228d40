#pragma once
// Font families the program's design names ("ＭＳ Ｐゴシック", …) stand for
// installed families through the toolkit's font substitution. The names are
// kept as registered so that the font dialog can list them as the user knows
// them (the toolkit's own table keeps only lower-cased keys).

#include <QString>
#include <QStringList>

namespace platform {

// Draws `family` with the first of `substitutes` that is installed. Registering
// the same family again adds only substitutes not yet listed.
void registerFontFamily(const QString& family, const QStringList& substitutes);

// The registered family names, in the order of their first registration.
QStringList registeredFontFamilies();

} // namespace platform
