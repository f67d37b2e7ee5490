#pragma once
// frmPLU, "Codigos": the product codes of the eight groups and the group configuration. The
// "Datos" tab browses one group's codes with the data control (fields locked until double-
// clicked), adds, deletes, sorts, shows a grid, prints the list and the label job, exchanges CSV
// files and starts the transfers; the "Opciones" tab edits the configuration grid. Transfers run
// as jobs off the interface thread; meanwhile the commands are disabled and the window stays.

#include <QList>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

#include "data/Tablas.h"
#include "products/ImagenPLU.h"

class ControlDatos;
class Enlace;
class Interaccion;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class Trabajo;
struct ResultadoPLU;

class frmPLU : public QWidget {
    Q_OBJECT
  public:
    // enlace and interaccion are for the tests; by default the program's link and boxes over
    // this window.
    explicit frmPLU(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                    Interaccion* interaccion = nullptr);
    ~frmPLU() override;

    bool cargada() const { return cargada_; }  // false: the table could not be attached
    int CantCodigos() const { return CantCodigos_; }
    bool trabajando() const;  // a transfer job is running
    void esperarTrabajo();    // tests: until the job has ended and the window is updated

    void Llena_Opciones();
    bool Guarda_Opciones();
    OpcionesCampos OpcionesDeLaGrilla() const;

  protected:
    void changeEvent(QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void ConstruirDatos(QWidget* panel);
    void ConstruirOpciones(QWidget* panel);
    void PonerTextos();  // every caption and tip, from the language file in use
    void AnchosMinimos();
    bool Cargar();
    void CambiarGrupo(int posicion);
    void Mostrar(QList<Producto> filas, int posicion);
    void MoverA(int posicion);  // 0-based; writes pending edits first
    void RegistroMovido();
    void MostrarPosicion();
    Producto DeLasCajas() const;
    bool GuardarEdicion();
    void Bloquear(int i, bool bloqueado);
    void OrdenarPor(int campo);
    void ErrorBase(const QString& motivo);
    int GrupoElegido() const;
    void HabilitarNavegacion(bool activa);
    void Interlocks(int k, QCheckBox* origen);  // origen: the box just changed, or none
    void Transferir(const std::function<ResultadoPLU(Enlace&, Interaccion&)>& procedimiento,
                    const std::function<void(const ResultadoPLU&)>& despues);

    void cmdAgregar_Click();
    void cmdDelete_Click();
    void cmdImprimir_Click();
    void cmdGrid_Click();
    void cmd_ImprimirCB_Click();
    void CmdCargarPLU_Click();
    void CmdRecuperarPLU_Click();
    void cmdCargarSetup_Click();
    void cmdComparar_Click();
    void cmdImportar_Click();
    void cmdExportar_Click();

    QTabWidget* SSTab1;
    QComboBox* Cmb_Grupo;
    QLabel* Lbl_Grupo;
    std::array<QLabel*, 4> Lbl_Campo{};
    std::array<QLineEdit*, 4> txt_Dato{};
    ControlDatos* Data1;
    QPushButton* cmdAgregar;
    QPushButton* cmdDelete;
    QPushButton* cmdImprimir;
    QPushButton* cmdGrid;
    QPushButton* CmdCargarPLU;
    QPushButton* cmd_ImprimirCB;
    QPushButton* CmdRecuperarPLU;
    QPushButton* cmdComparar;
    QPushButton* cmdImportar;
    QPushButton* cmdExportar;
    QPushButton* cmdCargarSetup;
    std::array<QLineEdit*, CantidadGrupos> TxtAuxNombre{};
    std::array<QLineEdit*, CantidadGrupos> TxtAuxValor{};
    std::array<QCheckBox*, CantidadGrupos> ChkAlfa{};
    std::array<QCheckBox*, CantidadGrupos> ChkTexto{};
    std::array<QCheckBox*, CantidadGrupos> ChkCuit{};
    std::array<QLabel*, 5> cabezasOpciones_{};
    std::array<QLabel*, CantidadGrupos> filasOpciones_{};

    std::unique_ptr<Interaccion> interaccionPropia_;
    Enlace* enlace_;
    Interaccion* interaccion_;
    Interaccion* interaccionTrabajo_;  // nullptr: the job makes its own boxes
    QPointer<Trabajo> trabajo_;
    TablaDatos plu_, setup_;
    QList<Producto> filas_;  // the shown record set
    int posicion_ = -1;      // current row, -1 with none
    int CantCodigos_ = 0;
    bool agregando_ = false;
    bool cargada_ = false;
};
