#include "tickets/Ticket.h"

#include <QDateTime>

#include "settings/Config.h"
#include "settings/Cp1252.h"
#include "settings/Idioma.h"

namespace {

constexpr char ESC = 27;
constexpr char SO = 14;

// Rows of the 16 labelled fields at the start of the record ("Codigo 1" .. "Codigo 8", an empty
// slot, the three tax numbers, four empty slots).
constexpr int kCamposConTexto[16] = {9, 3, 5, 7, 10, 11, 12, 13, 25, 4, 6, 8, 25, 25, 25, 25};
// Rows whose descriptors follow them alone.
constexpr int kCamposSinTexto[12] = {2, 15, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24};

const FilaTicket& FilaODescriptorVacio(const DisenoTicket& diseno, int fila) {
    static const FilaTicket vacia{false, 0, 1, false, QString()};
    return fila < CampoTicket::Filas ? diseno[fila] : vacia;
}

QByteArray ZonaCampo(const DisenoTicket& diseno, int fila) {
    const QByteArray texto = fila < CampoTicket::Filas ? AAnsi(diseno[fila].CAPTION) : QByteArray();
    return ZonaTexto(texto, kLargoTextoCampo + 1);
}

QString Peso(double valor) {
    return QStringLiteral("%1 kg").arg(QString::number(valor, 'f', 1), 10);
}

// The value a field prints after its caption.
QString ValorCampo(int fila, const MuestraTicket& m) {
    using namespace CampoTicket;
    switch (fila) {
        case NroTicket:
            return QStringLiteral("%1").arg(m.Numero, 10, 10, QChar(u'0'));
        case Codigo1:
            return m.Codigo[0];
        case Codigo2:
        case Codigo3:
        case Codigo4:
            return m.Codigo[1 + (fila - Codigo2) / 2];
        case CCodigo2:
        case CCodigo3:
        case CCodigo4:
            return m.CUIT;
        case Hora:
            return m.Hora;
        case Fecha:
            return m.Fecha;
        case PesoBruto:
            return Peso(m.Bruto);
        case Tara:
            return Peso(m.Tara);
        case PesoNeto:
            return Peso(m.Bruto - m.Tara);
        default:
            if (fila >= Codigo5 && fila <= Codigo5 + 3) return m.Codigo[4 + fila - Codigo5];
            return QString();
    }
}

// Writes `texto` into `linea` from column `columna` (0-based), cut at the line width.
void Poner(QString& linea, int columna, const QString& texto, int ancho) {
    if (columna >= ancho) return;
    const QString parte = texto.left(ancho - columna);
    if (linea.size() < columna + parte.size()) linea = linea.leftJustified(columna + parte.size());
    linea.replace(columna, parte.size(), parte);
}

}  // namespace

QString NombreCampoTicket(int fila) {
    static const char* const kNombres[CampoTicket::PrimeraLinea][2] = {
        {"014005", "Titulo 1"},    {"014006", "Titulo 2"},    {"014007", "Nro. de Ticket"},
        {"014008", "Codigo 2"},    {"014009", "C. Codigo 2"}, {"014010", "Codigo 3"},
        {"014011", "C. Codigo 3"}, {"014012", "Codigo 4"},    {"014013", "C. Codigo 4"},
        {"014014", "Codigo 1"},    {"014015", "Codigo 5"},    {"014016", "Codigo 6"},
        {"014017", "Codigo 7"},    {"014018", "Codigo 8"},    {"014019", "Hora"},
        {"014020", "Fecha"},       {"014021", "Peso Bruto"},  {"014022", "Tara"},
        {"014023", "Peso Neto"},   {"014024", "Tara Manual"},
    };
    static const char* const kLineas[5] = {"014025", "014026", "014027", "014028", "014029"};
    if (fila >= 0 && fila < CampoTicket::PrimeraLinea)
        return T(kNombres[fila][0], kNombres[fila][1]);
    if (fila >= CampoTicket::PrimeraLinea && fila < CampoTicket::Filas)
        return TextoIdioma(QString::fromLatin1(kLineas[fila - CampoTicket::PrimeraLinea]),
                           QStringLiteral("Linea"));
    return QString();
}

QString NombreImpresora(int tipo) {
    static const char* const kNombres[kTiposImpresora] = {"Citizen (ASCII)", "Epson (EscP2)",
                                                          "Eltron (EPL1)", "Eltron (EPL2)"};
    return tipo >= 0 && tipo < kTiposImpresora ? QString::fromLatin1(kNombres[tipo]) : QString();
}

bool EsImpresoraEtiquetas(int tipo) {
    return tipo == 2 || tipo == 3;
}

int AnchoLinea(int tipo) {
    return EsImpresoraEtiquetas(tipo) ? 60 : 78;
}

int ModeloPorDefecto(int tipo) {
    return EsImpresoraEtiquetas(tipo) ? 5 : 1;
}

AjustesMembrete LeerAjustesMembrete() {
    const auto entero = [](const char* clave, const char* defecto) {
        return static_cast<int>(ValorEntero(LeerConfig(
            QStringLiteral("global"), QString::fromLatin1(clave), QString::fromLatin1(defecto))));
    };
    AjustesMembrete a;
    a.TipoImpre = entero("TipoImpre", "0");
    if (a.TipoImpre < 0 || a.TipoImpre >= kTiposImpresora) a.TipoImpre = 0;
    a.L1N = entero("L1N", "0") == 1;
    a.L2N = entero("L2N", "0") == 1;
    a.ModTicket = entero("ModTicket", "1");
    if (a.ModTicket < 1 || a.ModTicket > 5) a.ModTicket = 1;
    a.BarCode = entero("BarCode", "2");
    return a;
}

