// bascora-cli puertos: the serial ports as the options dialog shows them: Com1..Com8 with the
// device each maps to ([Puertos] n, else /dev/ttyS<n-1>), then the serial devices present.
// "puertos N DISPOSITIVO" maps Com N to a device, as Detectar does in the dialog.
#include <QTextStream>

#include "app/Opciones.h"
#include "cli/Comandos.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"

namespace {

int Asignar(const QString& numeroTexto, const QString& dispositivo) {
    bool ok = false;
    const int numero = numeroTexto.toInt(&ok);
    if (!ok || numero < 1 || numero > kPuertosLista || dispositivo.isEmpty()) return 2;
    QString grupo;
    if (!PuertoAccesible(dispositivo, &grupo) && !grupo.isEmpty())
        QTextStream(stderr) << "aviso: sin permiso para abrir " << dispositivo
                            << "; agregue su usuario al grupo " << grupo << "\n";
    QString error;
    if (!GuardarConfig(QStringLiteral("Puertos"), QString::number(numero), dispositivo, false,
                       false, &error)) {
        QTextStream(stderr) << "no se pudo escribir bascora.ini: " << error << "\n";
        return 1;
    }
    return 0;
}

int Puertos(const QStringList& argumentos) {
    if (argumentos.size() == 2) {
        const int r = Asignar(argumentos.at(0), argumentos.at(1));
        if (r != 2) {
            if (r == 0) QTextStream(stdout) << InformePuertos().join(u'\n') << "\n";
            return r;
        }
    } else if (argumentos.isEmpty()) {
        QTextStream(stdout) << InformePuertos().join(u'\n') << "\n";
        return 0;
    }
    QTextStream(stderr)
        << "uso: bascora-cli [--carpeta DIR] puertos [N DISPOSITIVO]  (N = 1 a 8)\n";
    return 2;
}

}  // namespace

BASCORA_COMANDO("puertos", "puertos [N DISPOSITIVO]", Puertos);
