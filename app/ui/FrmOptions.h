#pragma once
// The options dialog: the indicator link, the scheduled download and the export of the downloaded
// weighings, all stored in bascora.ini when the operator accepts; and the label loader, which
// sends a label or logo file to the label printer on the serial port.

#include <QDialog>
#include <QPointer>
#include <atomic>
#include <memory>

#include "app/Opciones.h"

class Interaccion;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class Trabajo;

class frmOptions : public QDialog {
    Q_OBJECT
  public:
    // `interaccion` replaces the message boxes (tests); nullptr = boxes over this dialog.
    explicit frmOptions(QWidget* padre = nullptr, Interaccion* interaccion = nullptr);
    ~frmOptions() override;

    // The settings could not be shown: the failure box comes up and the dialog closes as soon as
    // it is shown.
    bool FalloAlCargar() const { return falloCarga_; }
    // Maps the selected Com number to `dispositivo` (stored when accepting), as Detectar does.
    void AsignarDispositivo(const QString& dispositivo);
    // A label send is running.
    bool Enviando() const;
    // Blocks until the label send has ended (tests).
    void EsperarEnvio();
    // Cancel, Escape and the close button.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;

  private:
    void CrearPestanaComunicaciones(QWidget* pagina);
    void CrearPestanaConfiguracion(QWidget* pagina);
    void PonerTextos();
    void Cargar(const ValoresOpciones& v);
    ValoresOpciones Recoger() const;
    void LlenarPuertos();

    void SSTab1_Click(int nueva);
    void OptIndicador_Click(int indice);
    void optSerie_Click();
    void optTCP_Click();
    void Chk_InicioAuto_Click();
    void cmdOK_Click();
    void cmdCargar_Click();
    void cmdDetectar_Click();
    void MostrarFallo();
    void FinEnvio();

    QTabWidget* SSTab1;
    QWidget* picOptions[2];
    QGroupBox* FraIndicador;
    QRadioButton* OptIndicador[3] = {};  // 1 Mirto, 2 Vela
    QGroupBox* Frame6;
    QLabel* Label1[4];
    QScrollBar* HScrollId0;
    QLabel* LabelId0;
    QScrollBar* HScroll_DB;
    QLabel* Label_DB;
    QRadioButton* optSerie;
    QRadioButton* optTCP;
    QGroupBox* fraSerie;
    QLabel* LblPuerto;
    QComboBox* ListaPuerto;
    QPushButton* cmdDetectar;
    QLabel* LblBaudios;
    QComboBox* ListaBaudios;
    QGroupBox* FraTCP;
    QLabel* LblHost;
    QLineEdit* Txt_TCP_RemoteHost;
    QLabel* LblPort;
    QLineEdit* Txt_TCP_RemotePort;
    QGroupBox* FraAuditoria;
    QCheckBox* Chk_InicioAuto;
    QCheckBox* Chk_InicioBajar;
    QComboBox* ListaHora;
    QComboBox* ListaMinuto;
    QGroupBox* Frame12;
    QCheckBox* chkFormato[3];
    QGroupBox* Frame3;
    QLabel* lblRuta;
    QLineEdit* txtRuta;
    QLabel* lblExcel;
    QLineEdit* txtExcel;
    QLabel* lblTexto;
    QLineEdit* txtTexto;
    QLabel* lblExtension;
    QLineEdit* txtExtension;
    QLabel* lblSeparador;
    QLineEdit* txtSeparador;
    QPushButton* cmdCargar;
    QProgressBar* ProgEtiqueta;
    QPushButton* cmdCancelarEnvio;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    int Comunicacion = 0;
    int tabAnterior_ = 0;
    bool falloCarga_ = false;
    bool activado_ = false;
    QString errorCarga_;
    QMap<int, QString> puertosNuevos_;
    QPointer<Trabajo> envio_;
    std::atomic<bool> cancelarEnvio_{false};
};
