#include "reports/ExportarReporte.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <filesystem>

#include "base/Globales.h"
#include "weighings/LibroExcel.h"
#include "weighings/Sumideros.h"

namespace {

constexpr qint64 kCadaProgreso = 1000;
constexpr qint64 kFilasHoja = 1048576;  // rows of a worksheet

bool Fallar(QString* error, const QString& texto) {
    if (error) *error = texto;
    return false;
}

bool DestinoUtilizable(const QString& ruta, QString* error) {
    if (QFileInfo(ruta).isSymLink()) {
        return Fallar(error, ruta + QStringLiteral(": es un enlace simbólico, no se escribe"));
    }
    return true;
}

QString TextoCsv(const QVariant& v) {
    if (v.isNull()) return QString();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        return QLocale::c().toString(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    QString t = v.toString();
    if (t.contains(u',') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r')) {
        t.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        t = u'"' + t + u'"';
    }
    return t;
}

QString LineaCsv(const QVariantList& valores) {
    QStringList campos;
    for (const QVariant& v : valores) campos << TextoCsv(v);
    return campos.join(u',') + QStringLiteral("\r\n");
}

QString TextoCodigo(const QVariant& v) {
    if (v.isNull()) return QString();
    if (v.typeId() == QMetaType::Double) {
        return QLocale::c().toString(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    return v.toString();
}

Pesada PesadaDeFila(const QStringList& columnas, const QVariantList& valores) {
    Pesada p;
    const auto valor = [&](const QString& c) {
        const qsizetype k = columnas.indexOf(c);
        return k < 0 ? QVariant() : valores.at(k);
    };
    p.Lote = valor(QStringLiteral("Lote")).toLongLong();
    p.Numero = valor(QStringLiteral("Numero")).toInt();
    p.Fecha = valor(QStringLiteral("Fecha")).toString();
    p.Hora = valor(QStringLiteral("Hora")).toString();
    p.Peso = valor(QStringLiteral("Peso")).toDouble();
    for (int j = 0; j < 5; ++j)
        p.Codigo[j] = TextoCodigo(valor(QStringLiteral("Codigo%1").arg(j + 1)));
    return p;
}

}  // namespace

qint64 FilasMaximasLibro() {
    return kFilasHoja - PrimeraFilaDatos + 1;
}

bool ExportarCsv(const VistaReporte& vista, const QString& ruta,
                 const ProgresoExportacion& progreso, QString* error) {
    ConsultaReporte consulta;
    if (!consulta.Abrir(vista, error)) return false;
    const qint64 total = consulta.Cantidad(error);
    if (total < 0 || !DestinoUtilizable(ruta, error)) return false;
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) {
        return Fallar(error, ruta + QStringLiteral(": ") + archivo.errorString());
    }
    QVariantList cabecera;
    for (const QString& c : consulta.Columnas()) cabecera << c;
    archivo.write(LineaCsv(cabecera).toUtf8());
    qint64 hechas = 0;
    const bool ok = consulta.Recorrer(
        [&](const QVariantList& fila) {
            archivo.write(LineaCsv(fila).toUtf8());
            if (++hechas % kCadaProgreso == 0 && progreso) progreso(hechas, total);
            return true;
        },
        error);
    if (!ok) {
        archivo.cancelWriting();
        return false;
    }
    if (!archivo.commit())
        return Fallar(error, ruta + QStringLiteral(": ") + archivo.errorString());
    if (progreso) progreso(hechas, total);
    return true;
}

bool ExportarLibro(const VistaReporte& vista, const QString& ruta,
                   const ProgresoExportacion& progreso, QString* error) {
    ConsultaReporte consulta;
    if (!consulta.Abrir(vista, error)) return false;
    const qint64 total = consulta.Cantidad(error);
    if (total < 0 || !DestinoUtilizable(ruta, error)) return false;
    if (total > FilasMaximasLibro()) {
        return Fallar(error, QStringLiteral("%1 filas no caben en una hoja (máximo %2)")
                                 .arg(total)
                                 .arg(FilasMaximasLibro()));
    }
    const QStringList columnas = consulta.Columnas();
    QList<Pesada> pesadas;
    pesadas.reserve(total);
    qint64 lote = -1;
    const bool ok = consulta.Recorrer(
        [&](const QVariantList& fila) {
            pesadas << PesadaDeFila(columnas, fila);
            lote = lote == -1 || lote == pesadas.last().Lote ? pesadas.last().Lote : 0;
            // Reading is the first half of the work, writing the workbook the second.
            if (pesadas.size() % kCadaProgreso == 0 && progreso)
                progreso(pesadas.size() / 2, total);
            return true;
        },
        error);
    if (!ok) return false;
    // The writer fills a copy of the template in place: it works on a file beside the target.
    const QFileInfo destino(ruta);
    const QString parcial =
        destino.dir().filePath(u'.' + destino.fileName() + QStringLiteral(".parcial"));
    if (QFileInfo(parcial).isSymLink() || QFileInfo(parcial).isDir()) {
        return Fallar(error, parcial + QStringLiteral(": no se puede usar"));
    }
    QFile::remove(parcial);
    LibroExcel libro(TipoDescarga::Manual, parcial, Fecha_Frm);
    try {
        libro.Abrir(qMax<qint64>(0, lote));
        for (const Pesada& p : pesadas) libro.Agregar(p);
        libro.Cerrar();
    } catch (const ErrorAlmacenamiento& e) {
        libro.Abortar();
        QFile::remove(parcial);
        return Fallar(error, e.descripcion());
    }
    // rename() replaces the target itself, never a file a link would point to.
    std::error_code codigo;
    std::filesystem::rename(QFile::encodeName(parcial).toStdString(),
                            QFile::encodeName(ruta).toStdString(), codigo);
    if (codigo) {
        QFile::remove(parcial);
        return Fallar(error,
                      ruta + QStringLiteral(": ") + QString::fromStdString(codigo.message()));
    }
    if (progreso) progreso(total, total);
    return true;
}
