#pragma once
// The help window: the pages shipped in the help folder, a list of them as contents, and a search
// box that keeps in the list only the pages holding every word typed. On a language change it
// relabels and shows the same page in the new language.

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;

class FrmAyuda : public QWidget {
    Q_OBJECT
  public:
    // `indice` is the contents page; every .html file beside it is a page of the help.
    explicit FrmAyuda(const QString& indice, QWidget* parent = nullptr);

    void MostrarContenido();  // shows the contents page
    void MostrarBusqueda();   // shows the window with the search box ready

    // Titles of the pages left in the list by the current search.
    QStringList TemasVisibles() const;

  protected:
    void changeEvent(QEvent* evento) override;

  private:
    struct Pagina {
        QString ruta;
        QString titulo;
        QString texto;  // plain text, for the search
    };
    void PonerTextos();
    void CargarPaginas();
    void CambiarIndice(const QString& indice);
    void Filtrar(const QString& busqueda);
    void AbrirTema(QListWidgetItem* tema);
    void Traer();

    QString indice_;
    QList<Pagina> paginas_;
    QLabel* lblBuscar;
    QLabel* lblTemas;
    QLineEdit* txtBuscar;
    QListWidget* lstTemas;
    QTextBrowser* txtPagina;
};
