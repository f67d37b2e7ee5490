#pragma once
// The settings the options dialog edits: how they are read for the dialog and how they are stored
// when the operator accepts. Also the password rule of the options and the serial ports as the
// operator sees them ("Com1".."Com8", each mapped to a device in section [Puertos]).

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

inline constexpr int kPuertosLista = 8;  // "Com1".."Com8"
// "1200".."38400": the link's own default is code 4 (19200), so a list that stopped at "9600"
// could not show a new data folder's settings.
inline constexpr int kCodigosBaudios = 6;
inline constexpr int kIdMaximo = 255;       // HScrollId0
inline constexpr int kDecimalesMaximo = 4;  // HScroll_DB

// What the dialog shows and stores; the defaults are the dialog's own (not the link's).
struct ValoresOpciones {
    int Indicador = 2;  // 1 = Mirto, else Vela (stored as 1 or 2)
    int Id = 0;
    int Decimales = 0;
    int Puerto = 1;        // Comm_1: 1 = "Com1"
    int Baudios = 3;       // Baudios_1: list index, 3 = "9600"
    int Comunicacion = 0;  // 0 serial line, 1 TCP
    QString Host;
    QString Port = QStringLiteral("1000");
    int InicioBajar = 0;
    int InicioAuto = 0;
    int Hora = 0;
    int Minuto = 0;
    int FormatoAccess = 1;
    int FormatoExcel = 1;
    int ArchivoPlano = 1;
    QString NombreExcel = QStringLiteral("1");
    QString NombreTXT = QStringLiteral("1");
    QString Ruta;
    QString Extension;
    QString Separador;
    // Port mappings chosen in the dialog ([Puertos] n = device), stored with the rest.
    QMap<int, QString> PuertosNuevos;
};

// Reads the values in the dialog's load order. A value the dialog cannot show (a port beyond
// Com8, a speed code beyond 9600, an hour of 24...) is a loading failure: `error` then names the
// setting and its value, so the operator knows what to put right in bascora.ini.
bool LeerOpciones(ValoresOpciones* valores, QString* error);

// At least one output format ticked: accepting without one stores nothing.
bool HayFormato(const ValoresOpciones& v);

// Stores everything in the order of the dialog's table (model first): section Global, then
// Opciones, then the port mappings. False when bascora.ini could not be written.
bool GuardarOpciones(const ValoresOpciones& v);

// Options password (Opciones/PASS): blanks mean there is none; the typed text matches regardless
// of case.
bool HayContrasena();
bool ContrasenaCorrecta(const QString& tecleada);

// "Com1".."Com8" as the port list shows them, with the device each maps to.
QString TextoPuerto(int numero, const QString& dispositivo);

// A serial device present on this machine.
struct PuertoSerie {
    QString ruta;         // /dev/serial/by-id/... when there is one, else /dev/ttyXXX
    QString sistema;      // /dev/ttyUSB0 and the like
    QString descripcion;  // maker and description, as the device reports them
    bool accesible = true;
    QString grupo;  // owner group of the device (the one to join when not accessible)
};

// The serial devices present, by-id names preferred. `dirPorId` is for the tests.
QList<PuertoSerie> PuertosPresentes(const QString& dirPorId = QStringLiteral("/dev/serial/by-id"));

// Can this user open the device for reading and writing? When permission is refused, `grupo`
// gets the device's group (dialout when it cannot be told); it is left alone otherwise.
bool PuertoAccesible(const QString& ruta, QString* grupo);

// The mapping of Com1..Com8 and the devices present, as `bascora-cli puertos` prints it.
QStringList InformePuertos();
