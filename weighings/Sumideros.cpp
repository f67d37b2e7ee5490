#include "weighings/Sumideros.h"

#include <QDir>
#include <QElapsedTimer>
#include <algorithm>

#include "base/Globales.h"
#include "data/CDatos.h"
#include "settings/ArchivoIni.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "weighings/ArchivoPlano.h"
#include "weighings/LibroExcel.h"
#include "weighings/TablaPesadas.h"

ErrorAlmacenamiento::ErrorAlmacenamiento(const QString& descripcion, bool claveDuplicada)
    : std::runtime_error(descripcion.toStdString()),
      descripcion_(descripcion),
      claveDuplicada_(claveDuplicada) {}

long long TomarLote(long long minimo, QString* error) {
    // Under the settings lock, written and read back from the file before it is used.
    // A missing "Lote" reads as 1, so the first batch is 2.
    const std::optional<long long> lote =
        IncrementarConfig("global", "Lote", std::max(minimo, 1LL), error);
    return lote ? *lote : 0;
}

bool FalloPorClaveDuplicada(const std::exception& error) {
    if (const auto* e = dynamic_cast<const ErrorAlmacenamiento*>(&error))
        return e->esClaveDuplicada();
    if (const auto* e = dynamic_cast<const ErrorBase*>(&error)) return e->esClaveDuplicada();
    return false;
}

bool ValorBooleano(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    bool numero = false;
    const double v = t.toDouble(&numero);
    return numero && v != 0;
}

OpcionesSalida LeerOpcionesSalida() {
    const QString global = QStringLiteral("Global");
    const QString opciones = QStringLiteral("Opciones");
    OpcionesSalida o;
    o.libro = ValorBooleano(LeerConfig(global, QStringLiteral("FormatoExcel"), QString()));
    o.plano = ValorBooleano(LeerConfig(global, QStringLiteral("ArchivoPlano"), QString()));
    o.tabla = ValorBooleano(LeerConfig(global, QStringLiteral("FormatoAccess"), QString()));
    bool numero = false;
    const int codigo =
        LeerConfig(opciones, QStringLiteral("Separador"), QString()).trimmed().toInt(&numero);
    if (numero && codigo >= 0 && codigo <= 255) {
        o.separador = QString(CaracterAnsi(static_cast<unsigned char>(codigo)));
    } else {
        o.separador = QStringLiteral(";");
        o.separadorSupuesto = true;
    }
    o.extension = LeerConfig(opciones, QStringLiteral("Extension"), QString());
    o.ruta = LeerConfig(opciones, QStringLiteral("Ruta"), QString());
    o.nombreLibro =
        LeerConfig(global, QStringLiteral("NombreExcel"), QStringLiteral("Datos1")).trimmed();
    o.nombrePlano = LeerConfig(global, QStringLiteral("NombreTXT"), QStringLiteral("Datos2"));
    return o;
}

struct Sumideros::Impl {
    TipoDescarga tipo;
    OpcionesSalida opciones;
    std::unique_ptr<LibroExcel> libro;
    std::unique_ptr<ArchivoPlano> plano;
    std::unique_ptr<TablaPesadas> tabla;
    TiemposSumideros tiempos;
    int nuevas = 0;       // weighings this batch stored
    int yaGuardadas = 0;  // weighings an earlier download had stored
};

namespace {

// An export file: `Ruta` put in front of the name as it is (a relative one is in the data folder).
// A name that leaves that folder ("..", a separator) is refused.
QString RutaDeSalida(const QString& ruta, const QString& nombre) {
    if (nombre.isEmpty() || nombre.contains(QLatin1Char('/')) || nombre == QLatin1String("..") ||
        nombre == QLatin1String(".")) {
        throw ErrorAlmacenamiento(QStringLiteral("nombre de archivo no válido: ") + nombre, false);
    }
    const QString completa = ruta + nombre;
    return QDir::isAbsolutePath(completa) ? completa : RutaEnCarpetaDatos(completa);
}

// Runs one sink step and adds its time to the sink's account, also when it fails.
template <typename F>
void Medido(qint64& cuenta, F&& paso) {
    QElapsedTimer reloj;
    reloj.start();
    struct Suma {
        qint64& cuenta;
        QElapsedTimer& reloj;
        ~Suma() { cuenta += reloj.nsecsElapsed(); }
    } suma{cuenta, reloj};
    paso();
}

}  // namespace

