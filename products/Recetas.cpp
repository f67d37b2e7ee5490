#include "products/Recetas.h"

#include <QRegularExpression>

#include <QLocale>
#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>

#include "base/Globales.h"
#include "base/Interaccion.h"
#include "data/Conexion.h"
#include "link/Enlace.h"
#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"

Q_LOGGING_CATEGORY(lcRecetas, "bascora.recetas")

namespace {

constexpr int kRegistrosMemoria = 65536;
constexpr int kDecimalesMaximos = 30;  // beyond this every value is out of range anyway

// ---- decimal text
// --------------------------------------------------------------------------------

struct NumeroDecimal {
    bool negativo = false;
    QString digitos;  // integer and fraction digits, without the point
    int enteros = 0;  // how many of them are before the point
};

// A plain decimal number: blanks around, optional sign, digits with at most one ".".
std::optional<NumeroDecimal> AnalizarDecimal(const QString& texto) {
    const QString t = texto.trimmed();
    NumeroDecimal n;
    int i = 0;
    if (i < t.size() && (t.at(i) == u'-' || t.at(i) == u'+')) n.negativo = t.at(i++) == u'-';
    bool punto = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= u'0' && c <= u'9') {
            n.digitos += c;
            if (!punto) ++n.enteros;
        } else if (c == u'.' && !punto) {
            punto = true;
        } else {
            return std::nullopt;
        }
    }
    if (n.digitos.isEmpty()) return std::nullopt;
    return n;
}

// Integer part and the digits dropped when the point moves `decimales` places to the right.
std::pair<QString, QString> Desplazar(const NumeroDecimal& n, int decimales) {
    const int punto = n.enteros + decimales;
    if (punto <= 0) return {QString(), QString(-punto, u'0') + n.digitos};
    if (punto >= n.digitos.size())
        return {n.digitos + QString(punto - n.digitos.size(), u'0'), QString()};
    return {n.digitos.left(punto), n.digitos.mid(punto)};
}

// Rounds to the nearest, ties to even, looking at the dropped digits.
qint64 RedondearPar(qint64 entero, const QString& descartados) {
    if (descartados.isEmpty()) return entero;
    const int primero = descartados.at(0).digitValue();
    bool resto = false;
    for (int i = 1; i < descartados.size(); ++i) resto = resto || descartados.at(i) != u'0';
    if (primero > 5 || (primero == 5 && resto) || (primero == 5 && entero % 2 != 0))
        return entero + 1;
    return entero;
}

double Potencia10(int decimales) {
    return std::pow(10.0, decimales);
}

// ---- texts
// ---------------------------------------------------------------------------------------

QString TituloError() {
    return T("011015", "Error");
}

QString TituloAtencion() {
    return T("011018", "Atencion");
}

void AvisarError(Interaccion& interaccion, const QString& texto) {
    interaccion.Avisar(texto, TituloError(), Icono::Error);
}

QString NombreComponente(int k) {
    const QString nombre = LeerConfiguracionSP().nombres.value(k - 1).trimmed();
    return nombre.isEmpty() ? QString::number(k) : QStringLiteral("%1 (%2)").arg(k).arg(nombre);
}

QString MensajeValorRechazado(int receta, const RecetaCodificada& c, const QStringList& valores,
                              int decimales) {
    const QString componente = NombreComponente(c.componente);
    const QString valor = valores.value(c.componente - 1).trimmed();
    switch (c.fallo) {
        case FalloValor::Vacio:
            return T("011038",
                     "Receta %1 no cargada, no se envió nada: el componente %2 está vacío.")
                .arg(receta)
                .arg(componente);
        case FalloValor::NoNumero:
            return T("011039",
                     "Receta %1 no cargada, no se envió nada: el valor \"%3\" del componente %2 no "
                     "es un número.")
                .arg(receta)
                .arg(componente, valor);
        default:
            return T("011040",
                     "Receta %1 no cargada, no se envió nada: el componente %2 vale %3 y el "
                     "indicador admite de %4 a %5.")
                .arg(receta)
                .arg(componente, valor, TextoValor(-32768 / Potencia10(decimales)),
                     TextoValor(32767 / Potencia10(decimales)));
    }
}

