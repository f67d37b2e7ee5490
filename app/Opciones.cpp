#include "app/Opciones.h"

#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "link/Transporte.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"

namespace {

const QString kGlobal = QStringLiteral("Global");
const QString kOpciones = QStringLiteral("Opciones");
const QString kPuertos = QStringLiteral("Puertos");

QString Leer(const QString& seccion, const char* clave, const QString& defecto) {
    return LeerConfig(seccion, QString::fromLatin1(clave), defecto);
}

// The integer of a setting that must lie in [minimo, maximo]; false (and the reason in `error`)
// when it does not, as the control could not take it.
bool LeerEntero(const char* clave, const char* defecto, int minimo, int maximo, int* valor,
                QString* error) {
    const QString texto = Leer(kGlobal, clave, QString::fromLatin1(defecto));
    const long long n = ValorEntero(texto);
    if (n < minimo || n > maximo) {
        if (error)
            *error = T("007040", "Valor no válido en bascora.ini:") +
                     QStringLiteral(" [Global] %1=%2").arg(QString::fromLatin1(clave), texto);
        return false;
    }
    *valor = int(n);
    return true;
}

// Check boxes: any nonzero value ticks them (the start-up reads InicioAuto the same way).
int LeerMarca(const char* clave, const char* defecto) {
    return ValorEntero(Leer(kGlobal, clave, QString::fromLatin1(defecto))) != 0 ? 1 : 0;
}

}  // namespace

bool LeerOpciones(ValoresOpciones* v, QString* error) {
    *v = ValoresOpciones{};
    // Load order of the dialog: model, id, decimals, port, speed, line, host, port, times...
    v->Indicador = ValorEntero(Leer(kGlobal, "Indicador_1", QStringLiteral("2"))) == 1 ? 1 : 2;
    if (!LeerEntero("ID_1", "0", 0, kIdMaximo, &v->Id, error)) return false;
    if (!LeerEntero("Decimales_1", "0", 0, kDecimalesMaximo, &v->Decimales, error)) return false;
    if (!LeerEntero("Comm_1", "1", 1, kPuertosLista, &v->Puerto, error)) return false;
    if (!LeerEntero("Baudios_1", "3", 0, kCodigosBaudios - 1, &v->Baudios, error)) return false;
    v->Comunicacion =
        ValorEntero(Leer(kGlobal, "Comunicacion_1", QStringLiteral("0"))) == 0 ? 0 : 1;
    v->Host = Leer(kGlobal, "Host_1", QString::fromLatin1(kHostPredeterminado));
    v->Port = Leer(kGlobal, "Port_1", QStringLiteral("1000"));
    v->InicioBajar = LeerMarca("InicioBajar", "0");
    v->InicioAuto = LeerMarca("InicioAuto", "0");
    if (!LeerEntero("Hora", "0", 0, 23, &v->Hora, error)) return false;
    if (!LeerEntero("Minuto", "0", 0, 59, &v->Minuto, error)) return false;
    v->FormatoAccess = LeerMarca("FormatoAccess", "1");
    v->FormatoExcel = LeerMarca("FormatoExcel", "1");
    v->ArchivoPlano = LeerMarca("ArchivoPlano", "1");
    v->NombreExcel = Leer(kGlobal, "NombreExcel", QStringLiteral("1"));
    v->NombreTXT = Leer(kGlobal, "NombreTXT", QStringLiteral("1"));
    v->Ruta = Leer(kOpciones, "Ruta", QString());
    v->Extension = Leer(kOpciones, "Extension", QString());
    v->Separador = Leer(kOpciones, "Separador", QString());
    return true;
}

bool HayFormato(const ValoresOpciones& v) {
    return v.FormatoAccess || v.FormatoExcel || v.ArchivoPlano;
}

bool GuardarOpciones(const ValoresOpciones& v) {
    const auto n = [](int x) { return QString::number(x); };
    const QList<std::pair<QString, QString>> global = {
        {QStringLiteral("Indicador_1"), n(v.Indicador == 1 ? 1 : 2)},
        {QStringLiteral("ID_1"), n(v.Id)},
        {QStringLiteral("Decimales_1"), n(v.Decimales)},
        {QStringLiteral("Comm_1"), n(v.Puerto)},
        {QStringLiteral("Baudios_1"), n(v.Baudios)},
        {QStringLiteral("Comunicacion_1"), n(v.Comunicacion)},
        {QStringLiteral("Host_1"), v.Host},
        {QStringLiteral("Port_1"), v.Port},
        {QStringLiteral("InicioBajar"), n(v.InicioBajar)},
        {QStringLiteral("InicioAuto"), n(v.InicioAuto)},
        {QStringLiteral("Hora"), n(v.Hora)},
        {QStringLiteral("Minuto"), n(v.Minuto)},
        {QStringLiteral("FormatoAccess"), n(v.FormatoAccess)},
        {QStringLiteral("FormatoExcel"), n(v.FormatoExcel)},
        {QStringLiteral("ArchivoPlano"), n(v.ArchivoPlano)},
        {QStringLiteral("NombreExcel"), v.NombreExcel},
        {QStringLiteral("NombreTXT"), v.NombreTXT},
    };
    const QList<std::pair<QString, QString>> opciones = {
        {QStringLiteral("Ruta"), v.Ruta},
        {QStringLiteral("Extension"), v.Extension},
        {QStringLiteral("Separador"), v.Separador},
    };
    QList<std::pair<QString, QString>> puertos;
    for (auto it = v.PuertosNuevos.cbegin(); it != v.PuertosNuevos.cend(); ++it)
        puertos.append({QString::number(it.key()), it.value()});

    // Each section in one locked rewrite; a value the file cannot hold stores none of its section.
    return GuardarConfigSeccion(kGlobal, global) && GuardarConfigSeccion(kOpciones, opciones) &&
           (puertos.isEmpty() || GuardarConfigSeccion(kPuertos, puertos));
}

