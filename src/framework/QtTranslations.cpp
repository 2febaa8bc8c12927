#include "framework/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool loadQtSpanishTranslations()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return false;
    const QString name = QStringLiteral("qacsemafQtSpanish");
    if (application->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly))
        return true;
    // Parented to the application, so that it lives as long as the texts are asked for.
    auto *translator = new QTranslator(application);
    translator->setObjectName(name);
    // "qt_es" pulls in qtbase_es and the other modules' catalogues that exist.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale spanish(QLocale::Spanish);
    if (!translator->load(spanish, QStringLiteral("qt"), QStringLiteral("_"), folder)
        && !translator->load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