// The settings cannot give a recipe area, or the recipe lies outside the indicator's memory.
bool RecetaAdmitida(Interaccion& interaccion, int receta, const AjustesRecetas& ajustes) {
    if (!ComponentesValidos(ajustes.Componentes)) {
        AvisarError(interaccion, T("011041",
                                   "El número de componentes (cntComp = %1) no es válido: debe "
                                   "ser par, de 2 a 16.")
                                     .arg(ajustes.Componentes));
        return false;
    }
    if (!RecetaEnMemoria(receta, ajustes.Componentes)) {
        AvisarError(
            interaccion,
            T("011045", "La receta %1 está fuera de la memoria del indicador.").arg(receta));
        return false;
    }
    return true;
}

// ---- table
// ---------------------------------------------------------------------------------------

// Table names come from the settings: quoted, in the spelling the engine keeps (PostgreSQL folds
// unquoted names to lower case when they are created).
QString TablaCitada(const QSqlDatabase& db, const QString& nombre) {
    QString real = nombre;
    for (const QString& t : db.tables()) {
        if (t.compare(nombre, Qt::CaseInsensitive) == 0) {
            real = t;
            break;
        }
    }
    return db.driver()->escapeIdentifier(real, QSqlDriver::TableName);
}

QString ListaColumnas() {
    QStringList c;
    for (int i = 0; i <= kMaxComponentes; ++i) c << ColumnaReceta(i);
    return c.join(QStringLiteral(", "));
}

RegistroReceta FilaDe(const QSqlQuery& q) {
    RegistroReceta r;
    r.Receta = q.value(0).toInt();
    for (int k = 1; k <= kMaxComponentes; ++k) {
        const QVariant v = q.value(k);
        if (!v.isNull()) r.Ingrediente[k - 1] = v.toDouble();
    }
    return r;
}

QSqlDatabase Base(const TablaDatos& tabla, QString* error) {
    QString motivo;
    QSqlDatabase db = ConexionPara(tabla.conexion, &motivo);
    if (!db.isValid() || !db.isOpen()) {
        *error = motivo.isEmpty() ? QStringLiteral("no database connection") : motivo;
        return QSqlDatabase();
    }
    return db;
}

bool Fallar(const QSqlQuery& q, QString* error) {
    *error = q.lastError().text();
    qCWarning(lcRecetas) << "recipes table:" << *error;
    return false;
}

}  // namespace

// ---- settings and layout
// -------------------------------------------------------------------------

AjustesRecetas LeerAjustesRecetas() {
    const auto entero = [](const char* clave, const char* defecto) {
        const long long v = ValorEntero(LeerConfig(
            QStringLiteral("global"), QString::fromLatin1(clave), QString::fromLatin1(defecto)));
        // No wrap-around: a count that does not fit stays out of range and is refused.
        return int(std::clamp(v, -100000LL, 100000LL));
    };
    AjustesRecetas a;
    a.Componentes = entero("cntComp", "8");
    a.Decimales = qBound(-kDecimalesMaximos, entero("Decimales_1", "1"), kDecimalesMaximos);
    return a;
}

bool ComponentesValidos(int componentes) {
    return componentes >= 2 && componentes <= kMaxComponentes && componentes % 2 == 0;
}

int RegistrosReceta(int componentes) {
    return componentes * kBytesComponente / 2;
}

int DireccionReceta(int receta, int componentes) {
    return DirRecetas + receta * RegistrosReceta(componentes);
}

bool RecetaEnMemoria(int receta, int componentes) {
    if (receta < 0 || !ComponentesValidos(componentes)) return false;
    const qint64 fin = DirRecetas + qint64(receta + 1) * RegistrosReceta(componentes);
    return fin <= kRegistrosMemoria;
}

// ---- value encoding
// ------------------------------------------------------------------------------

FalloValor EscalarValor(const QString& texto, int decimales, qint16* valor) {
    if (texto.trimmed().isEmpty()) return FalloValor::Vacio;
    const std::optional<NumeroDecimal> n = AnalizarDecimal(texto);
    if (!n) return FalloValor::NoNumero;
    auto [entero, descartados] =
        Desplazar(*n, qBound(-kDecimalesMaximos, decimales, kDecimalesMaximos));
    while (entero.startsWith(u'0')) entero.remove(0, 1);
    if (entero.size() > 9) return FalloValor::FueraDeRango;
    const qint64 magnitud = RedondearPar(entero.isEmpty() ? 0 : entero.toLongLong(), descartados);
    const qint64 v = n->negativo ? -magnitud : magnitud;
    if (v < -32768 || v > 32767) return FalloValor::FueraDeRango;
    *valor = qint16(v);
    return FalloValor::Ninguno;
}

QByteArray BytesValor(qint16 valor) {
    const qint32 v = valor;  // sign-extended: the shifts below give the 24-bit two's complement
    QByteArray b(kBytesComponente, '\0');
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    b[2] = char((v >> 16) & 0xFF);
    return b;
}

