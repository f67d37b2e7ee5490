#include "settings/ContextoCarpeta.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QThread>
#include <ctime>

#include "settings/ArchivoIni.h"
#include "settings/Idioma.h"

Q_LOGGING_CATEGORY(lcAjustes, "bascora.settings")

namespace {

const QString kArchivoConfig = QStringLiteral("bascora.ini");
const QString kCandadoConfig = QStringLiteral("bascora.ini.lock");
const QString kCandadoDescarga = QStringLiteral("descarga.lock");

constexpr int kEsperaCandadoMs = 10000;
constexpr int kCandadoViejoMs = 30000;  // a settings write takes milliseconds

long long Nanosegundos(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long Ahora() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return Nanosegundos(t);
}

// What tells one version of a file or folder from another without reading it.
struct Firma {
    dev_t dispositivo = 0;
    ino_t nodo = 0;
    off_t tamano = 0;
    long long modificado = 0;
    long long cambiado = 0;
    bool regular = false;
    bool operator==(const Firma&) const = default;
};

std::optional<Firma> FirmaDe(const QString& ruta) {
    struct stat s {};
    if (::stat(QFile::encodeName(ruta).constData(), &s) != 0) return std::nullopt;
    Firma f;
    f.dispositivo = s.st_dev;
    f.nodo = s.st_ino;
    f.tamano = s.st_size;
    f.modificado = Nanosegundos(s.st_mtim);
    f.cambiado = Nanosegundos(s.st_ctim);
    f.regular = S_ISREG(s.st_mode);
    return f;
}

// A change made in the same clock tick as our read could leave the same times behind. While the
// last change is that recent, the cached copy is not trusted and is read again. Whole-second
// times (nanoseconds 0) come from a file system with a coarse clock.
bool Reciente(const Firma& firma, long long antesDeLeer) {
    const long long ventana = firma.cambiado % 1000000000LL == 0 ? 2000000000LL : 20000000LL;
    return antesDeLeer - firma.cambiado < ventana;
}

struct Copia {
    Firma firma;
    bool reciente = true;
    ArchivoIni::Perfil perfil;
};

}  // namespace

struct ContextoCarpeta::Estado {
    mutable QMutex mutex;  // the caches below and the counters
    // Folder listing: case-folded name -> the file's own name (first in name order).
    std::optional<Firma> firmaCarpeta;
    bool carpetaReciente = true;
    QHash<QString, QString> nombres;
    // Parsed private-profile files by path.
    QHash<QString, Copia> copias;
    Contadores contadores;

    QMutex escritura;  // one settings write at a time within the process

    void listar(const QString& carpeta, const Firma& firma, long long antes);
    const ArchivoIni::Perfil* perfil(const QString& ruta);
    const ArchivoIni::Perfil& recordar(const QString& ruta, const Firma& firma, long long antes,
                                       const QByteArray& contenido);
};

namespace {

bool EsArchivo(const QString& carpeta, const dirent& entrada) {
    if (entrada.d_type == DT_REG) return true;
    if (entrada.d_type != DT_LNK && entrada.d_type != DT_UNKNOWN) return false;
    const auto firma = FirmaDe(carpeta + u'/' + QFile::decodeName(entrada.d_name));
    return firma && firma->regular;  // a link to a file counts; a broken one does not
}

}  // namespace

void ContextoCarpeta::Estado::listar(const QString& carpeta, const Firma& firma, long long antes) {
    nombres.clear();
    ++contadores.listados;
    DIR* dir = ::opendir(QFile::encodeName(carpeta).constData());
    if (!dir) {
        firmaCarpeta.reset();
        return;
    }
    while (const dirent* entrada = ::readdir(dir)) {
        const QString nombre = QFile::decodeName(entrada->d_name);
        if (nombre == u"." || nombre == u".." || !EsArchivo(carpeta, *entrada)) continue;
        QString& elegido = nombres[nombre.toCaseFolded()];
        if (elegido.isEmpty() || nombre.compare(elegido) < 0) elegido = nombre;
    }
    ::closedir(dir);
    firmaCarpeta = firma;
    carpetaReciente = Reciente(firma, antes);
}

