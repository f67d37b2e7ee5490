#pragma once
// "Formato del Ticket": printer type, the two letterhead lines with their double-width flags,
// the layout to print, Save, the layout editor, and the transfers of the layout or of a free
// ticket form into the indicator. A preview shows the ticket as the indicator would print it.

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

#include "data/Tablas.h"
#include "tickets/Ticket.h"

class Enlace;
class Interaccion;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Trabajo;
class VistaImpresa;

class frmMembrete : public QWidget {
    Q_OBJECT
  public:
    // enlace and interaccion are for the tests; by default the program's link and boxes over
    // this window.
    explicit frmMembrete(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                         Interaccion* interaccion = nullptr);
    ~frmMembrete() override;

    bool ocupada() const;  // a transfer is running, or its end is not yet shown
    void esperarTrabajo();
    int anchoLinea() const { return anchoLinea_; }

  Q_SIGNALS:
    void cerrada();

  protected:
    void changeEvent(QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

  private:
    void CrearControles();
    void PonerTextos();            // every caption and tip, from the language file in use
    void FuenteTitulo(int linea);  // fixed pitch, twice as wide for a double-width line
    void Cargar();
    void SeleccionarImpresora(int tipo);
    void CambioNegrita(int linea);
    void SeleccionarModelo(int modelo);
    void LeerDisenoVista(int modelo);  // the layout the preview shows
    void CmdGuardar_Click();
    void cmdEditar_Click();
    void cmdCargarSetup_Click();
    void CmdFormulario_Click();
    void Ejecutar(std::function<void(Interaccion&)> procedimiento);
    void ActualizarVista();

    int TipoSeleccionado() const;
    int ModeloSeleccionado() const;
    AjustesMembrete Ajustes() const;
    std::array<QString, 2> Titulos() const;

    QGroupBox* FrmImpresora;
    std::array<QRadioButton*, kTiposImpresora> OptImpre;
    QGroupBox* Frame1;
    std::array<QCheckBox*, 2> ChkNegrita;
    std::array<QLineEdit*, 2> txtTexto;
    QGroupBox* Frame3;
    std::array<QRadioButton*, 6> Option1{};  // 1-5
    QGroupBox* FrmCamposAux;
    QPushButton* cmdEditar;
    QPushButton* CmdGuardar;
    QPushButton* cmdCargarSetup;
    QGroupBox* FraFormulario;
    QPushButton* CmdFormulario;
    VistaImpresa* picVista;

    std::unique_ptr<Interaccion> interaccionPropia_;
    Enlace* enlace_;
    Interaccion* interaccionPrueba_;  // given by a test: also used by the jobs
    Interaccion* interaccion_;
    QPointer<Trabajo> trabajo_;
    TablaDatos tickets_;
    DisenoTicket diseno_{};  // the selected layout, for the preview
    bool disenoValido_ = false;
    MuestraTicket muestra_;
    int anchoLinea_ = 78;
    bool cargando_ = false;
    bool enCurso_ = false;
};
