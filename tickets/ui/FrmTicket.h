#pragma once
// "Editor de Ticket": one of the five layouts drawn as a sheet of 80 columns by 20 rows, every
// field a label that the operator drags to its place, captions, centres or hides; the ticket
// selector loads another layout, Guardar stores the sheet. The preview follows every change.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "data/Tablas.h"
#include "tickets/EditorTicket.h"

class Interaccion;
class HojaTicket;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QScrollBar;
class VistaImpresa;

class frmTicket : public QWidget {
    Q_OBJECT
  public:
    enum class Respuesta { Si, No, Cancelar };
    using PreguntaSalida = std::function<Respuesta(const QString& texto, const QString& titulo)>;
    using PedidoTexto = std::function<std::optional<QString>(
        const QString& pregunta, const QString& titulo, const QString& defecto)>;

    // interaccion for the tests; by default boxes over this window.
    explicit frmTicket(QWidget* padre = nullptr, Interaccion* interaccion = nullptr);
    ~frmTicket() override;

    // Sets the ticket selector (which loads that layout).
    void FijarModelo(int modelo);
    int modelo() const;
    const EditorTicket& editor() const { return editor_; }
    // The two boxes that are not yes/no questions: the Yes/No/Cancel exit question and the
    // input box of Editar. Tests answer them here.
    void fijarPreguntaSalida(PreguntaSalida f) { preguntaSalida_ = std::move(f); }
    void fijarPedidoTexto(PedidoTexto f) { pedidoTexto_ = std::move(f); }

  Q_SIGNALS:
    void cerrada();

  protected:
    void changeEvent(QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

  private:
    void CrearControles();
    void CrearMenus();
    void PonerTextos();  // every caption, from the language file in use
    void AjustarHoja();  // rulers and the sheet's room, from the sheet's cells
    bool abrir_ticket(int indice);
    bool guardar_ticket(int indice);
    void actualizar();
    void HScroll1_Change(int valor);
    void AplicarAnchoHoja(int modelo);
    void Presionada(int etiqueta, Qt::MouseButton boton, QPoint global);
    void Soltada(const QString& columna, const QString& fila);
    void Editar();
    void Centrar();
    void Ocultar();
    void MostrarVista(const EditorTicket& editor);
    QString PreguntaGuardar(int modelo) const;

    QLabel* Label5;
    QLabel* Label_Ticket;
    QScrollBar* HScroll1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QScrollArea* picture_hoja2;
    HojaTicket* picture_hoja;
    VistaImpresa* picVista;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    std::array<QMenu*, 4> menu_label{};

    std::unique_ptr<Interaccion> interaccionPropia_;
    Interaccion* interaccion_;
    PreguntaSalida preguntaSalida_;
    PedidoTexto pedidoTexto_;
    EditorTicket editor_;
    TablaDatos tickets_;
    AjustesMembrete ajustes_;  // the printer the preview prints on
    MuestraTicket muestra_;
    int modeloEnPantalla_ = 1;
    int campoMenu_ = -1;
};
