#include "reports/ui/FrmDataGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/CDatos.h"
#include "data/ModeloDatos.h"

ControlDatos::ControlDatos(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(2, 0, 2, 0);
    fila->setSpacing(0);
    auto boton = [&](const char* nombre, const QString& texto, void (ControlDatos::*senal)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setText(texto);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, senal);
        fila->addWidget(b);
    };
    boton("Primero", QStringLiteral("|◀"), &ControlDatos::Primero);
    boton("Anterior", QStringLiteral("◀"), &ControlDatos::Anterior);
    etiqueta_ = new QLabel(this);
    etiqueta_->setAlignment(Qt::AlignCenter);
    fila->addWidget(etiqueta_, 1);
    boton("Siguiente", QStringLiteral("▶"), &ControlDatos::Siguiente);
    boton("Ultimo", QStringLiteral("▶|"), &ControlDatos::Ultimo);
}

QString ControlDatos::caption() const {
    return etiqueta_->text();
}
void ControlDatos::setCaption(const QString& texto) {
    etiqueta_->setText(texto);
}

FrmDataGrid::FrmDataGrid(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmDataGrid"));

    modelo_ = new ModeloDatos(this);
    grdDataGrid_ = new QTableView(this);
    grdDataGrid_->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid_->setModel(modelo_);
    grdDataGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDataGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDataGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Fixed row heights: nothing is measured row by row, whatever the row count.
    grdDataGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdDataGrid_->verticalHeader()->setDefaultSectionSize(grdDataGrid_->fontMetrics().height() + 6);

    Data1_ = new ControlDatos(this);
    Data1_->setObjectName(QStringLiteral("Data1"));

    Command1_ = new QPushButton(QStringLiteral("Command1"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setVisible(false);

    // The grid fills the window above the data control, whatever the window's size.
    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->setSpacing(0);
    capa->addWidget(grdDataGrid_, 1);
    capa->addWidget(Data1_);
    // A first size of about eighty characters by twenty rows of the font in use.
    const QFontMetrics medida(grdDataGrid_->font());
    resize(medida.averageCharWidth() * 80,
           grdDataGrid_->verticalHeader()->defaultSectionSize() * 20);

    connect(grdDataGrid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        ActualizarCaption();
        Q_EMIT PosicionCambiada(Posicion());
    });
    connect(Data1_, &ControlDatos::Primero, this, [this] { IrA(1); });
    connect(Data1_, &ControlDatos::Anterior, this, [this] { IrA(qMax(1, Posicion() - 1)); });
    connect(Data1_, &ControlDatos::Siguiente, this, [this] { IrA(Posicion() + 1); });
    connect(Data1_, &ControlDatos::Ultimo, this, [this] { IrA(Cantidad()); });
    ActualizarCaption();
}

FrmDataGrid::~FrmDataGrid() = default;

bool FrmDataGrid::Abrir(const QString& cadenaConexion, const QString& fuente,
                        const QVariantList& valores, int posicion) {
    const bool ok = modelo_->Abrir(cadenaConexion, fuente, valores);
    // Columns as wide as the header and the rows on screen need, so no value is cut; only the
    // visible rows are measured, whatever the row count.
    grdDataGrid_->horizontalHeader()->setResizeContentsPrecision(0);
    grdDataGrid_->resizeColumnsToContents();
    if (ok && modelo_->rowCount() > 0) IrA(qMax(1, posicion));
    ActualizarCaption();
    return ok;
}

bool FrmDataGrid::Abrir(const RegistroDatos& registro) {
    if (!registro.Abierto()) return false;
    return Abrir(registro.CadenaConexion(), registro.Fuente(), registro.Valores(),
                 qMax(1, registro.AbsolutePosition()));
}

int FrmDataGrid::Posicion() const {
    const QModelIndex actual = grdDataGrid_->currentIndex();
    return actual.isValid() ? actual.row() + 1 : 0;
}

int FrmDataGrid::Cantidad() const {
    return modelo_->rowCount();
}

void FrmDataGrid::IrA(int posicion) {
    const int n = modelo_->rowCount();
    if (n == 0 || modelo_->columnCount() == 0) return;
    const QModelIndex destino = modelo_->index(qBound(1, posicion, n) - 1, 0);
    grdDataGrid_->setCurrentIndex(destino);
    grdDataGrid_->scrollTo(destino);
}

void FrmDataGrid::ActualizarCaption() {
    Data1_->setCaption(QStringLiteral("Dato: ") + QString::number(Posicion()) + u'/' +
                       QString::number(Cantidad()));
}
