#include "app/ui/InteraccionVentanas.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "settings/ContextoCarpeta.h"

namespace {

QMessageBox::Icon IconoCaja(Icono icono) {
    switch (icono) {
        case Icono::Pregunta:
            return QMessageBox::Question;
        case Icono::Advertencia:
        case Icono::Exclamacion:
            return QMessageBox::Warning;
        case Icono::Error:
            return QMessageBox::Critical;
        case Icono::Informacion:
            return QMessageBox::Information;
        case Icono::Ninguno:
            break;
    }
    return QMessageBox::NoIcon;
}

// A procedure on a worker thread asks through the interface thread and waits for the answer.
template <typename F>
auto EnHiloVentanas(F&& f) -> decltype(f()) {
    if (QThread::currentThread() == qApp->thread()) return f();
    decltype(f()) resultado{};
    QMetaObject::invokeMethod(
        qApp, [&] { resultado = f(); }, Qt::BlockingQueuedConnection);
    return resultado;
}

int Mostrar(const QPointer<QWidget>& propietario, const QString& texto, const QString& titulo,
            Icono icono, QMessageBox::StandardButtons botones,
            QMessageBox::StandardButton porDefecto) {
    return EnHiloVentanas([&] {
        QMessageBox caja(IconoCaja(icono), titulo, texto, botones, propietario);
        caja.setDefaultButton(porDefecto);
        return caja.exec();
    });
}

}  // namespace

InteraccionVentanas::InteraccionVentanas(QWidget* propietario) : propietario_(propietario) {}

bool InteraccionVentanas::Preguntar(const QString& texto, const QString& titulo, Icono icono,
                                    bool porDefectoSi) {
    return Mostrar(propietario_, texto, titulo, icono, QMessageBox::Yes | QMessageBox::No,
                   porDefectoSi ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

bool InteraccionVentanas::Confirmar(const QString& texto, const QString& titulo, Icono icono) {
    return Mostrar(propietario_, texto, titulo, icono, QMessageBox::Ok | QMessageBox::Cancel,
                   QMessageBox::Cancel) == QMessageBox::Ok;
}

void InteraccionVentanas::Avisar(const QString& texto, const QString& titulo, Icono icono) {
    Mostrar(propietario_, texto, titulo, icono, QMessageBox::Ok, QMessageBox::Ok);
}

QString InteraccionVentanas::ElegirArchivo(const QString& titulo, const QString& filtro) {
    // Starts in the data folder, where the program's own files are.
    return EnHiloVentanas([&] {
        return QFileDialog::getOpenFileName(propietario_, titulo,
                                            ContextoCarpeta::actual().carpeta(), filtro);
    });
}
