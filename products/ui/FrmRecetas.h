#pragma once
// "Recetas": the recipes of the recipes table, one at a time, with their component values; loads a
// recipe into the indicator or reads it back; on the "Opciones" tab the names and letters of the
// 16 set points. The table decides which recipes exist: this window never adds or deletes one.

#include <QList>
#include <QWidget>
#include <functional>
#include <memory>

#include "products/Recetas.h"

class Enlace;
class Interaccion;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QToolButton;

class frmRecetas : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFilas = kMaxComponentes;

    // enlace and interaccion are for the tests; by default requests go through the program's link
    // and messages are boxes over this window.
    explicit frmRecetas(QWidget* padre = nullptr, Enlace* enlace = nullptr,
                        Interaccion* interaccion = nullptr);
    ~frmRecetas() override;

    bool ocupada() const;  // a transfer is running (the window refuses to close)

  Q_SIGNALS:
    void cerrada();

  protected:
    void changeEvent(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void CrearDatos(QWidget* pagina);
    void CrearOpciones(QWidget* pagina);
    QWidget* CrearData1();
    void PonerTextos();  // every caption, from the language file in use
    void MostrarRecetaIndicador();
    bool Form_Load();
    void LlenarSetPoints();
    void Recargar(int receta);
    void IrA(int posicion);
    void Data1_Reposition();
    void MostrarEdicion(bool editando);
    bool FiltrarTecla(QLineEdit* caja, QKeyEvent* tecla);
    int RecetaActual() const;

    void TabStrip_Click(int indice);
    void Lbl_Campo_DblClick(int i);
    void cmdEditar_Click();
    void cmdActualizar_Click();
    void cmdCancelar_Click();
    void cmdBajar_Click();
    void cmdCargar_Click();
    void cmdBajarSetup_Click();
    void cmdCargarSetup_Click();
    void Ejecutar(std::function<void(Interaccion&)> procedimiento,
                  std::function<void()> alTerminar);

    QTabWidget* TabStrip = nullptr;
    QWidget* Frame_Datos = nullptr;
    QWidget* Frame_Opciones = nullptr;
    QWidget* marcoValores_ = nullptr;
    QLineEdit* txt_Dato[kFilas + 1] = {};
    QLabel* Lbl_Campo[kFilas + 1] = {};
    QLabel* Label_2[kFilas + 1] = {};
    QWidget* Data1 = nullptr;
    QLabel* Data1Caption = nullptr;
    QToolButton* Data1Boton[4] = {};
    QPushButton* cmdEditar = nullptr;
    QPushButton* cmdBajar = nullptr;
    QPushButton* cmdCargar = nullptr;
    QPushButton* cmdActualizar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QStackedWidget* botonera_ = nullptr;  // the browsing buttons or the editing ones
    QLabel* Lbl_Titulo[4] = {};
    QLabel* Lbl_Receta1 = nullptr;
    QLabel* LblSinRecetas = nullptr;
    QLineEdit* TxtAuxNombre[kSetPoints] = {};
    QLineEdit* TxtAuxValor[kSetPoints] = {};
    QPushButton* cmdBajarSetup = nullptr;
    QPushButton* cmdCargarSetup = nullptr;

    Enlace* enlace_;
    Interaccion* interaccion_;
    std::unique_ptr<Interaccion> interaccionPropia_;
    TablaDatos tabla_;
    AjustesRecetas ajustes_;
    QList<RegistroReceta> filas_;
    int posicion_ = -1;
    int orden_ = 0;
    int recetaIndicador_ = -1;  // the indicator's current recipe after a load, -1 before
    bool cargada_ = false;
    bool editando_ = false;
    bool enTrabajo_ = false;  // until the transfer and its follow-up on this thread are done
};