const ArchivoIni::Perfil* ContextoCarpeta::Estado::perfil(const QString& ruta) {
    const long long antes = Ahora();
    const auto firma = FirmaDe(ruta);
    if (!firma || !firma->regular) {
        copias.remove(ruta);
        return nullptr;
    }
    auto it = copias.find(ruta);
    if (it != copias.end() && it->firma == *firma && !it->reciente) return &it->perfil;

    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        copias.remove(ruta);
        return nullptr;
    }
    const QByteArray contenido = archivo.readAll();
    if (archivo.error() != QFileDevice::NoError) {
        copias.remove(ruta);
        return nullptr;
    }
    return &recordar(ruta, *firma, antes, contenido);
}

const ArchivoIni::Perfil& ContextoCarpeta::Estado::recordar(const QString& ruta, const Firma& firma,
                                                            long long antes,
                                                            const QByteArray& contenido) {
    ++contadores.lecturas;
    if (copias.size() > 16) copias.clear();  // only a handful of files are ever looked up
    Copia& copia = copias[ruta];
    copia.firma = firma;
    copia.reciente = Reciente(firma, antes);
    copia.perfil = ArchivoIni::Perfil::Analizar(contenido);
    return copia.perfil;
}

namespace {

QMutex gMutexActual;
std::shared_ptr<ContextoCarpeta> gActual;

}  // namespace

ContextoCarpeta::ContextoCarpeta(const QString& carpeta)
    : carpeta_(QDir::cleanPath(QDir(carpeta).absolutePath())),
      estado_(std::make_unique<Estado>()) {}

ContextoCarpeta::~ContextoCarpeta() = default;

std::shared_ptr<ContextoCarpeta> ContextoCarpeta::compartido() {
    QMutexLocker bloqueo(&gMutexActual);
    if (!gActual) gActual = std::make_shared<ContextoCarpeta>(QDir::currentPath());
    return gActual;
}

ContextoCarpeta& ContextoCarpeta::actual() {
    return *compartido();
}

void ContextoCarpeta::iniciar(const QString& carpeta) {
    reemplazar(std::make_shared<ContextoCarpeta>(carpeta));
}

std::shared_ptr<ContextoCarpeta> ContextoCarpeta::reemplazar(
    std::shared_ptr<ContextoCarpeta> nuevo) {
    QMutexLocker bloqueo(&gMutexActual);
    std::swap(gActual, nuevo);
    return nuevo;
}

QString ContextoCarpeta::ruta(const QString& nombre) const {
    if (nombre.contains(u'/')) return QDir::cleanPath(QDir(carpeta_).absoluteFilePath(nombre));
    const long long antes = Ahora();
    const auto firma = FirmaDe(carpeta_);
    QMutexLocker bloqueo(&estado_->mutex);
    if (!firma) {
        estado_->firmaCarpeta.reset();
        estado_->nombres.clear();
    } else if (estado_->firmaCarpeta != firma || estado_->carpetaReciente) {
        estado_->listar(carpeta_, *firma, antes);
    }
    const auto it = estado_->nombres.constFind(nombre.toCaseFolded());
    return carpeta_ + u'/' + (it == estado_->nombres.cend() ? nombre : *it);
}

std::optional<QByteArray> ContextoCarpeta::valorPerfil(const QString& ruta, const QString& seccion,
                                                       const QString& clave) const {
    const QString absoluta = QDir::isAbsolutePath(ruta) ? ruta : this->ruta(ruta);
    QMutexLocker bloqueo(&estado_->mutex);
    const ArchivoIni::Perfil* perfil = estado_->perfil(absoluta);
    if (!perfil) return std::nullopt;
    return perfil->valor(seccion, clave);
}

ContextoCarpeta::Contadores ContextoCarpeta::contadores() const {
    QMutexLocker bloqueo(&estado_->mutex);
    return estado_->contadores;
}

