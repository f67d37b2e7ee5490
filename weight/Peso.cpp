#include "weight/Peso.h"

#include <QtMath>

#include "base/Bytes.h"
#include "base/Globales.h"
#include "link/Tramas.h"
#include "settings/Config.h"

namespace {

constexpr int kRegistrosPeso = 8;
constexpr int kIntentosLectura = 3;

}  // namespace

int DecimalesPeso() {
    const long long d = ValorEntero(
        LeerConfig(QStringLiteral("global"), QStringLiteral("Decimales_1"), QStringLiteral("0")));
    return int(qBound(0LL, d, 9LL));
}

bool DecodificarPeso(const QByteArray& dato, int decimales, LecturaPeso& lectura) {
    if (dato.size() != 2 * kRegistrosPeso) return false;
    const double escala = qPow(10.0, qBound(0, decimales, 9));
    const quint8 estado = quint8(dato.at(12));
    lectura.Bruto = double(qint32(Numero32(dato, 0))) / escala;
    lectura.Tara = double(Numero32(dato, 4)) / escala;
    lectura.Neto = double(qint32(Numero32(dato, 8))) / escala;
    lectura.Bit2 = (estado & 0x04) ? 1 : 0;
    lectura.Bit0 = (estado & 0x01) ? 1 : 0;
    lectura.BitTara = (estado & 0x08) ? 1 : 0;
    lectura.Decimales = qBound(0, decimales, 9);
    return true;
}

bool LeePeso(Transporte& linea, int& Balanza, double& Bruto, double& Tara, double& Neto, int& Bit2,
             int& Bit0, int& BitTara) {
    Q_UNUSED(Balanza);  // one scale per indicator here
    const int decimales = DecimalesPeso();
    const long long id = ValorEntero(
        LeerConfig(QStringLiteral("global"), QStringLiteral("ID_1"), QStringLiteral("0")));
    QByteArray dato;
    for (int i = 0; i < kIntentosLectura && dato.isEmpty(); ++i)
        dato = RxD(linea, int(id), DirPeso, kRegistrosPeso);
    LecturaPeso l;
    if (!DecodificarPeso(dato, decimales, l)) {
        Bruto = kSinLectura;
        return false;
    }
    Bruto = l.Bruto;
    Tara = l.Tara;
    Neto = l.Neto;
    Bit2 = l.Bit2;
    Bit0 = l.Bit0;
    BitTara = l.BitTara;
    return true;
}

QString PatronPeso(int decimales) {
    QString patron = QStringLiteral("#####0");
    if (decimales > 0) patron += QLatin1Char('.') + QString(decimales, QLatin1Char('0'));
    return patron;
}

QString FormatearPeso(double valor, int decimales, const QLocale& local) {
    QLocale sinGrupos(local);
    sinGrupos.setNumberOptions(local.numberOptions() | QLocale::OmitGroupSeparator);
    QString texto = sinGrupos.toString(valor, 'f', qBound(0, decimales, 9));
    // A value that rounds to zero is shown without a sign.
    if (texto.startsWith(sinGrupos.negativeSign()) &&
        sinGrupos.toDouble(texto.mid(sinGrupos.negativeSign().size())) == 0.0)
        texto.remove(0, sinGrupos.negativeSign().size());
    return texto;
}

bool LamparaRoja(int Bit2, int Bit0, double Neto) {
    return Bit2 == 1 || Bit0 == 1 || Neto <= 0;
}
