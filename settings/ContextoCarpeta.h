#pragma once
// The data folder of this process: its absolute path (fixed at start-up, never the current
// directory), its files found without regard to case, the private-profile files (bascora.ini,
// Idioma.cfg) parsed once and re-read only when they change on disk, and the locks that serialise
// writes of bascora.ini and downloads between processes. Safe to use from several threads.

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QLoggingCategory>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcAjustes)

class ContextoCarpeta {
  public:
    explicit ContextoCarpeta(const QString& carpeta);
    ~ContextoCarpeta();
    ContextoCarpeta(const ContextoCarpeta&) = delete;
    ContextoCarpeta& operator=(const ContextoCarpeta&) = delete;

    // The process-wide context. Until iniciar() is called it is the working directory at the
    // moment of the first call, taken once. The reference stays valid while this context is in
    // place; code that may outlive a replacement (tests swap contexts) keeps compartido().
    static ContextoCarpeta& actual();
    static std::shared_ptr<ContextoCarpeta> compartido();
    // Start-up: the data folder given by --carpeta (or the working directory).
    static void iniciar(const QString& carpeta);
    // Puts another context in place (tests: a temporary folder) and gives back the one it replaces
    // (null when none was set yet), so it can be put back afterwards.
    static std::shared_ptr<ContextoCarpeta> reemplazar(std::shared_ptr<ContextoCarpeta> nuevo);

    QString carpeta() const { return carpeta_; }
    // Path of the file `nombre` of the data folder: an existing file matched without regard to
    // case (the first in name order), else the path it would be created under. A name with a
    // folder part is only made absolute.
    QString ruta(const QString& nombre) const;

    // Raw value of [seccion] clave of a private-profile file (a relative path is taken in the data
    // folder), blanks around it removed; nothing when the file, the section or the key is missing
    // or the file cannot be read.
    std::optional<QByteArray> valorPerfil(const QString& ruta, const QString& seccion,
                                          const QString& clave) const;

    // Changes the lines of bascora.ini under the settings lock: reads the file as it is on disk,
    // lets `cambiar` edit its lines (returning false with a reason to give up), writes the result
    // beside it, checks every write, replaces the file atomically and reads it back. On any
    // failure the old file stays whole and `error` tells why.
    using CambioLineas = std::function<bool(QList<QByteArray>& lineas, QString* error)>;
    bool modificarConfig(const CambioLineas& cambiar, QString* error);

    // Try-lock of the downloads of this data folder (no wait): null when another process or
    // thread holds it, or when the lock file cannot be made (*sinEscritura then true). The lock
    // of a process that has died is taken over.
    std::unique_ptr<QLockFile> bloquearDescarga(bool* sinEscritura = nullptr) const;

    // File reads and folder listings made so far (for the benchmark and the cache tests).
    struct Contadores {
        long long lecturas = 0;
        long long listados = 0;
    };
    Contadores contadores() const;

  private:
    struct Estado;
    QString carpeta_;
    std::unique_ptr<Estado> estado_;
};
