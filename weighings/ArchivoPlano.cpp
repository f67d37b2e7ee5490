#include "weighings/ArchivoPlano.h"

#include <QLocale>

#include "settings/Cp1252.h"
#include "weighings/Sumideros.h"

namespace {

// Two decimal digits at position i of the text, or -1.
int DosDigitos(const QString& t, int i) {
    if (i + 1 >= t.size() || !t.at(i).isDigit() || !t.at(i + 1).isDigit()) return -1;
    return t.at(i).digitValue() * 10 + t.at(i + 1).digitValue();
}

// Length of the run of the same letter (any case) starting at i.
int Corrida(const QString& patron, int i) {
    const QChar c = patron.at(i).toLower();
    int n = 1;
    while (i + n < patron.size() && patron.at(i + n).toLower() == c) ++n;
    return n;
}

}  // namespace

QDate FechaDePesada(const QString& fecha) {
    if (fecha.size() != 8 || fecha.at(2) != u'/' || fecha.at(5) != u'/') return {};
    const int dia = DosDigitos(fecha, 0);
    const int mes = DosDigitos(fecha, 3);
    const int anio = DosDigitos(fecha, 6);
    if (dia < 0 || mes < 0 || anio < 0) return {};
    return QDate(anio < 80 ? 2000 + anio : 1900 + anio, mes, dia);  // invalid → null
}

QTime HoraDePesada(const QString& hora) {
    if (hora.size() != 5 || hora.at(2) != u':') return {};
    const int h = DosDigitos(hora, 0);
    const int m = DosDigitos(hora, 3);
    if (h < 0 || m < 0) return {};
    return QTime(h, m);  // invalid → null
}

QString FormatearFecha(const QDate& fecha, const QString& patron) {
    const QLocale local = QLocale::system();
    QString r;
    for (int i = 0; i < patron.size();) {
        const QChar c = patron.at(i).toLower();
        if (patron.at(i) == u'"') {  // quoted text is copied as it is
            const int fin = patron.indexOf(u'"', i + 1);
            r += patron.mid(i + 1, (fin < 0 ? patron.size() : fin) - i - 1);
            i = fin < 0 ? patron.size() : fin + 1;
            continue;
        }
        if (patron.at(i) == u'\\' && i + 1 < patron.size()) {
            r += patron.at(i + 1);
            i += 2;
            continue;
        }
        if (c != u'd' && c != u'm' && c != u'y') {
            r += patron.at(i++);
            continue;
        }
        int n = Corrida(patron, i);
        i += n;
        if (c == u'd') {
            if (n == 1)
                r += QString::number(fecha.day());
            else if (n == 2)
                r += QStringLiteral("%1").arg(fecha.day(), 2, 10, QLatin1Char('0'));
            else if (n == 3)
                r += local.dayName(fecha.dayOfWeek(), QLocale::ShortFormat);
            else
                r += local.dayName(fecha.dayOfWeek(), QLocale::LongFormat);
        } else if (c == u'm') {
            if (n == 1)
                r += QString::number(fecha.month());
            else if (n == 2)
                r += QStringLiteral("%1").arg(fecha.month(), 2, 10, QLatin1Char('0'));
            else if (n == 3)
                r += local.monthName(fecha.month(), QLocale::ShortFormat);
            else
                r += local.monthName(fecha.month(), QLocale::LongFormat);
        } else {
            if (n >= 3)
                r += QString::number(fecha.year());
            else
                r += QStringLiteral("%1").arg(fecha.year() % 100, 2, 10, QLatin1Char('0'));
        }
    }
    return r;
}

QString TextoNumero(double valor) {
    QLocale local = QLocale::system();
    local.setNumberOptions(QLocale::OmitGroupSeparator);
    return local.toString(valor, 'f', QLocale::FloatingPointShortest);
}

QString LineaPlano(const Pesada& p, const QString& s, const QString& patronFecha) {
    const QDate fecha = FechaDePesada(p.Fecha);
    const QTime hora = HoraDePesada(p.Hora);
    QString linea =
        QString::number(p.Lote) + s + QString::number(p.Numero) + s + TextoNumero(p.Peso);
    for (const QString& codigo : p.Codigo) linea += s + codigo;
    linea += s + (fecha.isValid() ? FormatearFecha(fecha, patronFecha) : p.Fecha);
    linea += s + (hora.isValid() ? hora.toString(QStringLiteral("HH:mm:ss")) : p.Hora);
    linea += s + QString::number(p.Secuencia);
    return linea;
}

ArchivoPlano::ArchivoPlano(QString ruta, QString separador, QString patronFecha)
    : ruta_(std::move(ruta)),
      separador_(std::move(separador)),
      patronFecha_(std::move(patronFecha)) {
    archivo_.setFileName(ruta_);
}

void ArchivoPlano::Abrir() {
    if (!archivo_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        throw ErrorAlmacenamiento(ruta_ + QStringLiteral(": ") + archivo_.errorString(), false);
    }
}

void ArchivoPlano::Agregar(const Pesada& pesada) {
    const QByteArray linea = AAnsi(LineaPlano(pesada, separador_, patronFecha_)) + "\r\n";
    const qint64 antes = archivo_.size();
    if (archivo_.write(linea) != linea.size() || !archivo_.flush()) {
        const QString error = archivo_.errorString();
        archivo_.resize(antes);  // no half line stays behind
        throw ErrorAlmacenamiento(ruta_ + QStringLiteral(": ") + error, false);
    }
}

void ArchivoPlano::Cerrar() {
    if (!archivo_.isOpen()) return;
    const bool bien = archivo_.flush();
    const QString error = archivo_.errorString();
    archivo_.close();
    if (!bien) throw ErrorAlmacenamiento(ruta_ + QStringLiteral(": ") + error, false);
}

void ArchivoPlano::Abortar() noexcept {
    if (archivo_.isOpen()) archivo_.close();
}