double DecodificarValor(const QByteArray& datos, int posicion, int decimales) {
    const auto byte = [&](int i) { return quint32(quint8(datos.at(posicion + i))); };
    const quint32 crudo = byte(0) | byte(1) << 8 | byte(2) << 16;
    return crudo / Potencia10(decimales);
}

RecetaCodificada CodificarReceta(const QStringList& valores, int decimales) {
    RecetaCodificada c;
    for (int k = 1; k <= valores.size(); ++k) {
        qint16 v = 0;
        const FalloValor fallo = EscalarValor(valores.at(k - 1), decimales, &v);
        if (fallo != FalloValor::Ninguno) {
            c.bytes.clear();
            c.componente = k;
            c.fallo = fallo;
            return c;
        }
        c.bytes += BytesValor(v);
    }
    return c;
}

QList<double> DecodificarReceta(const QByteArray& bytes, int componentes, int decimales) {
    QList<double> valores;
    for (int k = 0; k < componentes && (k + 1) * kBytesComponente <= bytes.size(); ++k)
        valores << DecodificarValor(bytes, k * kBytesComponente, decimales);
    return valores;
}

QString TextoValor(std::optional<double> valor) {
    if (!valor || !std::isfinite(*valor)) return QString();
    if (*valor == 0) return QStringLiteral("0");
    QString t = QString::number(*valor, 'f', 10);
    while (t.endsWith(u'0')) t.chop(1);
    if (t.endsWith(u'.')) t.chop(1);
    return t == u"-0" ? QStringLiteral("0") : t;
}

QString TextoValorFijo(std::optional<double> valor, int decimales) {
    if (!valor || !std::isfinite(*valor)) return QString();
    return QString::number(*valor, 'f', qMax(decimales, 0));
}

bool ValorDeTexto(const QString& texto, std::optional<double>* valor) {
    if (texto.trimmed().isEmpty()) {
        valor->reset();
        return true;
    }
    if (!AnalizarDecimal(texto)) return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(texto.trimmed(), &ok);
    if (!ok || !std::isfinite(v)) return false;
    *valor = v;
    return true;
}

// ---- recipes table
// -------------------------------------------------------------------------------

QString ColumnaReceta(int i) {
    return i == 0 ? QStringLiteral("Receta") : QStringLiteral("Ingrediente%1").arg(i);
}

QList<RegistroReceta> LeerRecetas(const TablaDatos& tabla, int orden, QString* error) {
    error->clear();
    QSqlDatabase db = Base(tabla, error);
    if (!db.isValid()) return {};
    const QString columna = ColumnaReceta(qBound(0, orden, kMaxComponentes));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 ASC, Receta ASC")
                            .arg(ListaColumnas(), TablaCitada(db, tabla.tabla), columna);
    if (!q.exec(sql)) {
        Fallar(q, error);
        return {};
    }
    QList<RegistroReceta> filas;
    while (q.next()) filas << FilaDe(q);
    return filas;
}

std::optional<RegistroReceta> LeerReceta(const TablaDatos& tabla, int receta, QString* error) {
    error->clear();
    QSqlDatabase db = Base(tabla, error);
    if (!db.isValid()) return std::nullopt;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE Receta = ?")
                  .arg(ListaColumnas(), TablaCitada(db, tabla.tabla)));
    q.addBindValue(receta);
    if (!q.exec()) {
        Fallar(q, error);
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    return FilaDe(q);
}

bool GuardarReceta(const TablaDatos& tabla, const RegistroReceta& registro, QString* error) {
    error->clear();
    QSqlDatabase db = Base(tabla, error);
    if (!db.isValid()) return false;
    QStringList asignaciones;
    for (int k = 1; k <= kMaxComponentes; ++k)
        asignaciones << ColumnaReceta(k) + QStringLiteral(" = ?");
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE Receta = ?")
                  .arg(TablaCitada(db, tabla.tabla), asignaciones.join(QStringLiteral(", "))));
    for (const std::optional<double>& v : registro.Ingrediente)
        q.addBindValue(v ? QVariant(*v) : QVariant(QMetaType::fromType<double>()));
    q.addBindValue(registro.Receta);
    if (!q.exec()) return Fallar(q, error);
    if (q.numRowsAffected() == 0) {
        *error = T("011043", "La receta %1 no existe en la tabla de recetas.").arg(registro.Receta);
        return false;
    }
    return true;
}

// ---- transfers
// -----------------------------------------------------------------------------------

