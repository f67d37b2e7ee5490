#include "reports/ui/FrmReporte.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Trabajo.h"
#include "reports/ExportarReporte.h"
#include "reports/ui/FrmDataGrid.h"
#include "reports/ui/FrmFiltro.h"
#include "settings/Idioma.h"

namespace {

constexpr int kPrimeraCajaCodigo = 5;
constexpr int kCodigosVisibles = 5;

QString CaptionDisenada(int caja) {
    static const struct {
        const char* id;
        const char* texto;
    } captions[frmReporte::kCajas] = {
        {"012006", "Lote:"},     {"012007", "Pesada:"},   {"012008", "Fecha:"},
        {"012009", "Hora:"},     {"012010", "Peso:"},     {"012011", "Codigo 1:"},
        {"012012", "Codigo 2:"}, {"012013", "Codigo 3:"}, {"012014", "Codigo 4:"},
        {"012015", "Codigo 5:"}, {"012016", "Codigo 6:"}, {"012017", "Codigo 7:"},
        {"012018", "Codigo 8:"}};
    return T(captions[caja].id, captions[caja].texto);
}

}  // namespace

frmReporte::frmReporte(QWidget* padre, Interaccion* interaccion)
    : QWidget(padre, Qt::Window), interaccion_(interaccion) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    pedirFiltro_ = [this](const QString& campo, TipoFiltro tipo) {
        return ClausulaFiltro(this, campo, tipo);
    };
    setObjectName(QStringLiteral("frmReporte"));

    auto* rejilla = new QGridLayout;
    ConstruirCajas(rejilla);

    Data1 = new ControlDatos(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    connect(Data1, &ControlDatos::Primero, this, [this] { IrA(1); });
    connect(Data1, &ControlDatos::Anterior, this, [this] { IrA(posicion_ - 1); });
    connect(Data1, &ControlDatos::Siguiente, this, [this] { IrA(posicion_ + 1); });
    connect(Data1, &ControlDatos::Ultimo, this, [this] { IrA(cantidad_); });

    const auto boton = [this](const char* nombre, auto accion) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(nombre));
        connect(b, &QPushButton::clicked, this, accion);
        return b;
    };
    CmdBorrar = boton("CmdBorrar", [this] { CmdBorrar_Click(); });
    cmdGrid = boton("cmdGrid", [this] { cmdGrid_Click(); });
    cmdQuitarFiltro = boton("cmdQuitarFiltro", [this] { QuitarFiltro(); });
    cmdCsv = boton("cmdCsv", [this] { ElegirYExportar(false); });
    cmdExcel = boton("cmdExcel", [this] { ElegirYExportar(true); });

    LblFiltro = new QLabel(this);
    LblFiltro->setObjectName(QStringLiteral("LblFiltro"));
    LblFiltro->setWordWrap(true);
    PrgExportar = new QProgressBar(this);
    PrgExportar->setObjectName(QStringLiteral("PrgExportar"));
    PrgExportar->hide();

    auto* botones = new QHBoxLayout;
    for (QPushButton* b : {CmdBorrar, cmdGrid, cmdQuitarFiltro, cmdCsv, cmdExcel}) {
        botones->addWidget(b);
    }
    botones->addStretch(1);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(rejilla);
    principal->addWidget(Data1);
    principal->addWidget(LblFiltro);
    principal->addWidget(PrgExportar);
    principal->addLayout(botones);

    PonerTextos();
    Cargar(VistaReporte{TablaDe(TablaLogica::Reporte), {}, QString()});
}

void frmReporte::PonerTextos() {
    CmdBorrar->setText(T("012002", "Borrar"));
    CmdBorrar->setToolTip(T("012003", "Borrar las pesadas almacenadas"));
    cmdGrid->setText(T("012004", "Cua&drícula"));
    cmdGrid->setToolTip(T("012005", "Tabla de pesadas"));
    cmdQuitarFiltro->setText(T("012025", "Quitar filtro"));
    cmdQuitarFiltro->setToolTip(T("012026", "Mostrar todas las pesadas"));
    cmdCsv->setText(T("012027", "Exportar CSV"));
    cmdCsv->setToolTip(T("012028", "Guardar las pesadas mostradas en un archivo CSV"));
    cmdExcel->setText(T("012029", "Exportar a Excel"));
    cmdExcel->setToolTip(T("012030", "Guardar las pesadas mostradas en un libro de Excel"));
    PonerCaptionsCajas();
    PonerTextosVista();
}

