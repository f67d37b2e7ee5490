#include "app/ui/Iconos.h"

#include <QDir>
#include <QFileInfo>

#include "app/Recursos.h"

QIcon IconoRecurso(const QString& archivo) {
    const QString ruta = QDir(RutaRecursos()).filePath(QStringLiteral("iconos/") + archivo);
    if (!QFileInfo::exists(ruta)) return QIcon();
    return QIcon(ruta);
}

QIcon IconoPrograma() {
    return IconoRecurso(QStringLiteral("bascora.svg"));
}
