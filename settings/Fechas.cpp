#include "settings/Fechas.h"

#include <optional>

#include "base/Globales.h"
#include "settings/Config.h"
#include "settings/Idioma.h"

namespace {

// Length of the run of the same letter (any case) starting at i.
int Corrida(const QString& patron, int i) {
    const QChar c = patron.at(i).toLower();
    int n = 1;
    while (i + n < patron.size() && patron.at(i + n).toLower() == c) ++n;
    return n;
}

QString DosCifras(int valor) {
    return QStringLiteral("%1").arg(valor, 2, 10, QLatin1Char('0'));
}

// Names need the language file; numeric patterns (the usual case, once per weighing) do not.
class Idioma {
  public:
    const QLocale& operator()() {
        if (!locale_) locale_ = LocalePrograma();
        return *locale_;
    }

  private:
    std::optional<QLocale> locale_;
};

QString Dia(const QDate& fecha, int n, Idioma& idioma) {
    if (n == 1) return QString::number(fecha.day());
    if (n == 2) return DosCifras(fecha.day());
    return idioma().dayName(fecha.dayOfWeek(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
}

QString Mes(const QDate& fecha, int n, Idioma& idioma) {
    if (n == 1) return QString::number(fecha.month());
    if (n == 2) return DosCifras(fecha.month());
    return idioma().monthName(fecha.month(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
}

QString Anio(const QDate& fecha, int n) {
    return n >= 3 ? QString::number(fecha.year()) : DosCifras(fecha.year() % 100);
}

}  // namespace

QString FormatearFecha(const QDate& fecha, const QString& patron) {
    Idioma idioma;
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
        const int n = Corrida(patron, i);
        i += n;
        r += c == u'd' ? Dia(fecha, n, idioma) : c == u'm' ? Mes(fecha, n, idioma) : Anio(fecha, n);
    }
    return r;
}

QString FechaDelPrograma(const QDate& fecha) {
    return FormatearFecha(fecha,
                          Fecha_Frm.trimmed().isEmpty() ? QStringLiteral("DD/MM/YYYY") : Fecha_Frm);
}

QString HoraDelPrograma(const QTime& hora) {
    return hora.toString(QStringLiteral("HH:mm:ss"));
}

QString FechaHoraDelPrograma(const QDateTime& momento) {
    return FechaDelPrograma(momento.date()) + QLatin1Char(' ') + HoraDelPrograma(momento.time());
}