// The code boxes carry the names of the code table when it has them; the rest their own captions.
void frmReporte::PonerCaptionsCajas() {
    for (int i = 0; i < kCajas; ++i) {
        const int n = i - kPrimeraCajaCodigo;
        Lbl_Campo[i]->setText(n >= 0 && n < nombresCodigos_.size() ? nombresCodigos_.at(n) + u':'
                                                                   : CaptionDisenada(i));
    }
}

// The texts that follow the view: the filter, the title and the position.
void frmReporte::PonerTextosVista() {
    QString descripcion;
    for (const Filtro& f : vista_.filtros) descripcion += f.campo + f.descripcion;
    LblFiltro->setText(descripcion.isEmpty() ? QString()
                                             : Frase({T("012031", "Filtro:"), descripcion}));
    setWindowTitle(descripcion.isEmpty()
                       ? T("012001", "Reporte")
                       : T("012001", "Reporte") + QStringLiteral(" - ") + descripcion);
    Data1->setCaption(Frase(
        {T("012024", "Pesada:"), QString::number(posicion_) + u'/' + QString::number(cantidad_)}));
}

void frmReporte::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

frmReporte::~frmReporte() {
    if (trabajo_) trabajo_->esperar();
}

void frmReporte::ConstruirCajas(QGridLayout* rejilla) {
    const QFont fija = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int i = 0; i < kCajas; ++i) {
        Lbl_Campo[i] = new QLabel(this);
        Lbl_Campo[i]->setObjectName(QStringLiteral("Lbl_Campo_%1").arg(i));
        Lbl_Campo[i]->installEventFilter(this);
        txt_Dato[i] = new QLineEdit(this);
        txt_Dato[i]->setObjectName(QStringLiteral("txt_Dato_%1").arg(i));
        txt_Dato[i]->setReadOnly(true);  // the report never edits a weighing
        txt_Dato[i]->setFont(fija);
        QPalette paleta = txt_Dato[i]->palette();
        paleta.setColor(QPalette::Base, paleta.color(QPalette::Window));
        txt_Dato[i]->setPalette(paleta);
        txt_Dato[i]->installEventFilter(this);
        rejilla->addWidget(Lbl_Campo[i], i, 0);
        rejilla->addWidget(txt_Dato[i], i, 1);
    }
    // A caption never touches its box, whatever the font size.
    rejilla->setHorizontalSpacing(fontMetrics().averageCharWidth());
    rejilla->setColumnStretch(1, 1);
}

