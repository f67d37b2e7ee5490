#pragma once
// frmFiltro "Filtro de datos": asks for one filter criterion, a text pattern, a number range or
// a date range, showing only the frame of its kind. ClausulaFiltro shows it modally and hands the
// criterion back with its values apart from the SQL.

#include <QDialog>
#include <memory>

#include "reports/Filtro.h"

class Interaccion;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;

class frmFiltro : public QDialog {
    Q_OBJECT
  public:
    // interaccion is for the tests; by default messages are boxes over this window.
    frmFiltro(const QString& campo, TipoFiltro tipo, QWidget* padre = nullptr,
              Interaccion* interaccion = nullptr);
    ~frmFiltro() override;

    // Criterio, Descripcion and FiltroAceptado once the window has been answered.
    const Filtro& Resultado() const { return resultado_; }

  protected:
    void changeEvent(QEvent* evento) override;

  private:
    // Every caption of the window, from the language file in use.
    void PonerTextos();
    QGroupBox* MarcoTexto();
    QGroupBox* MarcoNumero();
    QGroupBox* MarcoFecha();
    QPushButton* Boton(const char* nombre, QWidget* padre, void (frmFiltro::*accion)());
    void CmdOkDato_Click();
    void CmdOkNumero_Click();
    void CmdOkFecha_Click();
    void Cancelar_Click();

    QString campo_;
    TipoFiltro tipo_;
    Filtro resultado_;
    QLineEdit* TxtDato = nullptr;
    QLineEdit* TxtNumero[2] = {};
    QDateEdit* Fecha1 = nullptr;
    QDateEdit* Fecha2 = nullptr;
    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
};

// Shows the filter window for column campo, modally, and returns what it gave: a cancelled
// window gives a filter that is not aceptado and has no criterion.
Filtro ClausulaFiltro(QWidget* padre, const QString& campo, TipoFiltro tipo);
