#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace platform {

bool installToolkitTranslations()
{
    // Owned by the application, so a test that makes a new application
    // object gets the translations installed into that one again.
    static QPointer<QTranslator> installed;
    if (installed)
        return true;
    auto* application = QCoreApplication::instance();
    if (!application)
        return false;
    auto* translator = new QTranslator(application);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace platform