namespace {

bool Fallar(QString* error, const QString& motivo) {
    if (error) *error = motivo;
    return false;
}

QString MotivoCandado(const QLockFile& candado, const QString& ruta) {
    if (candado.error() == QLockFile::LockFailedError)
        return T("021010", "Otro programa está modificando la configuración; inténtelo de nuevo") +
               QStringLiteral(" (") + ruta + u')';
    return T("021011", "No se puede crear el archivo de bloqueo") + QStringLiteral(": ") + ruta;
}

// Another writer holds it for milliseconds: poll briefly rather than QLockFile's growing sleeps.
bool TomarCandado(QLockFile& candado) {
    QElapsedTimer espera;
    espera.start();
    while (!candado.tryLock(0)) {
        if (candado.error() != QLockFile::LockFailedError || espera.elapsed() > kEsperaCandadoMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// The file as it is now; nothing when it exists but cannot be read (it must not be replaced then).
std::optional<QByteArray> ContenidoActual(const QString& ruta, QString* error) {
    if (!QFileInfo::exists(ruta)) return QByteArray();
    QFile archivo(ruta);
    QByteArray contenido;
    if (archivo.open(QIODevice::ReadOnly)) contenido = archivo.readAll();
    if (!archivo.isOpen() || archivo.error() != QFileDevice::NoError) {
        Fallar(error, T("021012", "No se puede leer") + u' ' + ruta + QStringLiteral(": ") +
                          archivo.errorString());
        return std::nullopt;
    }
    return contenido;
}

// Every write checked before the file is replaced: on a full disk the old file stays as it was.
bool ReemplazarArchivo(const QString& ruta, const QByteArray& contenido, QString* error) {
    QSaveFile archivo(ruta);
    const bool escrito = archivo.open(QIODevice::WriteOnly) &&
                         archivo.write(contenido) == contenido.size() && archivo.flush();
    if (!escrito || !archivo.commit()) {
        const QString motivo = archivo.errorString();
        archivo.cancelWriting();
        return Fallar(error, T("021013", "No se puede escribir") + u' ' + ruta +
                                 QStringLiteral(": ") + motivo);
    }
    return true;
}

}  // namespace

bool ContextoCarpeta::modificarConfig(const CambioLineas& cambiar, QString* error) {
    QMutexLocker escritura(&estado_->escritura);
    const QString rutaCandado = carpeta_ + u'/' + kCandadoConfig;
    QLockFile candado(rutaCandado);
    candado.setStaleLockTime(kCandadoViejoMs);
    if (!TomarCandado(candado)) return Fallar(error, MotivoCandado(candado, rutaCandado));

    // Looked up under the lock: another process may just have created the file.
    const QString rutaIni = ruta(kArchivoConfig);
    const auto antes = ContenidoActual(rutaIni, error);
    if (!antes) return false;
    QList<QByteArray> lineas = ArchivoIni::Lineas(*antes);
    if (!cambiar(lineas, error)) return false;
    const QByteArray nuevo = ArchivoIni::Unir(lineas);
    if (!ReemplazarArchivo(rutaIni, nuevo, error)) return false;

    // Read back what the disk holds; the cache keeps it, so our own write costs no extra read.
    const long long antesDeLeer = Ahora();
    const auto firma = FirmaDe(rutaIni);
    QFile leido(rutaIni);
    const bool abierto = firma && leido.open(QIODevice::ReadOnly);
    const QByteArray enDisco = abierto ? leido.readAll() : QByteArray();
    if (!abierto || enDisco != nuevo) {
        return Fallar(error, T("021014", "Lo que quedó en el disco no es lo que se escribió") +
                                 QStringLiteral(": ") + rutaIni);
    }
    QMutexLocker bloqueo(&estado_->mutex);
    estado_->recordar(rutaIni, *firma, antesDeLeer, enDisco);
    return true;
}

std::unique_ptr<QLockFile> ContextoCarpeta::bloquearDescarga(bool* sinEscritura) const {
    auto candado = std::make_unique<QLockFile>(carpeta_ + u'/' + kCandadoDescarga);
    // A download may take minutes: only a dead holder makes the lock stale, never its age.
    candado->setStaleLockTime(0);
    if (sinEscritura) *sinEscritura = false;
    if (candado->tryLock(0)) return candado;
    qCInfo(lcAjustes) << "download lock of" << carpeta_ << "not taken:" << candado->error();
    // Not another download: the folder takes no file (full disk, no permission).
    if (sinEscritura) *sinEscritura = candado->error() != QLockFile::LockFailedError;
    return nullptr;
}
