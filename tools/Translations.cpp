#include "tools/Translations.h"

#include <QCoreApplication>
#include <QTranslator>

bool localeWantsEnglish()
{
    // The first variable that is set decides, as setlocale() reads them.
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value == "en" || value.startsWith("en_") || value.startsWith("en.");
    }
    return false;
}

void loadTranslations()
{
    if (!localeWantsEnglish())
        return;
    // Parented to the application, so that it lives as long as the texts are asked for.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(":/i18n/qacsemaf_en.qm")))
        QCoreApplication::installTranslator(translator);
}
