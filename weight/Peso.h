#pragma once
// The indicator's weight block (8 registers from DirPeso): gross, tare and net as 32-bit numbers
// (register n the low word, n+1 the high word), then the status flags.

#include <QByteArray>
#include <QLocale>
#include <QMetaType>
#include <QString>

class Transporte;

// Gross value that marks a reading that did not come.
inline constexpr double kSinLectura = -999999;

struct LecturaPeso {
    double Bruto = kSinLectura;
    double Tara = 0;
    double Neto = 0;
    int Bit2 = 0;     // status bit 2
    int Bit0 = 0;     // status bit 0
    int BitTara = 0;  // status bit 3: a tare is active
    int Decimales = 0;
};
Q_DECLARE_METATYPE(LecturaPeso)

// Decimales_1 as the weights use it: 0 to 9 (anything else in the file would overflow the scale).
int DecimalesPeso();

// Decodes the 16 data bytes of the block as the read exchange hands them over (low byte first per
// register). Gross and net are signed, the tare unsigned; all three divided by 10^decimales.
// False, with nothing set, unless dato has exactly 16 bytes.
bool DecodificarPeso(const QByteArray& dato, int decimales, LecturaPeso& lectura);

// One reading on an open line: up to 3 read exchanges of the block with ID_1 and Decimales_1.
// On success sets all six outputs and returns true; on failure only sets Bruto to kSinLectura.
// The result, not the gross value, tells success: a real gross of -999999 is still a reading.
bool LeePeso(Transporte& linea, int& Balanza, double& Bruto, double& Tara, double& Neto, int& Bit2,
             int& Bit0, int& BitTara);

// Display pattern of the weights: "#####0", or "#####0." followed by d zeros.
QString PatronPeso(int decimales);
// The value written with that pattern: exactly d decimals, the locale's decimal separator, no
// grouping, a leading minus when negative.
QString FormatearPeso(double valor, int decimales, const QLocale& local = QLocale());

// The status lamp is red for flag bit 2, flag bit 0, or a net of zero or below.
bool LamparaRoja(int Bit2, int Bit0, double Neto);
