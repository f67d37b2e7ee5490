#pragma once
// frmReporte "Reporte": the stored weighings one at a time in thirteen read-only boxes, with the
// navigator "Pesada: position/count", sorting by double-clicking a caption, a filter by
// double-clicking a box, the grid over the current rows, export of the current rows to CSV or a
// workbook, and deletion of every stored weighing. Nothing here edits a weighing.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "reports/ConsultaReporte.h"

class ControlDatos;
class Interaccion;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class Trabajo;

class frmReporte : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCajas = 13;

    // interaccion is for the tests; by default messages are boxes over this window.
    explicit frmReporte(QWidget* padre = nullptr, Interaccion* interaccion = nullptr);
    ~frmReporte() override;

    // How a filter is asked for (tests replace the modal filter window).
    using PeticionFiltro = std::function<Filtro(const QString& campo, TipoFiltro tipo)>;
    void FijarPeticionFiltro(PeticionFiltro peticion) { pedirFiltro_ = std::move(peticion); }

    qint64 Posicion() const { return posicion_; }
    qint64 Cantidad() const { return cantidad_; }
    const VistaReporte& Vista() const { return vista_; }
    void IrA(qint64 posicion);
    // Exports the current rows, as a job; the buttons ask for the file and call this.
    void Exportar(const QString& ruta, bool libro);
    bool TrabajoEnCurso() const;

  protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption and tool tip of the window, from the language file in use; the texts that
    // follow the view again from the view.
    void PonerTextos();
    void PonerCaptionsCajas();
    void PonerTextosVista();
    void ConstruirCajas(class QGridLayout* rejilla);
    void Cargar(const VistaReporte& vista);
    void CargarNombresCodigos();
    void Mostrar();
    void Ordenar(int caja);
    void Filtrar(int caja);
    void QuitarFiltro();
    void CmdBorrar_Click();
    void cmdGrid_Click();
    void ElegirYExportar(bool libro);
    void Ocupado(bool ocupado);

    QLabel* Lbl_Campo[kCajas];
    QLineEdit* txt_Dato[kCajas];
    ControlDatos* Data1;
    QPushButton* CmdBorrar;
    QPushButton* cmdGrid;
    QPushButton* cmdQuitarFiltro;
    QPushButton* cmdCsv;
    QPushButton* cmdExcel;
    QLabel* LblFiltro;
    QProgressBar* PrgExportar;

    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    PeticionFiltro pedirFiltro_;
    QStringList nombresCodigos_;  // names of the code table, once read
    VistaReporte vista_;
    ConsultaReporte consulta_;
    bool abierta_ = false;
    qint64 posicion_ = 0;
    qint64 cantidad_ = 0;
    QPointer<Trabajo> trabajo_;
};