QString PreguntaCargarReceta(int receta) {
    return Frase({T("011023", "Desea cargar la receta"), QString::number(receta),
                  T("011024", "en el indicador?")});
}

QString PreguntaRecuperarReceta(int receta) {
    return Frase({T("011016", "Desea recuperar la receta"), QString::number(receta),
                  T("011017", "desde el indicador?")});
}

QString LeyendaEnvioReceta(int receta, bool actual) {
    return Frase({actual ? T("011029", "Enviando Receta Actual") : T("011025", "Enviando Receta"),
                  QString::number(receta)});
}

QString TextoRecetaActual(int receta) {
    return Frase({T("011027", "Receta actual en el indicador:"), QString::number(receta)});
}

ResultadoCargaReceta CargarReceta(Enlace& enlace, Interaccion& interaccion, int receta,
                                  const QStringList& valores, const AjustesRecetas& ajustes) {
    ResultadoCargaReceta r;
    r.receta = receta;
    if (!RecetaAdmitida(interaccion, receta, ajustes)) return r;
    if (!interaccion.Preguntar(PreguntaCargarReceta(receta), TituloAtencion(), Icono::Informacion))
        return r;
    r.confirmada = true;

    QStringList componentes = valores.mid(0, ajustes.Componentes);
    while (componentes.size() < ajustes.Componentes) componentes << QString();
    const RecetaCodificada c = CodificarReceta(componentes, ajustes.Decimales);
    if (!c.ok()) {
        AvisarError(interaccion, MensajeValorRechazado(receta, c, componentes, ajustes.Decimales));
        return r;
    }

    if (!EscribirRegistros(enlace, DireccionReceta(receta, ajustes.Componentes), c.bytes,
                           LeyendaEnvioReceta(receta, false))) {
        AvisarError(interaccion, T("011026", "Error al cargar la Receta"));
        return r;
    }
    r.enviada = true;

    QByteArray dato;
    if (!LeerRegistros(enlace, DirCodigos, 2, &dato) || dato.size() < 3) {
        AvisarError(interaccion, T("011028", "Error al recuperar numero de receta"));
        return r;
    }
    r.actual = int(quint8(dato.at(0)) | quint8(dato.at(1)) << 8 | quint8(dato.at(2)) << 16);
    if (r.actual != receta) return r;

    r.actualEscrita = EscribirRegistros(enlace, DirSP, c.bytes, LeyendaEnvioReceta(receta, true));
    if (!r.actualEscrita) AvisarError(interaccion, T("011030", "Error al cargar la Receta Actual"));
    return r;
}

ResultadoRecuperacionReceta RecuperarReceta(Enlace& enlace, Interaccion& interaccion,
                                            const TablaDatos& tabla, int receta,
                                            const AjustesRecetas& ajustes) {
    ResultadoRecuperacionReceta r;
    if (!RecetaAdmitida(interaccion, receta, ajustes)) return r;
    QString error;
    std::optional<RegistroReceta> registro = LeerReceta(tabla, receta, &error);
    if (!registro) {
        AvisarError(interaccion,
                    error.isEmpty()
                        ? T("011043", "La receta %1 no existe en la tabla de recetas.").arg(receta)
                        : T("011044", "Error en la tabla de recetas: %1").arg(error));
        return r;
    }
    if (!interaccion.Preguntar(PreguntaRecuperarReceta(receta), TituloAtencion(),
                               Icono::Informacion))
        return r;
    r.confirmada = true;

    const int n = ajustes.Componentes;
    QByteArray dato;
    if (!LeerRegistros(enlace, DireccionReceta(receta, n), RegistrosReceta(n), &dato) ||
        dato.size() < n * kBytesComponente) {
        AvisarError(interaccion, T("011019", "Error al recuperar la receta"));
        return r;
    }
    r.valores = DecodificarReceta(dato, n, ajustes.Decimales);
    for (int k = 0; k < n; ++k) registro->Ingrediente[k] = r.valores.at(k);
    if (!GuardarReceta(tabla, *registro, &error)) {
        AvisarError(interaccion, T("011044", "Error en la tabla de recetas: %1").arg(error));
        return r;
    }
    r.exito = true;
    return r;
}

// ---- set points
// ----------------------------------------------------------------------------------

ConfiguracionSP LeerConfiguracionSP() {
    ConfiguracionSP c;
    const QString seccion = QStringLiteral("SP");
    for (int n = 1; n <= kSetPoints; ++n) {
        c.nombres << LeerConfig(seccion, QStringLiteral("SP%1").arg(n),
                                QStringLiteral("Valor %1").arg(n));
        c.letras << LeerConfig(seccion, QStringLiteral("LSP%1").arg(n), QString::number(n));
    }
    return c;
}

