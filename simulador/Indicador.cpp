#include "simulador/Indicador.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStringEncoder>

#include "link/Tramas.h"

namespace simulador {

namespace {

constexpr int kRegistros = 65536;

quint8 Bcd(int v) {
    return quint8(((v / 10) % 10) << 4 | (v % 10));
}
int DesdeBcd(quint8 b) {
    return (b >> 4) * 10 + (b & 0x0F);
}

QByteArray Excepcion(quint8 id, quint8 funcion, quint8 codigo) {
    QByteArray r;
    r.append(char(id));
    r.append(char(funcion | 0x80));
    r.append(char(codigo));
    r.append(crc16(r));
    return r;
}

QByteArray AAnsi1252(const QString& texto) {
    QStringEncoder enc("windows-1252");
    if (!enc.isValid()) return texto.toLatin1();
    return enc.encode(texto);
}

void Poner24(QByteArray& r, int pos, quint32 v) {
    r[pos] = char(v & 0xFF);
    r[pos + 1] = char((v >> 8) & 0xFF);
    r[pos + 2] = char((v >> 16) & 0xFF);
}

quint32 Tomar24(const QByteArray& r, int pos) {
    return quint8(r.at(pos)) | quint32(quint8(r.at(pos + 1))) << 8 |
           quint32(quint8(r.at(pos + 2))) << 16;
}

// A record given as fields: date "dd/mm/yy", time "hh:mm", weight, up to five codes (a number is
// stored as 24 bits, a text as its characters).
QByteArray PesadaDeCampos(const QJsonObject& o) {
    QByteArray r(kLargoPesada, '\0');
    const QStringList f = o.value(QStringLiteral("fecha")).toString().split(u'/');
    for (int i = 0; i < 3 && i < f.size(); ++i) r[i] = char(Bcd(f.at(i).toInt()));
    const QStringList h = o.value(QStringLiteral("hora")).toString().split(u':');
    if (h.size() == 2) {
        r[3] = char(Bcd(h.at(1).toInt()));  // minutes first
        r[4] = char(Bcd(h.at(0).toInt()));
    }
    Poner24(r, 5, quint32(o.value(QStringLiteral("peso")).toDouble()));
    const QJsonArray codigos = o.value(QStringLiteral("codigos")).toArray();
    for (int j = 0; j < 5 && j < codigos.size(); ++j) {
        const int pos = j == 0 ? 8 : 14 + 3 * (j - 1);
        const int largo = j == 0 ? 6 : 3;
        const QJsonValue c = codigos.at(j);
        if (c.isString()) {
            const QByteArray t = AAnsi1252(c.toString()).left(largo);
            for (int k = 0; k < t.size(); ++k) r[pos + k] = t.at(k);
        } else {
            Poner24(r, pos, quint32(c.toDouble()));
        }
    }
    return r;
}

QJsonObject CamposDePesada(const QByteArray& r) {
    QJsonObject o;
    o[QStringLiteral("hex")] = QString::fromLatin1(r.toHex());
    auto dos = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    o[QStringLiteral("fecha")] = dos(DesdeBcd(quint8(r.at(0)))) + u'/' +
                                 dos(DesdeBcd(quint8(r.at(1)))) + u'/' +
                                 dos(DesdeBcd(quint8(r.at(2))));
    o[QStringLiteral("hora")] =
        dos(DesdeBcd(quint8(r.at(4)))) + u':' + dos(DesdeBcd(quint8(r.at(3))));
    o[QStringLiteral("peso")] = double(Tomar24(r, 5));
    return o;
}

}  // namespace

Fallo FalloDeNombre(const QString& nombre, bool* ok) {
    static const QList<QPair<QString, Fallo>> nombres = {
        {QStringLiteral("ninguno"), Fallo::Ninguno},
        {QStringLiteral("perder"), Fallo::Perder},
        {QStringLiteral("crc"), Fallo::CrcMalo},
        {QStringLiteral("cortar"), Fallo::Cortar},
        {QStringLiteral("alargar"), Fallo::Alargar},
        {QStringLiteral("tardar"), Fallo::Tardar},
        {QStringLiteral("excepcion"), Fallo::Excepcion},
        {QStringLiteral("rezagar"), Fallo::Rezagar},
        {QStringLiteral("otroid"), Fallo::OtroId},
        {QStringLiteral("funcion"), Fallo::OtraFuncion},
        {QStringLiteral("cuenta"), Fallo::OtraCuenta},
        {QStringLiteral("eco"), Fallo::EcoFalso},
    };
    for (const auto& [n, f] : nombres) {
        if (n == nombre.trimmed().toLower()) {
            if (ok) *ok = true;
            return f;
        }
    }
    if (ok) *ok = false;
    return Fallo::Ninguno;
}

QString NombreDeFallo(Fallo f) {
    switch (f) {
        case Fallo::Ninguno:
            return QStringLiteral("ninguno");
        case Fallo::Perder:
            return QStringLiteral("perder");
        case Fallo::CrcMalo:
            return QStringLiteral("crc");
        case Fallo::Cortar:
            return QStringLiteral("cortar");
        case Fallo::Alargar:
            return QStringLiteral("alargar");
        case Fallo::Tardar:
            return QStringLiteral("tardar");
        case Fallo::Excepcion:
            return QStringLiteral("excepcion");
        case Fallo::Rezagar:
            return QStringLiteral("rezagar");
        case Fallo::OtroId:
            return QStringLiteral("otroid");
        case Fallo::OtraFuncion:
            return QStringLiteral("funcion");
        case Fallo::OtraCuenta:
            return QStringLiteral("cuenta");
        case Fallo::EcoFalso:
            return QStringLiteral("eco");
    }
    return {};
}

Indicador::Indicador() : memoria_(kRegistros, 0), setup_(kLargoSetup, '\0') {
    for (int i = 0; i < kLargoSetup; ++i) setup_[i] = char(i + 1);
    reloj_.start();
}

quint16 Indicador::reg(int d) const {
    return memoria_[size_t(d & 0xFFFF)];
}
void Indicador::setReg(int d, quint16 v) {
    memoria_[size_t(d & 0xFFFF)] = v;
}

void Indicador::fijarId(int id) {
    QMutexLocker l(&mutex_);
    id_ = id;
}

int Indicador::id() const {
    QMutexLocker l(&mutex_);
    return id_;
}

QByteArray Indicador::bloquePesoSinBloqueo() const {
    qint32 bruto = bruto_;
    if (pesoVariable_) bruto += qint32((reloj_.elapsed() / 500) % 10) * 5;
    const qint32 neto = bruto - qint32(tara_);
    const quint16 regs[8] = {quint16(quint32(bruto) & 0xFFFF),
                             quint16(quint32(bruto) >> 16),
                             quint16(tara_ & 0xFFFF),
                             quint16(tara_ >> 16),
                             quint16(quint32(neto) & 0xFFFF),
                             quint16(quint32(neto) >> 16),
                             quint16(estadoPeso_),
                             0};
    QByteArray r(16, '\0');
    for (int i = 0; i < 8; ++i) {
        r[2 * i] = char(regs[i] & 0xFF);
        r[2 * i + 1] = char(regs[i] >> 8);
    }
    return r;
}

bool Indicador::ocupadoSinBloqueo() const {
    return ocupadoHastaMs_ >= 0 && reloj_.elapsed() < ocupadoHastaMs_;
}

QByteArray Indicador::leerRegistros(int direccion, int cantidad) const {
    QMutexLocker l(&mutex_);
    QByteArray r(2 * cantidad, '\0');
    const QByteArray peso = bloquePesoSinBloqueo();
    for (int i = 0; i < cantidad; ++i) {
        const int d = direccion + i;
        quint16 v = reg(d);
        if (d >= kRegPeso && d < kRegPeso + 8) {
            v = quint16(quint8(peso.at(2 * d)) | quint8(peso.at(2 * d + 1)) << 8);
        } else if (d == kRegEstado && ocupadoSinBloqueo()) {
            v = 1;
        }
        r[2 * i] = char(v & 0xFF);
        r[2 * i + 1] = char(v >> 8);
    }
    return r;
}

void Indicador::escribirRegistros(int direccion, const QByteArray& datos) {
    QMutexLocker l(&mutex_);
    for (int i = 0; 2 * i < datos.size(); ++i) {
        const quint8 bajo = quint8(datos.at(2 * i));
        const quint8 alto = 2 * i + 1 < datos.size() ? quint8(datos.at(2 * i + 1)) : 0;
        setReg(direccion + i, quint16(alto << 8 | bajo));
    }
}

quint16 Indicador::registro(int direccion) const {
    const QByteArray r = leerRegistros(direccion, 1);
    return quint16(quint8(r.at(0)) | quint8(r.at(1)) << 8);
}

void Indicador::fijarRegistro(int direccion, quint16 valor) {
    QMutexLocker l(&mutex_);
    setReg(direccion, valor);
}

void Indicador::agregarPesadaSinBloqueo(const QByteArray& entrada, bool pesada) {
    QByteArray r = entrada.left(kLargoPesada);
    r.append(QByteArray(kLargoPesada - r.size(), '\0'));
    const int c = reg(kRegCuenta);
    if (c < kCapacidadPesadas) {
        const int base = kRegPesadas + 13 * c;
        for (int i = 0; i < 13; ++i)
            setReg(base + i, quint16(quint8(r.at(2 * i)) | quint8(r.at(2 * i + 1)) << 8));
    }
    if (c < 0xFFFF) setReg(kRegCuenta, quint16(c + 1));
    if (!pesada) return;  // a record loaded from a state file was counted when it was weighed
    const quint32 cnt = (quint32(reg(kRegContador)) | quint32(reg(kRegContador + 1) & 0xFF) << 16);
    const quint32 nuevo = (cnt + 1) & 0xFFFFFF;
    setReg(kRegContador, quint16(nuevo & 0xFFFF));
    setReg(kRegContador + 1, quint16((reg(kRegContador + 1) & 0xFF00) | (nuevo >> 16)));
    // The weight goes to the total of the product whose code field 1 holds its number (1-250),
    // and to the grand total.
    const quint32 peso = Tomar24(r, 5);
    const quint32 codigo = Tomar24(r, 8);
    if (codigo >= 1 && codigo <= 250) {
        QByteArray area = QByteArray(1250, '\0');
        for (int i = 0; i < 625; ++i) {
            area[2 * i] = char(reg(kRegTotales + i) & 0xFF);
            area[2 * i + 1] = char(reg(kRegTotales + i) >> 8);
        }
        const int pos = 5 * int(codigo - 1);
        Poner24(area, pos, (Tomar24(area, pos) + peso) & 0xFFFFFF);
        const quint16 n = quint16(quint8(area.at(pos + 3)) | quint8(area.at(pos + 4)) << 8);
        area[pos + 3] = char((n + 1) & 0xFF);
        area[pos + 4] = char(((n + 1) >> 8) & 0xFF);
        for (int i = 0; i < 625; ++i)
            setReg(kRegTotales + i,
                   quint16(quint8(area.at(2 * i)) | quint8(area.at(2 * i + 1)) << 8));
    }
    const quint32 total = quint32(reg(kRegTotal)) | quint32(reg(kRegTotal + 1)) << 16;
    const quint32 t = total + peso;
    setReg(kRegTotal, quint16(t & 0xFFFF));
    setReg(kRegTotal + 1, quint16(t >> 16));
}

void Indicador::agregarPesada(const QByteArray& registro26) {
    QMutexLocker l(&mutex_);
    agregarPesadaSinBloqueo(registro26, true);
}

QList<QByteArray> Indicador::pesadas() const {
    QMutexLocker l(&mutex_);
    QList<QByteArray> lista;
    const int n = qMin(int(reg(kRegCuenta)), kCapacidadPesadas);
    for (int k = 0; k < n; ++k) {
        QByteArray r(kLargoPesada, '\0');
        for (int i = 0; i < 13; ++i) {
            const quint16 v = reg(kRegPesadas + 13 * k + i);
            r[2 * i] = char(v & 0xFF);
            r[2 * i + 1] = char(v >> 8);
        }
        lista.append(r);
    }
    return lista;
}

int Indicador::cuenta() const {
    QMutexLocker l(&mutex_);
    return reg(kRegCuenta);
}

void Indicador::fijarCuenta(int cuenta) {
    QMutexLocker l(&mutex_);
    setReg(kRegCuenta, quint16(qBound(0, cuenta, 0xFFFF)));
}

quint32 Indicador::contador() const {
    QMutexLocker l(&mutex_);
    return quint32(reg(kRegContador)) | quint32(reg(kRegContador + 1) & 0xFF) << 16;
}

void Indicador::fijarContador(quint32 contador) {
    QMutexLocker l(&mutex_);
    setReg(kRegContador, quint16(contador & 0xFFFF));
    setReg(kRegContador + 1, quint16((reg(kRegContador + 1) & 0xFF00) | ((contador >> 16) & 0xFF)));
}

bool Indicador::bloqueado() const {
    QMutexLocker l(&mutex_);
    return reg(kRegBloqueo) == 0x00FF;
}

int Indicador::estado() const {
    return registro(kRegEstado);
}

void Indicador::fijarEstado(int estado) {
    QMutexLocker l(&mutex_);
    setReg(kRegEstado, quint16(estado));
}

void Indicador::fijarOcupado(int ms) {
    QMutexLocker l(&mutex_);
    ocupadoHastaMs_ = ms > 0 ? reloj_.elapsed() + ms : -1;
}

QByteArray Indicador::setup() const {
    QMutexLocker l(&mutex_);
    return setup_;
}

void Indicador::fijarSetup(const QByteArray& bytes90) {
    QMutexLocker l(&mutex_);
    setup_ = bytes90.left(kLargoSetup);
    setup_.append(QByteArray(kLargoSetup - setup_.size(), '\0'));
}

void Indicador::fijarPeso(qint32 bruto, quint32 tara, int estado, bool variable) {
    QMutexLocker l(&mutex_);
    bruto_ = bruto;
    tara_ = tara;
    estadoPeso_ = estado;
    pesoVariable_ = variable;
}

void Indicador::fijarSemilla(quint32 semilla) {
    QMutexLocker l(&mutex_);
    azar_.seed(semilla);
}

void Indicador::fijarFallos(const AjustesFallos& fallos) {
    QMutexLocker l(&mutex_);
    fallos_ = fallos;
}

AjustesFallos Indicador::fallos() const {
    QMutexLocker l(&mutex_);
    return fallos_;
}

void Indicador::programarFallos(const QList<Fallo>& fallos) {
    QMutexLocker l(&mutex_);
    programados_.clear();
    for (Fallo f : fallos) programados_.push_back({f, -1});
}

void Indicador::agregarFallo(Fallo fallo, int retardoMs) {
    QMutexLocker l(&mutex_);
    programados_.push_back({fallo, retardoMs});
}

int Indicador::fallosProgramadosPendientes() const {
    QMutexLocker l(&mutex_);
    return int(programados_.size());
}

int Indicador::tramasRecibidas(int funcion) const {
    QMutexLocker l(&mutex_);
    if (funcion == 0) return tramasTotal_;
    return funcion > 0 && funcion < 256 ? tramas_[size_t(funcion)] : 0;
}

void Indicador::reiniciarContadores() {
    QMutexLocker l(&mutex_);
    tramas_.fill(0);
    tramasTotal_ = 0;
}

bool Indicador::sortear(double parte) {
    if (parte <= 0) return false;
    std::uniform_real_distribution<double> d(0.0, 1.0);
    return d(azar_) < parte;
}

Indicador::Programado Indicador::elegirFallo(bool admiteExcepcion) {
    if (!programados_.empty()) {
        const Programado f = programados_.front();
        programados_.pop_front();
        return f;
    }
    if (sortear(fallos_.perder)) return {Fallo::Perder, -1};
    if (admiteExcepcion && sortear(fallos_.excepcion)) return {Fallo::Excepcion, -1};
    if (sortear(fallos_.crcMalo)) return {Fallo::CrcMalo, -1};
    if (sortear(fallos_.cortar)) return {Fallo::Cortar, -1};
    if (sortear(fallos_.alargar)) return {Fallo::Alargar, -1};
    if (sortear(fallos_.tardar)) return {Fallo::Tardar, -1};
    if (sortear(fallos_.rezagar)) return {Fallo::Rezagar, -1};
    return {Fallo::Ninguno, -1};
}

bool Indicador::ExtraerTrama(QByteArray& flujo, QByteArray* trama) {
    while (!flujo.isEmpty()) {
        if (flujo.at(0) == ':') {
            const qsizetype fin = flujo.indexOf("\r\n");
            if (fin < 0) {
                if (flujo.size() > 64) {  // no command is that long: noise
                    flujo.remove(0, 1);
                    continue;
                }
                return false;
            }
            *trama = flujo.left(fin + 2);
            flujo.remove(0, fin + 2);
            return true;
        }
        if (flujo.size() < 8) return false;
        // Both request functions are 8 bytes long; a bad CRC means we are not at a frame start.
        if (crc16(flujo.left(6)) == flujo.mid(6, 2)) {
            *trama = flujo.left(8);
            flujo.remove(0, 8);
            return true;
        }
        flujo.remove(0, 1);
    }
    return false;
}

Respuesta Indicador::Procesar(const QByteArray& trama) {
    QMutexLocker l(&mutex_);
    Respuesta r;
    QByteArray bytes;
    bool admiteExcepcion = false;
    quint8 funcion = 0;
    if (trama.startsWith(':')) {
        ++tramas_[size_t(':')];
        ++tramasTotal_;
        if (trama != QByteArrayLiteral(":M\r\n")) return r;  // unknown commands are ignored
        bytes = setup_;
    } else {
        if (trama.size() != 8 || crc16(trama.left(6)) != trama.mid(6, 2)) return r;
        funcion = quint8(trama.at(1));
        ++tramas_[funcion];
        ++tramasTotal_;
        if (quint8(trama.at(0)) != quint8(id_)) return r;  // not for us: silence
        const int dir = quint8(trama.at(2)) << 8 | quint8(trama.at(3));
        const quint16 valor = quint16(quint8(trama.at(4)) << 8 | quint8(trama.at(5)));
        const quint8 id = quint8(id_);
        admiteExcepcion = funcion == 3 || funcion == 6;
        if (funcion == 3) {
            const int n = valor;
            if (n < 1 || n > 125) {
                bytes = Excepcion(id, funcion, 3);
            } else if (dir + n > kRegistros) {
                bytes = Excepcion(id, funcion, 2);
            } else {
                l.unlock();
                const QByteArray datos = leerRegistros(dir, n);
                l.relock();
                bytes.append(char(id));
                bytes.append(char(3));
                bytes.append(char(2 * n));
                for (int i = 0; i < n; ++i) {
                    bytes.append(datos.at(2 * i + 1));  // high byte first on the wire
                    bytes.append(datos.at(2 * i));
                }
                bytes.append(crc16(bytes));
            }
        } else if (funcion == 6) {
            if (dir == kRegComando) {
                // The keypad register: "G" empties the audit memory. Other keys do nothing here.
                if ((valor & 0xFF) == 'G') setReg(kRegCuenta, 0);
            } else {
                setReg(dir, valor);
            }
            bytes = trama;
        } else {
            bytes = Excepcion(id, funcion, 1);
        }
    }

    const Programado elegido = elegirFallo(admiteExcepcion);
    const int retardo = elegido.retardoMs >= 0 ? elegido.retardoMs : fallos_.retardoMs;
    // The field faults keep a valid CRC: the frame checks, not the CRC, must catch them.
    auto recalcular = [&bytes] {
        bytes.chop(2);
        bytes.append(crc16(bytes));
    };
    switch (elegido.fallo) {
        case Fallo::Ninguno:
            break;
        case Fallo::Perder:
            return r;
        case Fallo::CrcMalo:
            bytes[bytes.size() - 1] = char(~quint8(bytes.back()));
            break;
        case Fallo::Cortar:
            bytes.chop(1);
            break;
        case Fallo::Alargar:
            bytes.append(char(0));
            break;
        case Fallo::Tardar:
            r.retardoMs = retardo;
            break;
        case Fallo::Rezagar:
            r.retardoMs = retardo;
            r.ocupado = false;
            break;
        case Fallo::Excepcion:
            bytes = Excepcion(quint8(id_), funcion, 4);
            break;
        case Fallo::OtroId:
            bytes[0] = char(quint8(bytes.at(0)) + 1);
            recalcular();
            break;
        case Fallo::OtraFuncion:
            if (bytes.size() > 3) bytes[1] = char(quint8(bytes.at(1)) == 3 ? 4 : 3);
            recalcular();
            break;
        case Fallo::OtraCuenta:
            if (funcion == 3 && bytes.size() > 5) bytes[2] = char(quint8(bytes.at(2)) + 2);
            recalcular();
            break;
        case Fallo::EcoFalso:
            if (funcion == 6 && bytes.size() == 8) bytes[5] = char(quint8(bytes.at(5)) ^ 0x01);
            recalcular();
            break;
    }
    r.hay = true;
    r.bytes = bytes;
    return r;
}

QJsonObject Indicador::estadoJson() const {
    const QList<QByteArray> lista = pesadas();
    QMutexLocker l(&mutex_);
    QJsonObject o;
    o[QStringLiteral("id")] = id_;
    o[QStringLiteral("setup")] = QString::fromLatin1(setup_.toHex());
    QJsonObject peso;
    peso[QStringLiteral("bruto")] = bruto_;
    peso[QStringLiteral("tara")] = double(tara_);
    peso[QStringLiteral("estado")] = estadoPeso_;
    peso[QStringLiteral("variable")] = pesoVariable_;
    o[QStringLiteral("peso")] = peso;
    QJsonArray ps;
    for (const QByteArray& p : lista) ps.append(CamposDePesada(p));
    o[QStringLiteral("pesadas")] = ps;
    o[QStringLiteral("cuenta")] = int(reg(kRegCuenta));
    o[QStringLiteral("contador")] =
        double(quint32(reg(kRegContador)) | quint32(reg(kRegContador + 1) & 0xFF) << 16);
    // Everything else that is not zero, as runs of registers (short zero gaps stay inside a run).
    QJsonArray areas;
    auto fuera = [](int d) { return d < kRegPeso + 8 || (d >= kRegCuenta && d < kRegBloqueo); };
    int d = 0;
    while (d < kRegistros) {
        if (fuera(d) || reg(d) == 0) {
            ++d;
            continue;
        }
        int fin = d, ceros = 0;
        for (int k = d; k < kRegistros && !fuera(k) && ceros < 16; ++k) {
            if (reg(k) == 0) {
                ++ceros;
            } else {
                ceros = 0;
                fin = k;
            }
        }
        QByteArray datos;
        for (int k = d; k <= fin; ++k) {
            datos.append(char(reg(k) & 0xFF));
            datos.append(char(reg(k) >> 8));
        }
        QJsonObject a;
        a[QStringLiteral("direccion")] = d;
        a[QStringLiteral("hex")] = QString::fromLatin1(datos.toHex());
        areas.append(a);
        d = fin + 1;
    }
    o[QStringLiteral("memoria")] = areas;
    return o;
}

bool Indicador::aplicarJson(const QJsonObject& o, QString* error) {
    auto falla = [error](const QString& e) {
        if (error) *error = e;
        return false;
    };
    // Memory areas first: the named values below take precedence over them.
    for (const QJsonValue& v : o.value(QStringLiteral("memoria")).toArray()) {
        const QJsonObject a = v.toObject();
        const int dir = a.value(QStringLiteral("direccion")).toInt(-1);
        if (dir < 0 || dir >= kRegistros) return falla(QStringLiteral("bad memory address"));
        QByteArray datos;
        if (a.contains(QStringLiteral("hex"))) {
            datos = QByteArray::fromHex(a.value(QStringLiteral("hex")).toString().toLatin1());
        } else {
            datos = AAnsi1252(a.value(QStringLiteral("texto")).toString());
        }
        if (dir + (datos.size() + 1) / 2 > kRegistros)
            return falla(QStringLiteral("memory area past register 65535"));
        escribirRegistros(dir, datos);
    }
    QMutexLocker l(&mutex_);
    if (o.contains(QStringLiteral("id"))) id_ = o.value(QStringLiteral("id")).toInt();
    if (o.contains(QStringLiteral("setup"))) {
        QByteArray s = QByteArray::fromHex(o.value(QStringLiteral("setup")).toString().toLatin1());
        if (s.size() != kLargoSetup) return falla(QStringLiteral("setup must be 90 bytes"));
        setup_ = s;
    }
    if (o.contains(QStringLiteral("peso"))) {
        const QJsonObject p = o.value(QStringLiteral("peso")).toObject();
        bruto_ = p.value(QStringLiteral("bruto")).toInt(bruto_);
        tara_ = quint32(p.value(QStringLiteral("tara")).toDouble(tara_));
        estadoPeso_ = p.value(QStringLiteral("estado")).toInt(estadoPeso_);
        pesoVariable_ = p.value(QStringLiteral("variable")).toBool(pesoVariable_);
    }
    if (o.contains(QStringLiteral("pesadas"))) {
        setReg(kRegCuenta, 0);
        for (const QJsonValue& v : o.value(QStringLiteral("pesadas")).toArray()) {
            const QJsonObject p = v.toObject();
            QByteArray r;
            if (p.contains(QStringLiteral("hex"))) {
                r = QByteArray::fromHex(p.value(QStringLiteral("hex")).toString().toLatin1());
                if (r.size() != kLargoPesada)
                    return falla(QStringLiteral("a weighing record must be 26 bytes"));
            } else {
                r = PesadaDeCampos(p);
            }
            agregarPesadaSinBloqueo(r, false);
        }
    }
    if (o.contains(QStringLiteral("cuenta")))
        setReg(kRegCuenta, quint16(qBound(0, o.value(QStringLiteral("cuenta")).toInt(), 0xFFFF)));
    if (o.contains(QStringLiteral("contador"))) {
        const quint32 c = quint32(o.value(QStringLiteral("contador")).toDouble()) & 0xFFFFFF;
        setReg(kRegContador, quint16(c & 0xFFFF));
        setReg(kRegContador + 1, quint16((reg(kRegContador + 1) & 0xFF00) | (c >> 16)));
    }
    if (o.contains(QStringLiteral("estado")))
        setReg(kRegEstado, quint16(o.value(QStringLiteral("estado")).toInt()));
    if (o.contains(QStringLiteral("bloqueo")))
        setReg(kRegBloqueo, quint16(o.value(QStringLiteral("bloqueo")).toInt()));
    return true;
}

bool Indicador::cargarEstado(const QString& ruta, QString* error) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    QJsonParseError e;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &e);
    if (!doc.isObject()) {
        if (error) *error = e.errorString();
        return false;
    }
    return aplicarJson(doc.object(), error);
}

bool Indicador::guardarEstado(const QString& ruta, QString* error) const {
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    f.write(QJsonDocument(estadoJson()).toJson(QJsonDocument::Indented));
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

}  // namespace simulador
