#pragma once
// The printing layer: a document of text lines in a fixed-pitch font, with columns counted in
// characters. It goes to the default printer, or, when no printer is configured, to a PDF file in
// the data folder whose path the operator is told. Setting BASCORA_IMPRESORA=pdf in the
// environment always makes the PDF. Every document, printer or PDF, uses the page set-up chosen
// in "Configurar página" (DisenoPagina below).

#include <QFont>
#include <QPageLayout>
#include <QString>
#include <memory>

class Interaccion;
class QPainter;
class QPrinter;
class QWidget;

class Impresion {
  public:
    enum class Destino { Automatico, Pdf };

    explicit Impresion(Interaccion& interaccion, Destino destino = Destino::Automatico);
    ~Impresion();  // an unfinished document is ended (and so still printed)
    Impresion(const Impresion&) = delete;
    Impresion& operator=(const Impresion&) = delete;

    // Opens the document. False when the printer or the file cannot be opened; the operator has
    // then been told why and every later call does nothing.
    bool Iniciar(const QString& titulo = QString());
    // Font face and size. The size shrinks when a line of ColumnasMinimas characters would not
    // fit the printable width (classic reports assume 80 columns on any paper).
    void Fuente(const QString& nombre, double puntos);
    void Negrita(bool activa);
    // Moves to column `columna` (1 = first) of the current line; when the line is already past it,
    // the line ends first, as a line printer does.
    void Tab(int columna);
    // Prints texto at the current position; the line ends unless seguir is set.
    void Imprimir(const QString& texto = QString(), bool seguir = false);
    // Ends the current line; what is printed next starts a new page.
    void NuevaPagina();
    // Ends the document so that it goes to the printer (or the file is written). False, with the
    // operator told, when that fails.
    bool Terminar();

    void ColumnasMinimas(int columnas) { columnasMinimas_ = columnas; }
    bool Activa() const { return pintor_ != nullptr; }
    // Whole lines of the current font that fit one page (0 before Iniciar).
    int LineasPorPagina() const;
    // Path of the PDF written, empty when the document went to a printer.
    QString RutaPdf() const { return rutaPdf_; }

  private:
    void AplicarFuente();
    void NuevaLinea();
    void AntesDeDibujar();
    double AltoPagina() const;
    void Fallo(const QString& detalle);

    Interaccion& interaccion_;
    Destino destino_;
    std::unique_ptr<QPrinter> impresora_;
    std::unique_ptr<QPainter> pintor_;
    QString rutaPdf_;
    QFont fuente_;
    int columnasMinimas_ = 80;
    double anchoColumna_ = 0;  // device units per character
    double altoLinea_ = 0;
    double ascenso_ = 0;
    double y_ = 0;     // top of the current line
    int columna_ = 1;  // next column of the current line
    // Pages are started only when something is drawn on them, so trailing empty lines or a page
    // break at the end never give a blank page.
    bool paginaUsada_ = false;
    bool saltoPendiente_ = false;
};

// The page set-up of every printout (paper, orientation, margins in millimetres): kept while the
// program runs and remembered in bascora.ini, section [Impresion], keys Papel (a paper name such
// as "A4" or "Letter", or width x height in mm), Orientacion (0 portrait, 1 landscape) and Margenes
// (left,top,right,bottom). A4 portrait with 10 mm margins when nothing (or nothing valid) is set.
QPageLayout DisenoPagina();
QPageLayout DisenoPaginaPorDefecto();
// Keeps `diseno` for the printouts that follow and writes it to the settings. False, with the
// reason, when the settings could not be written (it is kept for this run all the same).
bool GuardarDisenoPagina(const QPageLayout& diseno, QString* error = nullptr);
// The page set-up dialog (objectName "dlgCommonDialog") started from `diseno`: the printer's own
// dialog when a printer is configured, else one for the PDF with the same choices. True, with
// `diseno` changed, when the operator accepts.
bool ElegirDisenoPagina(QWidget* padre, QPageLayout& diseno);