QByteArray BytesNombresSP(const QStringList& nombres) {
    QByteArray b;
    for (int n = 0; n < kSetPoints; ++n)
        b += AAnsi(nombres.value(n).left(kLargoNombreSP)).leftJustified(kLargoNombreSP, ' ');
    return b;
}

QByteArray BytesLetrasSP(const QStringList& letras) {
    QByteArray b;
    for (int n = 0; n < kSetPoints; ++n) {
        const QString letra = letras.value(n).left(1);
        b += letra.isEmpty() ? QByteArray(" ") : AAnsi(letra);
    }
    return b;
}

namespace {

// A zero byte would end the value in the settings file: it is kept as a blank.
QString TextoDeBytes(const QByteArray& bytes) {
    QByteArray b = bytes;
    b.replace('\0', ' ');
    return DesdeAnsi(b);
}

// The settings file cannot hold leading blanks (reading drops them): a blank letter is stored as
// no letter and a name loses the blanks in front, instead of the whole section being refused.
void GuardarSP(const QString& prefijo, const QStringList& valores) {
    static const QRegularExpression blancosIniciales(QStringLiteral("^ +"));
    QList<std::pair<QString, QString>> claves;
    for (int n = 1; n <= kSetPoints; ++n)
        claves.append(
            {prefijo + QString::number(n), valores.value(n - 1).remove(blancosIniciales)});
    if (!GuardarConfigSeccion(QStringLiteral("SP"), claves))
        qWarning("set points not stored: %s", qPrintable(UltimoErrorConfig()));
}

}  // namespace

ResultadoConfiguracionSP CargarConfiguracionSP(Enlace& enlace, Interaccion& interaccion,
                                               const ConfiguracionSP& configuracion) {
    ResultadoConfiguracionSP r;
    if (!interaccion.Preguntar(T("011031", "Desea cargar la configuracion en el indicador?"),
                               TituloAtencion(), Icono::Informacion))
        return r;
    r.confirmada = true;
    QList<std::pair<QString, QString>> claves;
    for (int n = 1; n <= kSetPoints; ++n) {
        claves.append({QStringLiteral("SP%1").arg(n), configuracion.nombres.value(n - 1)});
        claves.append({QStringLiteral("LSP%1").arg(n), configuracion.letras.value(n - 1)});
    }
    GuardarConfigSeccion(QStringLiteral("SP"), claves);

    r.letras = EscribirRegistros(enlace, DirSetupSP, BytesLetrasSP(configuracion.letras),
                                 T("011032", "Enviando Letras..."));
    if (!r.letras) AvisarError(interaccion, T("011033", "Error al cargar las letras"));
    r.nombres = EscribirRegistros(enlace, DirNombSP, BytesNombresSP(configuracion.nombres),
                                  T("011034", "Enviando Nombres..."));
    if (!r.nombres) AvisarError(interaccion, T("011035", "Error al cargar los nombres"));
    return r;
}

ResultadoConfiguracionSP RecuperarConfiguracionSP(Enlace& enlace, Interaccion& interaccion) {
    ResultadoConfiguracionSP r;
    if (!interaccion.Preguntar(T("011020", "Desea recuperar la configuracion del indicador?"),
                               TituloAtencion(), Icono::Informacion))
        return r;
    r.confirmada = true;

    QByteArray dato;
    r.nombres = LeerRegistros(enlace, DirNombSP, kSetPoints * kLargoNombreSP / 2, &dato) &&
                dato.size() >= kSetPoints * kLargoNombreSP;
    if (r.nombres) {
        for (int n = 0; n < kSetPoints; ++n)
            r.leida.nombres << TextoDeBytes(dato.mid(n * kLargoNombreSP, kLargoNombreLeido));
        GuardarSP(QStringLiteral("SP"), r.leida.nombres);
    } else {
        AvisarError(interaccion, T("011021", "Error al recuperar los nombres"));
    }

    r.letras =
        LeerRegistros(enlace, DirSetupSP, kSetPoints / 2, &dato) && dato.size() >= kSetPoints;
    if (r.letras) {
        for (int n = 0; n < kSetPoints; ++n) r.leida.letras << TextoDeBytes(dato.mid(n, 1));
        GuardarSP(QStringLiteral("LSP"), r.leida.letras);
    } else {
        AvisarError(interaccion, T("011022", "Error al recuperar las letras"));
    }
    return r;
}
