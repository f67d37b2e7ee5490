#pragma once
// A scripted indicator behind the Enlace interface: the audit memory, lock, status and counter of
// the download, requests recorded as text, and chosen requests made to fail.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>

#include "base/Globales.h"
#include "link/Enlace.h"
#include "settings/Config.h"

// A record with recognisable bytes: date 24/12/05, time 09:30, weight 10 * i, code 1 = i,
// code 2 = 1000 + i, code 3 "ABC", codes 4 and 5 = 0.
inline QByteArray RegistroDePrueba(int i) {
    QByteArray r = QByteArray::fromHex("2412053009") + QByteArray(21, '\0');
    for (int b = 0; b < 3; ++b) r[5 + b] = char(((10 * i) >> (8 * b)) & 0xFF);
    for (int b = 0; b < 2; ++b) {
        r[8 + b] = char((i >> (8 * b)) & 0xFF);
        r[14 + b] = char(((1000 + i) >> (8 * b)) & 0xFF);
    }
    return r.replace(17, 3, "ABC");
}

// Downloads go to the text file `nombre`.txt only, ";" between fields, batches after `lote`;
// `global` adds other keys of [Global].
inline void ConfigurarPlano(const QString& nombre, const QString& lote,
                            const QList<std::pair<QString, QString>>& global = {}) {
    GuardarConfigSeccion("Global",
                         QList<std::pair<QString, QString>>{
                             {"Lote", lote}, {"ArchivoPlano", "1"}, {"NombreTXT", nombre}} +
                             global);
    GuardarConfigSeccion("Opciones", {{"Extension", ".txt"}, {"Separador", "59"}});
}

// The last batch number used, from the settings of the current folder.
inline long long LoteGuardado() {
    return ValorEntero(LeerConfig("global", "Lote", "1"));
}

// The CR LF lines of a text file in the current folder (none when it is missing).
inline QStringList LineasDe(const QString& archivo) {
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList l = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    l.removeLast();
    return l;
}

class EnlaceFalso : public Enlace {
  public:
    int estado = 0;             // first byte of the status register
    bool bloqueado = false;     // the lock register holds FF 00
    QList<QByteArray> pesadas;  // the audit memory, oldest first
    int cuentaForzada = -1;     // count register instead of pesadas.size() (overflow)
    quint32 contador = 1000;    // weighing counter
    int reintentosLectura = 0;  // added to Reintentos by the records read (the link's retries)
    // What a failed read still brings back (the blocks before the failure).
    int bytesParciales = 16;
    bool cancelar = false;   // failed requests were cancelled by the operator
    QStringList peticiones;  // "R 14396 1", "T 13541 FF00", ...
    // Runs before each request; may change the state (a weighing arriving, a busy indicator).
    std::function<void(const PeticionEnlace&)> antes;

    // The next `veces` requests "R 7041", "T 6", ... (mode and register) fail.
    void fallar(const QString& modoYRegistro, int veces = 1) { fallos_[modoYRegistro] += veces; }

    void cargar(int cantidad) {
        for (int i = 1; i <= cantidad; ++i) pesadas.append(RegistroDePrueba(i));
    }
    int cuenta() const { return cuentaForzada >= 0 ? cuentaForzada : int(pesadas.size()); }

    void Solicitar(PeticionEnlace& p) override {
        if (antes) antes(p);
        const int dir = p.Direccion.toInt();
        const QString clave = p.Modo + QLatin1Char(' ') + p.Direccion;
        const bool lectura = p.Modo == QLatin1String("R");
        peticiones.append(clave + QLatin1Char(' ') +
                          (lectura ? p.Longitud : QString::fromLatin1(p.Dato.toHex())));
        p.Exito = fallos_.value(clave) <= 0;
        if (!p.Exito) {
            --fallos_[clave];
            p.Cancelado = cancelar;
            if (lectura) p.Dato = Leer(dir, p.Longitud.toInt()).left(bytesParciales);
        } else if (lectura) {
            if (dir == DirPesadas()) Reintentos += reintentosLectura;
            p.Dato = Leer(dir, p.Longitud.toInt());
        } else if (dir == DirBloqueo) {
            bloqueado = p.Dato.startsWith('\xFF');
        } else if (dir == DirComando && p.Dato.startsWith('G')) {
            pesadas.clear();
            cuentaForzada = -1;
        }
    }

  private:
    static int DirPesadas() { return DirAuditoria + 1; }

    QByteArray Leer(int dir, int n) const {
        QByteArray d;
        if (dir == DirEstado) {
            d = QByteArray(1, char(estado));
        } else if (dir == DirAuditoria) {
            d.append(char(cuenta() & 0xFF)).append(char(cuenta() >> 8));
        } else if (dir == DirContador) {
            for (int b = 0; b < 3; ++b) d.append(char((contador >> (8 * b)) & 0xFF));
        } else if (dir >= DirPesadas() && dir < DirBloqueo) {
            for (const QByteArray& r : pesadas) d += r;
            d = d.mid(2 * (dir - DirPesadas()));
        }
        d.resize(2 * n, '\0');
        return d;
    }

    QHash<QString, int> fallos_;
};
