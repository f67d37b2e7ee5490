#pragma once
// The printing layer: a document of text lines in a fixed-pitch font, with columns counted in
// characters. It goes to the default printer, or, when no printer is configured, to a PDF file in
// the data folder whose path the operator is told. Setting BASCORA_IMPRESORA=pdf in the
// environment always makes the PDF.

#include <QFont>
#include <QString>
#include <memory>

class Interaccion;
class QPainter;
class QPrinter;

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
    // Ends the current line and starts a new page.
    void NuevaPagina();
    // Ends the document so that it goes to the printer (or the file is written). False, with the
    // operator told, when that fails.
    bool Terminar();

    void ColumnasMinimas(int columnas) { columnasMinimas_ = columnas; }
    bool Activa() const { return pintor_ != nullptr; }
    // Path of the PDF written, empty when the document went to a printer.
    QString RutaPdf() const { return rutaPdf_; }

  private:
    void AplicarFuente();
    void NuevaLinea();
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
    bool lineaAbierta_ = false;
};