bool HayContrasena() {
    return !LeerConfig(kOpciones, QStringLiteral("PASS"), QString()).trimmed().isEmpty();
}

bool ContrasenaCorrecta(const QString& tecleada) {
    const QString pass = LeerConfig(kOpciones, QStringLiteral("PASS"), QString());
    return tecleada.toUpper() == pass.toUpper();
}

QString TextoPuerto(int numero, const QString& dispositivo) {
    return QStringLiteral("Com%1   %2").arg(numero).arg(dispositivo);
}

bool PuertoAccesible(const QString& ruta, QString* grupo) {
    const QByteArray local = QFile::encodeName(ruta);
    if (::access(local.constData(), R_OK | W_OK) == 0) return true;
    // Only a refusal is a matter of groups; a missing device is not.
    if (grupo && errno == EACCES) {
        const QString propio = QFileInfo(ruta).group();
        // A device owned by root's group is not one to join; serial lines are dialout's.
        *grupo = propio.isEmpty() || propio == QLatin1String("root") ? QStringLiteral("dialout")
                                                                     : propio;
    }
    return false;
}

QList<PuertoSerie> PuertosPresentes(const QString& dirPorId) {
    // by-id names survive replugging and say what the device is: offer them first.
    QMap<QString, QString> porId;  // /dev/ttyUSB0 -> /dev/serial/by-id/...
    const QDir dir(dirPorId);
    for (const QFileInfo& enlace : dir.entryInfoList(QDir::Files | QDir::System, QDir::Name)) {
        const QString destino = enlace.canonicalFilePath();
        if (!destino.isEmpty() && !porId.contains(destino))
            porId.insert(destino, enlace.absoluteFilePath());
    }
    QList<PuertoSerie> lista;
    QStringList vistos;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PuertoSerie p;
        p.sistema = info.systemLocation();
        const QString canonico = QFileInfo(p.sistema).canonicalFilePath();
        p.ruta = porId.value(canonico, p.sistema);
        QStringList partes;
        if (!info.manufacturer().isEmpty()) partes << info.manufacturer();
        if (!info.description().isEmpty() && info.description() != info.manufacturer())
            partes << info.description();
        p.descripcion = partes.join(QStringLiteral(" - "));
        p.accesible = PuertoAccesible(p.sistema, &p.grupo);
        lista.append(p);
        vistos << canonico;
    }
    // A by-id device the port enumeration missed is still a serial device.
    for (auto it = porId.cbegin(); it != porId.cend(); ++it) {
        if (vistos.contains(it.key())) continue;
        PuertoSerie p;
        p.sistema = it.key();
        p.ruta = it.value();
        p.accesible = PuertoAccesible(p.sistema, &p.grupo);
        lista.append(p);
    }
    return lista;
}

QStringList InformePuertos() {
    QStringList lineas;
    lineas << T("007045", "Asignación de puertos") + u':';
    for (int n = 1; n <= kPuertosLista; ++n) {
        const bool asignado = !LeerConfig(kPuertos, QString::number(n), QString()).isEmpty();
        const QString dispositivo = DispositivoDePuerto(n);
        QString estado;
        QString grupo;
        if (!QFileInfo::exists(dispositivo)) {
            estado = T("007047", "no existe");
        } else if (!PuertoAccesible(dispositivo, &grupo)) {
            estado = T("007048", "sin permiso (grupo %1)").arg(grupo);
        } else {
            estado = T("007053", "presente");
        }
        lineas << QStringLiteral("  %1  [%2]  %3")
                      .arg(TextoPuerto(n, dispositivo),
                           asignado ? QStringLiteral("Puertos") : T("007046", "predeterminado"),
                           estado);
    }
    lineas << T("007042", "Puertos serie presentes") + u':';
    const QList<PuertoSerie> presentes = PuertosPresentes();
    if (presentes.isEmpty())
        lineas << QStringLiteral("  ") + T("007043", "No se encontró ningún puerto serie.");
    for (const PuertoSerie& p : presentes) {
        QString linea = QStringLiteral("  ") + p.ruta;
        if (p.ruta != p.sistema) linea += QStringLiteral(" (%1)").arg(p.sistema);
        if (!p.descripcion.isEmpty()) linea += QStringLiteral("  ") + p.descripcion;
        if (!p.accesible)
            linea += QStringLiteral("  ") + T("007048", "sin permiso (grupo %1)").arg(p.grupo);
        lineas << linea;
    }
    return lineas;
}
