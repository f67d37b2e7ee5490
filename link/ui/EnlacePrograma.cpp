#include "link/ui/EnlacePrograma.h"

#include <QMutex>

#include "link/EnlaceDirecto.h"

namespace {

// One request at a time, whichever thread asks.
class EnlaceSerializado : public Enlace {
  public:
    void Solicitar(PeticionEnlace& peticion) override {
        QMutexLocker candado(&mutex_);
        enlace_.Solicitar(peticion);
    }

  private:
    QMutex mutex_;
    EnlaceDirecto enlace_;
};

}  // namespace

Enlace& EnlaceDelPrograma() {
    static EnlaceSerializado enlace;
    return enlace;
}