void GuardarAjustesMembrete(const AjustesMembrete& a) {
    GuardarConfigSeccion(QStringLiteral("global"),
                         {{QStringLiteral("L1N"), QString::number(a.L1N ? 1 : 0)},
                          {QStringLiteral("L2N"), QString::number(a.L2N ? 1 : 0)},
                          {QStringLiteral("TipoImpre"), QString::number(a.TipoImpre)},
                          {QStringLiteral("ModTicket"), QString::number(a.ModTicket)}});
}

QByteArray Descriptor(const FilaTicket& fila) {
    QByteArray d(4, '\0');
    d[0] = fila.ENABLE ? 1 : 0;
    d[1] = static_cast<char>(fila.FILA);
    d[2] = static_cast<char>(fila.COLUMNA - 1);
    d[3] = fila.C_ENABLE ? 1 : 0;
    return d;
}

QByteArray ZonaTexto(const QByteArray& texto, int tamano) {
    QByteArray zona = texto.left(tamano - 1);
    zona.append('\0');
    return zona.leftJustified(tamano, ' ');
}

QByteArray PrepararTitulo(int linea, const QString& texto, const AjustesMembrete& a) {
    const QByteArray t = AAnsi(texto);
    const bool doble = linea == 0 ? a.L1N : a.L2N;
    switch (a.TipoImpre) {
        case 2: {
            QByteArray r;
            if (linea == 0) {
                r += ESC + QByteArray("S0") + ESC + "M03" + ESC + "?" +
                     QByteArray::number(a.BarCode);
            }
            return r + ESC + (doble ? "A12" : "A03") + t + ESC + "A11";
        }
        case 3:
            if (linea == 0) return QByteArray("\r\nFR\"VELA\"\r\n?\r\n") + t;
            return t;
        default:
            return doble ? SO + t : t;
    }
}

QString ErrorDiseno(const QList<FilaTicket>& filas, const QString& tabla) {
    if (filas.size() < CampoTicket::Filas) {
        return T("006027", "La tabla %1 tiene %2 filas y un ticket necesita 25.")
            .arg(tabla)
            .arg(filas.size());
    }
    for (int i = 0; i < CampoTicket::Filas; ++i) {
        const FilaTicket& f = filas.at(i);
        const auto fuera = [](int v) { return v < 1 || v > 255; };
        if (fuera(f.FILA) || fuera(f.COLUMNA)) {
            return T("006028",
                     "Fila %1 (%2) de la tabla %3: FILA %4 y COLUMNA %5 deben estar "
                     "entre 1 y 255.")
                .arg(i)
                .arg(NombreCampoTicket(i), tabla)
                .arg(f.FILA)
                .arg(f.COLUMNA);
        }
    }
    return QString();
}

QByteArray RegistroTicket(const DisenoTicket& diseno, const AjustesMembrete& ajustes) {
    QByteArray r;
    r.reserve(kLargoRegistroTicket);
    for (int fila : kCamposConTexto)
        r += Descriptor(FilaODescriptorVacio(diseno, fila)) + ZonaCampo(diseno, fila);
    for (int fila : kCamposSinTexto) r += Descriptor(diseno[fila]);
    for (int linea : {0, 1}) {
        r += Descriptor(diseno[linea]);
        r += ZonaTexto(PrepararTitulo(linea, diseno[linea].CAPTION, ajustes), kLargoTitulo + 1);
    }
    return r;
}

QByteArray TramaFormulario(const QByteArray& archivo) {
    return char(0xFF) + archivo + '\0';
}

QByteArray TramaFormularioCorto(const QByteArray& archivo) {
    return archivo + '\0';
}

MuestraTicket MuestraPorDefecto() {
    MuestraTicket m;
    const QDateTime ahora = QDateTime::currentDateTime();
    m.Fecha = ahora.toString(QStringLiteral("dd/MM/yy"));
    m.Hora = ahora.toString(QStringLiteral("hh:mm"));
    m.Bruto = 12345.0;
    m.Tara = 2345.0;
    for (int k = 0; k < 8; ++k) m.Codigo[k] = QString::number(k + 1);
    return m;
}

QList<LineaVista> VistaTicket(const DisenoTicket& diseno, const AjustesMembrete& ajustes,
                              const MuestraTicket& muestra) {
    const int ancho = AnchoLinea(ajustes.TipoImpre);
    QList<LineaVista> lineas;
    const auto linea = [&](int fila) -> LineaVista& {
        while (lineas.size() < fila) lineas.append(LineaVista{});
        return lineas[fila - 1];
    };
    for (int i = 0; i < CampoTicket::Filas; ++i) {
        const FilaTicket& f = diseno[i];
        if (!f.ENABLE || f.FILA < 1 || f.FILA > 255 || f.COLUMNA < 1) continue;
        LineaVista& l = linea(f.FILA);
        if (i >= CampoTicket::PrimeraLinea) {
            l.texto = QString(ancho, u'-');
        } else if (i <= CampoTicket::Titulo2) {
            const bool doble = i == 0 ? ajustes.L1N : ajustes.L2N;
            l.doble = l.doble || doble;
            Poner(l.texto, f.COLUMNA - 1, f.CAPTION, doble ? ancho / 2 : ancho);
        } else {
            const QString rotulo = f.C_ENABLE ? f.CAPTION.left(kLargoTextoCampo) : QString();
            Poner(l.texto, f.COLUMNA - 1, rotulo + ValorCampo(i, muestra), ancho);
        }
    }
    return lineas;
}
