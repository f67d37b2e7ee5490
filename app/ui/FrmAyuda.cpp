#include "app/ui/FrmAyuda.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "app/Recursos.h"
#include "settings/Idioma.h"

namespace {

QString TituloDe(const QString& html, const QString& respaldo) {
    static const QRegularExpression titulo(
        QStringLiteral("<title>(.*?)</title>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = titulo.match(html);
    const QString texto = m.hasMatch() ? m.captured(1).simplified() : QString();
    return texto.isEmpty() ? respaldo : texto;
}

}  // namespace

FrmAyuda::FrmAyuda(const QString& indice, QWidget* parent)
    : QWidget(parent, Qt::Window), indice_(QFileInfo(indice).absoluteFilePath()) {
    setObjectName(QStringLiteral("frmAyuda"));

    lblBuscar = new QLabel(this);
    txtBuscar = new QLineEdit(this);
    txtBuscar->setObjectName(QStringLiteral("txtBuscar"));
    txtBuscar->setClearButtonEnabled(true);
    lblBuscar->setBuddy(txtBuscar);
    lblTemas = new QLabel(this);
    lstTemas = new QListWidget(this);
    lstTemas->setObjectName(QStringLiteral("lstTemas"));
    txtPagina = new QTextBrowser(this);
    txtPagina->setObjectName(QStringLiteral("txtPagina"));
    txtPagina->setOpenExternalLinks(true);

    auto* izquierda = new QWidget(this);
    auto* columna = new QVBoxLayout(izquierda);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->addWidget(lblBuscar);
    columna->addWidget(txtBuscar);
    columna->addWidget(lblTemas);
    columna->addWidget(lstTemas, 1);

    auto* division = new QSplitter(this);
    division->addWidget(izquierda);
    division->addWidget(txtPagina);
    division->setStretchFactor(1, 1);
    division->setSizes({280, 600});
    auto* marco = new QHBoxLayout(this);
    marco->addWidget(division);
    resize(880, 580);

    PonerTextos();
    CargarPaginas();
    connect(txtBuscar, &QLineEdit::textChanged, this, &FrmAyuda::Filtrar);
    connect(lstTemas, &QListWidget::itemActivated, this, &FrmAyuda::AbrirTema);
    connect(lstTemas, &QListWidget::itemClicked, this, &FrmAyuda::AbrirTema);
}

void FrmAyuda::PonerTextos() {
    setWindowTitle(TituloPrograma() + QStringLiteral(" - ") +
                   TextoIdioma(QStringLiteral("005043"), QStringLiteral("Ayuda")));
    lblBuscar->setText(TextoIdioma(QStringLiteral("005044"), QStringLiteral("Buscar:")));
    lblTemas->setText(TextoIdioma(QStringLiteral("005045"), QStringLiteral("Contenido")));
}

void FrmAyuda::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) {
        PonerTextos();
        // No pages in the new language: keep the ones shown rather than an empty window.
        const QString indice = RutaAyuda();
        if (!indice.isEmpty()) CambiarIndice(indice);
    }
    QWidget::changeEvent(evento);
}

// Loads the pages beside `indice` in place of the current ones, keeping the search and showing the
// page of the same name that was on view.
void FrmAyuda::CambiarIndice(const QString& indice) {
    const QString nuevo = QFileInfo(indice).absoluteFilePath();
    if (nuevo == indice_) return;
    const QString visto = txtPagina->source().isLocalFile()
                              ? QFileInfo(txtPagina->source().toLocalFile()).fileName()
                              : QString();
    indice_ = nuevo;
    paginas_.clear();
    lstTemas->clear();
    CargarPaginas();
    Filtrar(txtBuscar->text());
    if (visto.isEmpty()) return;
    const QDir carpeta = QFileInfo(indice_).absoluteDir();
    const QString pagina = carpeta.exists(visto) ? carpeta.filePath(visto) : indice_;
    txtPagina->setSource(QUrl::fromLocalFile(pagina));
    for (int i = 0; i < paginas_.size(); ++i) {
        if (QFileInfo(paginas_.at(i).ruta) == QFileInfo(pagina)) lstTemas->setCurrentRow(i);
    }
}

void FrmAyuda::CargarPaginas() {
    const QDir carpeta = QFileInfo(indice_).absoluteDir();
    // The contents page first, then its pages in the order it links them, then any others.
    QStringList archivos = {QFileInfo(indice_).fileName()};
    QFile contenido(indice_);
    if (contenido.open(QIODevice::ReadOnly)) {
        static const QRegularExpression enlace(QStringLiteral("href=\"([^\"#:/]+\\.html)"));
        for (auto m = enlace.globalMatch(QString::fromUtf8(contenido.readAll())); m.hasNext();) {
            const QString nombre = m.next().captured(1);
            if (!archivos.contains(nombre) && carpeta.exists(nombre)) archivos.append(nombre);
        }
    }
    for (const QString& nombre :
         carpeta.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        if (!archivos.contains(nombre)) archivos.append(nombre);
    }
    for (const QString& nombre : archivos) {
        QFile archivo(carpeta.filePath(nombre));
        if (!archivo.open(QIODevice::ReadOnly)) continue;
        const QString html = QString::fromUtf8(archivo.readAll());
        paginas_.append({archivo.fileName(), TituloDe(html, nombre),
                         QTextDocumentFragment::fromHtml(html).toPlainText()});
        auto* tema = new QListWidgetItem(paginas_.last().titulo, lstTemas);
        tema->setData(Qt::UserRole, static_cast<int>(paginas_.size() - 1));
    }
}

void FrmAyuda::Filtrar(const QString& busqueda) {
    const QStringList palabras = busqueda.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < lstTemas->count(); ++i) {
        QListWidgetItem* tema = lstTemas->item(i);
        const Pagina& pagina = paginas_.at(tema->data(Qt::UserRole).toInt());
        bool contiene = true;
        for (const QString& palabra : palabras) {
            if (!pagina.texto.contains(palabra, Qt::CaseInsensitive) &&
                !pagina.titulo.contains(palabra, Qt::CaseInsensitive)) {
                contiene = false;
                break;
            }
        }
        tema->setHidden(!contiene);
    }
}

QStringList FrmAyuda::TemasVisibles() const {
    QStringList titulos;
    for (int i = 0; i < lstTemas->count(); ++i) {
        if (!lstTemas->item(i)->isHidden()) titulos.append(lstTemas->item(i)->text());
    }
    return titulos;
}

void FrmAyuda::AbrirTema(QListWidgetItem* tema) {
    if (!tema) return;
    const Pagina& pagina = paginas_.at(tema->data(Qt::UserRole).toInt());
    txtPagina->setSource(QUrl::fromLocalFile(pagina.ruta));
    // Bring the first word searched for into view.
    const QString palabra = txtBuscar->text().split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
    if (!palabra.isEmpty()) txtPagina->find(palabra);
}

void FrmAyuda::Traer() {
    show();
    raise();
    activateWindow();
}

void FrmAyuda::MostrarContenido() {
    txtBuscar->clear();
    txtPagina->setSource(QUrl::fromLocalFile(indice_));
    if (lstTemas->count() > 0) lstTemas->setCurrentRow(0);
    Traer();
}

void FrmAyuda::MostrarBusqueda() {
    if (txtPagina->source().isEmpty()) txtPagina->setSource(QUrl::fromLocalFile(indice_));
    Traer();
    txtBuscar->setFocus();
    txtBuscar->selectAll();
}
