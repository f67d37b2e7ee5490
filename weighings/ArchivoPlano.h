#pragma once
// The plain text sink: one line per weighing appended to a file that grows with every download,
// plus the date and number forms that the workbook shares with it.

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QString>
#include <QTime>

#include "settings/Fechas.h"  // FormatearFecha
#include "weighings/Pesada.h"

// Fecha "dd/mm/yy" read as a date; two-digit years below 80 are 20yy, the others 19yy. An
// invalid text (bytes that were not BCD, day 32...) gives a null date.
QDate FechaDePesada(const QString& fecha);
// Hora "hh:mm" read as a time; a null time when invalid.
QTime HoraDePesada(const QString& hora);

// A number as plain decimal text: the system's decimal point, no grouping, no padding, no
// exponent, the shortest digits that give the value back.
QString TextoNumero(double valor);

// The line of one weighing without its CR LF: Lote, Numero, Peso, Codigo1..5, date, time and
// Secuencia joined by the separator. Fecha and Hora that cannot be read as a date and a time are
// written as they came.
QString LineaPlano(const Pesada& p, const QString& separador, const QString& patronFecha);

class ArchivoPlano {
  public:
    ArchivoPlano(QString ruta, QString separador, QString patronFecha);
    ~ArchivoPlano();

    // Opens for appending, creating it when missing, never through a symbolic link; learns the
    // weighings it holds already.
    void Abrir();
    // Keeps the line for Cerrar; false (and nothing kept) when the file holds the weighing.
    bool Agregar(const Pesada& pesada);
    void Cerrar();  // the batch's lines in one append, synced
    void Abortar() noexcept;

    QString ruta() const { return ruta_; }

  private:
    QString Clave(const QString& linea) const;
    void QuitarFinal(qint64 bytes) noexcept;  // a failed append takes its bytes back

    QString ruta_;
    QString separador_;
    QString patronFecha_;
    int fd_ = -1;
    QByteArray lote_;
    QSet<QString> guardadas_;
};
