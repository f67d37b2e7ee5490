#include "weighings/Decodificacion.h"

#include <QLoggingCategory>
#include <QStringList>
#include <cmath>

#include "base/Bytes.h"
#include "base/Globales.h"
#include "data/CDatos.h"
#include "settings/Cp1252.h"
#include "weighings/Sumideros.h"

Q_LOGGING_CATEGORY(lcDecodificacion, "bascora.pesadas.decodificacion")

namespace {

double Escalar(quint32 valor, int decimales) {
    return valor / std::pow(10.0, decimales);
}

QString CampoCodigo(const QByteArray& b, int inicio, int largo, bool comoTexto) {
    if (!comoTexto) return QString::number(Numero24(b, inicio));
    QByteArray bytes(largo, ' ');
    for (int k = 0; k < largo; ++k) {
        const unsigned char c = static_cast<unsigned char>(ByteDe(b, inicio + k));
        if (c != 0) bytes[k] = static_cast<char>(c);
    }
    return DesdeAnsi(bytes);
}

}  // namespace

QString TextoHex2(unsigned char b) {
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

Pesada DecodificarPesada(const QByteArray& r, const std::array<bool, 9>& texto, int decimales,
                         int numero, long long lote, long long secuencia) {
    Pesada p;
    p.Fecha =
        TextoHex2(ByteDe(r, 0)) + u'/' + TextoHex2(ByteDe(r, 1)) + u'/' + TextoHex2(ByteDe(r, 2));
    p.Hora = TextoHex2(ByteDe(r, 4)) + u':' + TextoHex2(ByteDe(r, 3));
    p.Peso = Escalar(Numero24(r, 5), decimales);
    p.Codigo[0] = CampoCodigo(r, 8, 6, texto[0]);
    for (int j = 2; j <= 5; ++j) {
        p.Codigo[j - 1] = CampoCodigo(r, 14 + 3 * (j - 2), 3, texto[j - 1]);
    }
    p.Numero = numero;
    p.Lote = lote;
    p.Secuencia = secuencia;
    return p;
}

QList<EntradaTotal> DecodificarTotales(const QByteArray& b, int decimales) {
    QList<EntradaTotal> entradas;
    entradas.reserve(CantidadTotales);
    for (int i = 0; i < CantidadTotales; ++i) {
        const int base = LargoTotal * i;
        EntradaTotal e;
        e.total = Escalar(Numero24(b, base), decimales);
        e.pesadas = Numero16(b, base + 3);
        entradas.append(e);
    }
    return entradas;
}

QList<FilaProducto> LeerFilasProductos() {
    QList<FilaProducto> filas;
    filas.reserve(CantidadTotales);
    CDatos datos;
    try {
        datos.AbrirBase(DataCSPLU);
        datos.AbreRegistro(QStringLiteral("SELECT * FROM ") + DataTbPLU +
                           QStringLiteral(" ORDER BY Grupo, Codigo"));
        for (int i = 0; i < CantidadTotales; ++i) {
            FilaProducto f;
            if (!datos.Registro.Eof()) {
                f.Codigo = datos.Registro.Campo(QStringLiteral("Codigo")).toLongLong();
                f.Grupo = datos.Registro.Campo(QStringLiteral("Grupo")).toInt();
                f.Nombre = datos.Registro.Campo(QStringLiteral("Nombre")).toString().left(30);
                datos.Registro.MoveNext();
            }
            filas.append(f);
        }
        datos.CierraRegistro();
        datos.CerrarBase();
    } catch (const ErrorBase& e) {
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
    return filas;
}

QList<TotalProducto> EmparejarTotales(const QList<FilaProducto>& filas,
                                      const QList<EntradaTotal>& entradas) {
    QList<TotalProducto> pares;
    pares.reserve(entradas.size());
    for (qsizetype i = 0; i < entradas.size(); ++i) {
        TotalProducto t;
        if (i < filas.size()) t.producto = filas.at(i);
        t.entrada = entradas.at(i);
        pares.append(t);
    }
    return pares;
}
