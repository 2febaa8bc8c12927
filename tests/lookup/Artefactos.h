#pragma once
// Screenshots the look-up tests leave under the build folder, for a person to look at.

#include <QDir>
#include <QWidget>

inline QString guardarCaptura(QWidget *ventana, const QString &nombre)
{
    const QString base = qEnvironmentVariable("QACSEMAF_BUILD_DIR", QDir::currentPath());
    QDir().mkpath(base + QStringLiteral("/screenshots"));
    const QString ruta = base + QStringLiteral("/screenshots/") + nombre + QStringLiteral(".png");
    ventana->grab().save(ruta);
    return ruta;
}
