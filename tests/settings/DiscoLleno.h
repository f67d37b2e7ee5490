#pragma once
// A small tmpfs that can be filled up, to see what a write does on a full disk. Mounting needs
// root; without it `montado()` is false and `motivo()` says why, so the test can skip.

#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

class DiscoLleno {
  public:
    explicit DiscoLleno(int kilobytes = 256) {
        const QByteArray opciones = "size=" + QByteArray::number(kilobytes) + "k";
        montado_ = ::mount("tmpfs", QFile::encodeName(punto_.path()).constData(), "tmpfs", 0,
                           opciones.constData()) == 0;
        if (!montado_)
            motivo_ = QStringLiteral("cannot mount a small tmpfs (needs root): ") +
                      QString::fromLocal8Bit(std::strerror(errno));
    }
    ~DiscoLleno() {
        if (montado_) ::umount2(QFile::encodeName(punto_.path()).constData(), MNT_DETACH);
    }
    DiscoLleno(const DiscoLleno&) = delete;
    DiscoLleno& operator=(const DiscoLleno&) = delete;

    bool montado() const { return montado_; }
    QString motivo() const { return motivo_; }
    QString ruta(const QString& nombre = QString()) const {
        return nombre.isEmpty() ? punto_.path() : QDir(punto_.path()).filePath(nombre);
    }

    // Fills every free page with 4 KiB files, then frees `paginasLibres` of them again.
    void llenar(int paginasLibres = 0) {
        const QByteArray pagina(4096, 'r');
        int rellenos = 0;
        for (;; ++rellenos) {
            QFile f(ruta(QStringLiteral("relleno-%1").arg(rellenos)));
            if (!f.open(QIODevice::WriteOnly) || f.write(pagina) != pagina.size() || !f.flush()) {
                f.remove();
                break;
            }
        }
        for (int i = 0; i < paginasLibres && i < rellenos; ++i)
            QFile::remove(ruta(QStringLiteral("relleno-%1").arg(i)));
    }

  private:
    QTemporaryDir punto_;
    bool montado_ = false;
    QString motivo_;
};