Sumideros::Sumideros(TipoDescarga tipo, OpcionesSalida opciones) : d(std::make_unique<Impl>()) {
    d->tipo = tipo;
    d->opciones = std::move(opciones);
}

Sumideros::~Sumideros() {
    Abortar();
}

void Sumideros::Preparar() {
    d->tiempos = {};
    if (!d->opciones.tabla || d->tabla) return;
    d->tabla = std::make_unique<TablaPesadas>();
    Medido(d->tiempos.tablaNs, [&] { d->tabla->Abrir(); });
}

long long Sumideros::loteMaximoTabla() const {
    return d->tabla ? d->tabla->loteMaximo() : 0;
}

void Sumideros::Abrir(long long lote) {
    Preparar();
    const OpcionesSalida& o = d->opciones;
    if (o.libro) {
        const QString nombre = o.nombreLibro.trimmed().isEmpty()
                                   ? QStringLiteral("%1").arg(lote, 8, 10, QLatin1Char('0'))
                                   : o.nombreLibro.trimmed();
        d->libro = std::make_unique<LibroExcel>(
            d->tipo, RutaDeSalida(o.ruta, nombre + QStringLiteral(".xlsx")), Fecha_Frm);
        // A workbook named after its batch that exists already belongs to another batch.
        d->libro->fijarSinReemplazo(o.nombreLibro.trimmed().isEmpty());
        Medido(d->tiempos.libroNs, [&] { d->libro->Abrir(lote); });
    }
    if (o.plano) {
        d->plano = std::make_unique<ArchivoPlano>(RutaDeSalida(o.ruta, o.nombrePlano + o.extension),
                                                  o.separador, Fecha_Frm);
        Medido(d->tiempos.planoNs, [&] { d->plano->Abrir(); });
    }
}

bool Sumideros::Agregar(const Pesada& pesada) {
    bool enTabla = false, enPlano = false;
    if (d->tabla) Medido(d->tiempos.tablaNs, [&] { enTabla = !d->tabla->Agregar(pesada); });
    if (d->plano) Medido(d->tiempos.planoNs, [&] { enPlano = !d->plano->Agregar(pesada); });
    // The table, where there is one, says whether the weighing is new; else the text file.
    const bool yaGuardada = d->tabla ? enTabla : enPlano;
    if (yaGuardada) {
        ++d->yaGuardadas;
        return false;
    }
    ++d->nuevas;
    if (d->libro) Medido(d->tiempos.libroNs, [&] { d->libro->Agregar(pesada); });
    return true;
}

void Sumideros::Cerrar() {
    // A batch that brought nothing new keeps the last workbook instead of an empty one.
    if (d->libro && d->nuevas == 0 && d->yaGuardadas > 0) {
        d->libro->Abortar();
        d->libro.reset();
    }
    if (d->libro) Medido(d->tiempos.libroNs, [&] { d->libro->Preparar(); });
    if (d->tabla) {
        Medido(d->tiempos.tablaNs, [&] { d->tabla->Cerrar(); });
        d->tabla.reset();
    }
    if (d->plano) {
        Medido(d->tiempos.planoNs, [&] { d->plano->Cerrar(); });
        d->plano.reset();
    }
    if (d->libro) Medido(d->tiempos.libroNs, [&] { d->libro->Publicar(); });
}

void Sumideros::Abortar() noexcept {
    if (d->tabla) d->tabla->Abortar();
    if (d->libro) d->libro->Abortar();
    if (d->plano) d->plano->Abortar();
    d->tabla.reset();
    d->plano.reset();
}

QString Sumideros::rutaLibro() const {
    return d->libro ? d->libro->ruta() : QString();
}

QString Sumideros::rutaPlano() const {
    if (!d->opciones.plano) return {};
    const OpcionesSalida& o = d->opciones;
    return RutaDeSalida(o.ruta, o.nombrePlano + o.extension);
}

TiemposSumideros Sumideros::tiempos() const {
    return d->tiempos;
}
