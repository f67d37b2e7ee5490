#pragma once
// One request to the indicator. The program carries it out on its link client (ClienteEnlace,
// with the link window FrmComm as its view); bascora-cli and the tests may call the link directly
// (EnlaceDirecto). Callers fill the request fields, call Solicitar and judge the outcome by Exito
// (reads and writes) or by the length of Dato (commands), exactly as with the link window's fields.

#include <QByteArray>
#include <QString>

struct PeticionEnlace {
    QString Modo;            // "R" read, "T" write, "C" command
    QString Direccion;       // first register, decimal text
    QString Longitud;        // number of registers to read, decimal text
    QByteArray Dato;         // in: data to write or command text; out: data read or command answer
    QString Leyenda;         // progress caption instead of the default one; empty = default
    bool Exito = false;      // the read or write succeeded; a command leaves it untouched
    bool Cancelado = false;  // the operator pressed Cancel during the request
};

class Enlace {
  public:
    virtual ~Enlace() = default;
    // Carries out the request; returns when it has finished, failed or been cancelled.
    virtual void Solicitar(PeticionEnlace& peticion) = 0;
    // The link's health in one line (frames, answers, failures, retries), for the logs; empty
    // when the link keeps none.
    virtual QString ResumenSalud() const { return {}; }
};

// Shorthands for the usual requests. Register data is 2 bytes per register, low byte first.
inline bool LeerRegistros(Enlace& enlace, int direccion, int cantidad, QByteArray* dato,
                          const QString& leyenda = QString()) {
    PeticionEnlace p;
    p.Modo = QStringLiteral("R");
    p.Direccion = QString::number(direccion);
    p.Longitud = QString::number(cantidad);
    p.Leyenda = leyenda;
    enlace.Solicitar(p);
    if (dato) *dato = p.Dato;
    return p.Exito;
}

inline bool EscribirRegistros(Enlace& enlace, int direccion, const QByteArray& dato,
                              const QString& leyenda = QString()) {
    PeticionEnlace p;
    p.Modo = QStringLiteral("T");
    p.Direccion = QString::number(direccion);
    p.Dato = dato;
    p.Leyenda = leyenda;
    enlace.Solicitar(p);
    return p.Exito;
}

// The ASCII command exchange (":" + comando + CR LF); the answer, or "" when it was not 90 bytes.
inline QByteArray EnviarComando(Enlace& enlace, const QByteArray& comando,
                                const QString& leyenda = QString()) {
    PeticionEnlace p;
    p.Modo = QStringLiteral("C");
    p.Dato = comando;
    p.Leyenda = leyenda;
    enlace.Solicitar(p);
    return p.Dato;
}
