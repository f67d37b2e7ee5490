#include "weighings/ArchivoPlano.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QFile>
#include <QLocale>

#include "settings/Cp1252.h"
#include "weighings/Sumideros.h"

namespace {

// Two decimal digits at position i of the text, or -1.
int DosDigitos(const QString& t, int i) {
    if (i + 1 >= t.size() || !t.at(i).isDigit() || !t.at(i + 1).isDigit()) return -1;
    return t.at(i).digitValue() * 10 + t.at(i + 1).digitValue();
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
    // A line break inside a field (a product name, say) would split the weighing over two lines.
    linea.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return linea;
}

ArchivoPlano::ArchivoPlano(QString ruta, QString separador, QString patronFecha)
    : ruta_(std::move(ruta)),
      separador_(std::move(separador)),
      patronFecha_(std::move(patronFecha)) {}

ArchivoPlano::~ArchivoPlano() {
    Abortar();
}

namespace {

[[noreturn]] void FallarArchivo(const QString& ruta, const QString& error) {
    throw ErrorAlmacenamiento(ruta + QStringLiteral(": ") + error, false);
}

}  // namespace

QString ArchivoPlano::Clave(const QString& linea) const {
    // Lote and Numero differ from one download to the next; the rest tells a weighing.
    return linea.section(separador_, 2);
}

void ArchivoPlano::Abrir() {
    // Never through a link planted at the export path: it would write outside the data folder.
    fd_ = ::open(QFile::encodeName(ruta_).constData(),
                 O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ < 0) FallarArchivo(ruta_, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return;  // a device holds no lines
    QFile lector;
    if (!lector.open(fd_, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        FallarArchivo(ruta_, lector.errorString());
    // The weighings an earlier download stored already (its delete failed, or it was killed).
    const QList<QByteArray> lineas = lector.readAll().split('\n');
    for (QByteArray linea : lineas) {
        if (linea.endsWith('\r')) linea.chop(1);
        if (!linea.isEmpty()) guardadas_.insert(Clave(DesdeAnsi(linea)));
    }
}

bool ArchivoPlano::Agregar(const Pesada& pesada) {
    const QString linea = LineaPlano(pesada, separador_, patronFecha_);
    const QString clave = Clave(linea);
    if (guardadas_.contains(clave)) return false;
    guardadas_.insert(clave);
    lote_ += AAnsi(linea) + "\r\n";
    return true;
}

void ArchivoPlano::Cerrar() {
    if (fd_ < 0) return;
    // The whole batch in one append: a crash leaves all of it or none, never half a line.
    qint64 escrito = 0;
    while (escrito < lote_.size()) {
        const ssize_t n = ::write(fd_, lote_.constData() + escrito, size_t(lote_.size() - escrito));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const QString error = QString::fromLocal8Bit(std::strerror(errno));
            QuitarFinal(escrito);
            Abortar();
            FallarArchivo(ruta_, error);
        }
        escrito += n;
    }
    const bool sincronizado = ::fsync(fd_) == 0 || errno == EINVAL;
    const QString error = QString::fromLocal8Bit(std::strerror(errno));
    Abortar();
    if (!sincronizado) FallarArchivo(ruta_, error);
}

void ArchivoPlano::QuitarFinal(qint64 bytes) noexcept {
    struct stat st {};
    if (bytes > 0 && ::fstat(fd_, &st) == 0 && ::ftruncate(fd_, st.st_size - bytes) != 0)
        qWarning("%s: a partial batch could not be taken back", qPrintable(ruta_));
}

void ArchivoPlano::Abortar() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    lote_.clear();
}
