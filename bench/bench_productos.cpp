// Load of 250 product codes into the simulated indicator on 127.0.0.1: the image goes as 6,500
// write frames. Prints the frames, the total time, the time per frame, and the software overhead
// per frame (building the image and everything around the link) measured apart.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include "base/Globales.h"
#include "data/Conexion.h"
#include "data/Provision.h"
#include "link/EnlaceDirecto.h"
#include "products/TablaProductos.h"
#include "products/TransferenciaPLU.h"
#include "settings/ValoresGlobales.h"
#include "tests/support/CarpetaTemporal.h"
#include "tests/support/InteraccionGuion.h"
#include "tests/support/SimuladorPrueba.h"

namespace {

// Counts the time spent inside the link, so the rest is the procedure's own.
class EnlaceCronometrado : public Enlace {
  public:
    explicit EnlaceCronometrado(Enlace& base) : base_(base) {}
    void Solicitar(PeticionEnlace& p) override {
        QElapsedTimer t;
        t.start();
        base_.Solicitar(p);
        nsEnlace += t.nsecsElapsed();
    }
    qint64 nsEnlace = 0;

  private:
    Enlace& base_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream salida(stdout);
    CarpetaTemporal carpeta;
    if (!PrepararCarpeta().ok()) return 1;
    CargarValoresGlobales();
    SimuladorPrueba sim;
    sim.ConfigurarEnlaceTcp();
    QList<Producto> productos;
    for (int i = 1; i <= CapacidadCodigos; ++i)
        productos.append({i, 1 + i % CantidadGrupos, QStringLiteral("Producto número %1").arg(i),
                          QStringLiteral("20-%1").arg(i), QString()});
    const TablaDatos plu = TablaDe(TablaLogica::PLU);
    if (!ReemplazarProductos(plu, productos)) return 1;
    const OpcionesCampos config = Llena_Opciones(TablaDe(TablaLogica::PLU_SETUP));

    EnlaceDirecto directo;
    directo.fijarEsperas(2000, 2000);
    EnlaceCronometrado enlace(directo);
    InteraccionGuion op;
    op.responder({true});
    QElapsedTimer total;
    total.start();
    const ResultadoPLU r = CargarCodigos(enlace, op, plu, config, false);
    const qint64 nsTotal = total.nsecsElapsed();
    const int tramas = sim.tramasRecibidas(6);
    if (!r.ok || tramas == 0) {
        salida << "load failed: " << r.error << "\n";
        return 1;
    }

    // The procedure's own work (table read, image build), repeated to be measurable.
    QElapsedTimer propio;
    propio.start();
    constexpr int kVueltas = 200;
    for (int i = 0; i < kVueltas; ++i) {
        const auto filas = LeerProductos(plu, 0, OrdenProductos::GrupoCodigo);
        if (!filas || ArmarImagen(*filas, config.Cuit).size() != LargoImagen) return 1;
    }
    const double nsPropioPorCarga = double(propio.nsecsElapsed()) / kVueltas;

    salida << "codes loaded:                 " << r.cantidad << "\n";
    salida << "write frames:                 " << tramas << " (expected 6500)\n";
    salida << "total load time:              " << nsTotal / 1e6 << " ms\n";
    salida << "time per frame:               " << nsTotal / 1e3 / tramas << " us\n";
    salida << "link time per frame:          " << enlace.nsEnlace / 1e3 / tramas << " us\n";
    salida << "procedure overhead per frame: " << (nsTotal - enlace.nsEnlace) / 1e3 / tramas
           << " us\n";
    salida << "table read + image per load:  " << nsPropioPorCarga / 1e6 << " ms ("
           << nsPropioPorCarga / 1e3 / tramas << " us per frame)\n";
    CerrarConexionesDelHilo();
    return 0;
}