bool frmReporte::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < kCajas; ++i) {
            if (objeto == Lbl_Campo[i]) {
                Ordenar(i);
                return true;
            }
            if (objeto == txt_Dato[i]) {
                Filtrar(i);
                return true;
            }
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmReporte::Cargar(const VistaReporte& vista) {
    vista_ = vista;
    QString error;
    abierta_ = consulta_.Abrir(vista_, &error);
    cantidad_ = abierta_ ? consulta_.Cantidad() : 0;
    posicion_ = cantidad_ > 0 ? 1 : 0;
    if (!abierta_) {
        const MensajeBase m = MensajeBaseDatos(VentanaDatos::Reporte);
        interaccion_->Avisar(m.texto, m.titulo, Icono::Exclamacion);
    } else if (cantidad_ > 0) {
        CargarNombresCodigos();
    }
    cmdQuitarFiltro->setEnabled(!vista_.filtros.isEmpty());
    Mostrar();
}

void frmReporte::CargarNombresCodigos() {
    nombresCodigos_ = NombresCodigos(TablaDe(TablaLogica::PLU_SETUP));
    PonerCaptionsCajas();
    for (int i = kPrimeraCajaCodigo + kCodigosVisibles; i < kCajas; ++i) {
        Lbl_Campo[i]->hide();
        txt_Dato[i]->hide();
    }
}

void frmReporte::IrA(qint64 posicion) {
    if (cantidad_ == 0) return;
    posicion_ = qBound<qint64>(1, posicion, cantidad_);
    Mostrar();
}

void frmReporte::Mostrar() {
    const QVariantList fila = posicion_ > 0 ? consulta_.Fila(posicion_) : QVariantList();
    const QStringList columnas = consulta_.Columnas();
    for (int i = 0; i < kCajas; ++i) {
        const qsizetype k = columnas.indexOf(ColumnasReporte().at(i));
        txt_Dato[i]->setText(k >= 0 && k < fila.size() ? fila.at(k).toString() : QString());
        txt_Dato[i]->setCursorPosition(0);
    }
    PonerTextosVista();
}

void frmReporte::Ordenar(int caja) {
    if (TrabajoEnCurso()) return;
    Cargar(VistaReporte{vista_.tabla, {}, ColumnasReporte().at(caja)});
}

void frmReporte::Filtrar(int caja) {
    if (TrabajoEnCurso() || !abierta_) return;
    const QString campo = ColumnasReporte().at(caja);
    const Filtro filtro = pedirFiltro_(campo, consulta_.TipoFiltroDe(campo));
    if (!filtro.aceptado) return;  // a cancelled window leaves the view as it was
    Cargar(VistaReporte{vista_.tabla, {filtro}, campo});
}

void frmReporte::QuitarFiltro() {
    Cargar(VistaReporte{vista_.tabla, {}, QString()});
}

void frmReporte::CmdBorrar_Click() {
    if (TrabajoEnCurso()) return;
    if (!interaccion_->Preguntar(T("012021", "Desea borrar las pesadas almacenadas?"),
                                 T("012022", "Atencion"), Icono::Informacion))
        return;
    const TablaDatos tabla = vista_.tabla;
    auto error = std::make_shared<QString>();
    auto ok = std::make_shared<bool>(false);
    Ocupado(true);
    trabajo_ = EjecutarTrabajo(
        this, [tabla, error, ok](Interaccion&) { *ok = BorrarPesadas(tabla, error.get()); },
        [this, error, ok] {
            Ocupado(false);
            if (!*ok) {
                interaccion_->Avisar(
                    Frase({T("012032", "No se pudieron borrar las pesadas:"), *error}),
                    T("012022", "Atencion"), Icono::Error);
            }
            Cargar(VistaReporte{vista_.tabla, {}, QString()});
        },
        interaccionPropia_ ? nullptr : interaccion_);
}

void frmReporte::cmdGrid_Click() {
    if (!abierta_) return;
    auto* grilla = new FrmDataGrid(this);
    grilla->setAttribute(Qt::WA_DeleteOnClose);
    grilla->setWindowTitle(T("012023", "Tabla de Pesadas"));
    grilla->Abrir(vista_.tabla.conexion, consulta_.Sql(false), consulta_.Valores(),
                  int(qMax<qint64>(1, posicion_)));
    grilla->show();
}

void frmReporte::ElegirYExportar(bool libro) {
    const QString ruta = QFileDialog::getSaveFileName(
        this, libro ? cmdExcel->text() : cmdCsv->text(), QString(),
        libro ? QStringLiteral("Excel (*.xlsx)") : QStringLiteral("CSV (*.csv)"));
    if (!ruta.isEmpty()) Exportar(ruta, libro);
}

void frmReporte::Exportar(const QString& ruta, bool libro) {
    if (TrabajoEnCurso() || !abierta_) return;
    const VistaReporte vista = vista_;
    auto error = std::make_shared<QString>();
    auto ok = std::make_shared<bool>(false);
    QPointer<QProgressBar> barra = PrgExportar;
    barra->setRange(0, 1000);
    barra->setValue(0);
    barra->show();
    Ocupado(true);
    const auto progreso = [barra](qint64 hechas, qint64 total) {
        const int valor = total > 0 ? int(hechas * 1000 / total) : 1000;
        QMetaObject::invokeMethod(
            barra,
            [barra, valor] {
                if (barra) barra->setValue(valor);
            },
            Qt::QueuedConnection);
    };
    trabajo_ = EjecutarTrabajo(
        this,
        [vista, ruta, libro, error, ok, progreso](Interaccion&) {
            *ok = libro ? ExportarLibro(vista, ruta, progreso, error.get())
                        : ExportarCsv(vista, ruta, progreso, error.get());
        },
        [this, ruta, error, ok] {
            Ocupado(false);
            PrgExportar->hide();
            if (*ok) {
                interaccion_->Avisar(Frase({T("012033", "Pesadas exportadas a"), ruta}),
                                     T("012001", "Reporte"), Icono::Informacion);
            } else {
                interaccion_->Avisar(Frase({T("012034", "No se pudo exportar:"), *error}),
                                     T("012001", "Reporte"), Icono::Error);
            }
        },
        interaccionPropia_ ? nullptr : interaccion_);
}

bool frmReporte::TrabajoEnCurso() const {
    return trabajo_ && trabajo_->enCurso();
}

void frmReporte::Ocupado(bool ocupado) {
    for (QWidget* w : std::initializer_list<QWidget*>{CmdBorrar, cmdGrid, cmdQuitarFiltro, cmdCsv,
                                                      cmdExcel, Data1}) {
        w->setEnabled(!ocupado);
    }
    if (!ocupado) cmdQuitarFiltro->setEnabled(!vista_.filtros.isEmpty());
}

void frmReporte::closeEvent(QCloseEvent* evento) {
    // A job may be waiting for a box over this window.
    if (TrabajoEnCurso()) {
        evento->ignore();
        return;
    }
    evento->accept();
}
