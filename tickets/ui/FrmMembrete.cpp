#include "tickets/ui/FrmMembrete.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Trabajo.h"
#include "link/ui/EnlacePrograma.h"
#include "settings/Idioma.h"
#include "tickets/Membrete.h"
#include "tickets/ui/FrmTicket.h"
#include "tickets/ui/VistaImpresa.h"

namespace {

constexpr int kAnchoMinimoEditor = 640;
constexpr int kColumnasVisibles = 40;  // the title boxes show this much text at least

QString Nombre(const char* base, int indice) {
    return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(indice);
}

}  // namespace

frmMembrete::frmMembrete(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QWidget(padre, Qt::Window),
      enlace_(enlace ? enlace : &EnlaceDelPrograma()),
      interaccionPrueba_(interaccion),
      interaccion_(interaccion),
      tickets_(TablaDe(TablaLogica::Ticket)) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    setObjectName(QStringLiteral("frmMembrete"));
    CrearControles();
    PonerTextos();
    Cargar();
}

frmMembrete::~frmMembrete() {
    esperarTrabajo();
}

void frmMembrete::PonerTextos() {
    setWindowTitle(T("006001", "Formato del Ticket"));
    Frame1->setTitle(T("006003", "Doble Ancho"));
    for (int i = 0; i < 2; ++i)
        ChkNegrita[i]->setText(T("006005", "Linea") + QStringLiteral(" %1").arg(i + 1));
    Frame3->setTitle(T("006004", "Ticket a imprimir"));
    for (int n = 1; n <= 5; ++n)
        Option1[n]->setText(T("006006", "Ticket") + QStringLiteral(" %1").arg(n));
    FrmCamposAux->setTitle(T("006002", "Utilizar editor de tickets"));
    cmdEditar->setText(T("006008", "&Editar"));
    cmdEditar->setToolTip(T("006009", "Habilita la modificación del ticket"));
    CmdGuardar->setText(T("006012", "&Guardar"));
    CmdGuardar->setToolTip(T("006013", "Guarda los cambios realizados"));
    cmdCargarSetup->setText(T("006010", "&Cargar"));
    cmdCargarSetup->setToolTip(T("006011", "Transferir el ticket al Indicador"));
    FraFormulario->setTitle(T("006007", "Utilizar formulario"));
    CmdFormulario->setText(T("006014", "&Formulario"));
    CmdFormulario->setToolTip(T("006015", "Cargar Formulario de Ticket al Indicador"));
}

void frmMembrete::FuenteTitulo(int linea) {
    const QFont normal = FuenteFija(font());
    QFont f = normal;
    if (ChkNegrita[linea]->isChecked()) f.setPointSizeF(2 * normal.pointSizeF());
    txtTexto[linea]->setFont(f);
    txtTexto[linea]->setMinimumWidth(
        QFontMetrics(normal).horizontalAdvance(QString(kColumnasVisibles, u'0')));
}

void frmMembrete::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    if (evento->type() == QEvent::FontChange) {
        for (int i = 0; i < 2; ++i) FuenteTitulo(i);
    }
    QWidget::changeEvent(evento);
}

void frmMembrete::CrearControles() {
    FrmImpresora = new QGroupBox(QStringLiteral("Tipo de Impresora"), this);
    FrmImpresora->setObjectName(QStringLiteral("FrmImpresora"));
    auto* impresoras = new QVBoxLayout(FrmImpresora);
    for (int k = 0; k < kTiposImpresora; ++k) {
        OptImpre[k] = new QRadioButton(NombreImpresora(k), FrmImpresora);
        OptImpre[k]->setObjectName(Nombre("OptImpre", k));
        impresoras->addWidget(OptImpre[k]);
        connect(OptImpre[k], &QRadioButton::toggled, this, [this, k](bool activo) {
            if (activo && !cargando_) SeleccionarImpresora(k);
        });
    }

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* titulos = new QGridLayout(Frame1);
    for (int i = 0; i < 2; ++i) {
        ChkNegrita[i] = new QCheckBox(Frame1);
        ChkNegrita[i]->setObjectName(Nombre("ChkNegrita", i));
        txtTexto[i] = new QLineEdit(Frame1);
        txtTexto[i]->setObjectName(Nombre("txtTexto", i));
        FuenteTitulo(i);
        titulos->addWidget(ChkNegrita[i], i, 0);
        titulos->addWidget(txtTexto[i], i, 1);
        connect(ChkNegrita[i], &QCheckBox::toggled, this, [this, i] { CambioNegrita(i); });
        connect(txtTexto[i], &QLineEdit::textChanged, this, &frmMembrete::ActualizarVista);
    }
    titulos->setColumnStretch(1, 1);

    Frame3 = new QGroupBox(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* modelos = new QHBoxLayout(Frame3);
    for (int n = 1; n <= 5; ++n) {
        Option1[n] = new QRadioButton(Frame3);
        Option1[n]->setObjectName(Nombre("Option1", n));
        modelos->addWidget(Option1[n]);
        connect(Option1[n], &QRadioButton::toggled, this, [this, n](bool activo) {
            if (activo) SeleccionarModelo(n);
        });
    }

    FrmCamposAux = new QGroupBox(this);
    FrmCamposAux->setObjectName(QStringLiteral("FrmCamposAux"));
    const auto boton = [](QWidget* padre, const char* nombre) {
        auto* b = new QPushButton(padre);
        b->setObjectName(QString::fromLatin1(nombre));
        return b;
    };
    cmdEditar = boton(FrmCamposAux, "cmdEditar");
    CmdGuardar = boton(FrmCamposAux, "CmdGuardar");
    cmdCargarSetup = boton(FrmCamposAux, "cmdCargarSetup");
    auto* editor = new QHBoxLayout(FrmCamposAux);
    editor->addWidget(cmdEditar);
    editor->addWidget(CmdGuardar);
    editor->addWidget(cmdCargarSetup);

    FraFormulario = new QGroupBox(this);
    FraFormulario->setObjectName(QStringLiteral("FraFormulario"));
    CmdFormulario = boton(FraFormulario, "CmdFormulario");
    (new QHBoxLayout(FraFormulario))->addWidget(CmdFormulario);

    picVista = new VistaImpresa(this);

    connect(cmdEditar, &QPushButton::clicked, this, &frmMembrete::cmdEditar_Click);
    connect(CmdGuardar, &QPushButton::clicked, this, &frmMembrete::CmdGuardar_Click);
    connect(cmdCargarSetup, &QPushButton::clicked, this, &frmMembrete::cmdCargarSetup_Click);
    connect(CmdFormulario, &QPushButton::clicked, this, &frmMembrete::CmdFormulario_Click);

    auto* izquierda = new QVBoxLayout;
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(FrmImpresora);
    arriba->addWidget(Frame1, 1);
    izquierda->addLayout(arriba);
    izquierda->addWidget(Frame3);
    auto* comandos = new QHBoxLayout;
    comandos->addWidget(FrmCamposAux, 1);
    comandos->addWidget(FraFormulario);
    izquierda->addLayout(comandos);
    izquierda->addStretch(1);
    auto* principal = new QHBoxLayout(this);
    principal->addLayout(izquierda, 1);
    principal->addWidget(picVista, 0, Qt::AlignTop);
}

void frmMembrete::Cargar() {
    std::array<QString, 2> titulos;
    QString error;
    if (!LeerTitulos(TablaModelo(tickets_, 1), &titulos, &error)) {
        qWarning("ticket tables not attached: %s", qPrintable(error));
        interaccion_->Avisar(T("006016", "No se encuentra datos.mdb."), T("006017", "Error"),
                             Icono::Error);
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    if (!LeerUltimaPesada(TablaDe(TablaLogica::Reporte), &muestra_)) muestra_ = MuestraPorDefecto();
    const AjustesMembrete a = LeerAjustesMembrete();
    cargando_ = true;
    OptImpre[a.TipoImpre]->setChecked(true);
    cargando_ = false;
    SeleccionarImpresora(a.TipoImpre);
    ChkNegrita[0]->setChecked(a.L1N);
    ChkNegrita[1]->setChecked(a.L2N);
    if (Option1[a.ModTicket]->isChecked())
        SeleccionarModelo(a.ModTicket);
    else
        Option1[a.ModTicket]->setChecked(true);
}

void frmMembrete::SeleccionarImpresora(int tipo) {
    const bool etiquetas = EsImpresoraEtiquetas(tipo);
    anchoLinea_ = AnchoLinea(tipo);
    for (int n = 1; n <= 4; ++n) Option1[n]->setEnabled(!etiquetas);
    Option1[5]->setEnabled(etiquetas);
    for (int i = 0; i < 2; ++i) {
        // Cleared first, so that the titles of the forced layout load at the full line width.
        const bool estaba = ChkNegrita[i]->isChecked();
        ChkNegrita[i]->setChecked(false);
        if (!estaba) CambioNegrita(i);
    }
    const int modelo = ModeloPorDefecto(tipo);
    if (Option1[modelo]->isChecked())
        SeleccionarModelo(modelo);
    else
        Option1[modelo]->setChecked(true);
    for (QLineEdit* t : txtTexto) t->setText(t->text().left(anchoLinea_));
    ActualizarVista();
}

void frmMembrete::CambioNegrita(int linea) {
    const bool doble = ChkNegrita[linea]->isChecked();
    const int largo = doble ? anchoLinea_ / 2 : anchoLinea_;
    txtTexto[linea]->setText(txtTexto[linea]->text().left(largo));
    txtTexto[linea]->setMaxLength(largo);
    FuenteTitulo(linea);
    ActualizarVista();
}

void frmMembrete::SeleccionarModelo(int modelo) {
    std::array<QString, 2> titulos;
    QString error;
    if (!LeerTitulos(TablaModelo(tickets_, modelo), &titulos, &error)) {
        interaccion_->Avisar(error, T("006017", "Error"), Icono::Error);
    } else {
        for (int i = 0; i < 2; ++i) txtTexto[i]->setText(titulos[i].left(kLargoTitulo));
    }
    LeerDisenoVista(modelo);
}

void frmMembrete::LeerDisenoVista(int modelo) {
    QString error;
    disenoValido_ = LeerDisenoTicket(TablaModelo(tickets_, modelo), &diseno_, &error);
    ActualizarVista();
}

int frmMembrete::TipoSeleccionado() const {
    for (int k = 0; k < kTiposImpresora; ++k) {
        if (OptImpre[k]->isChecked()) return k;
    }
    return 0;
}

int frmMembrete::ModeloSeleccionado() const {
    for (int n = 1; n <= 5; ++n) {
        if (Option1[n]->isChecked()) return n;
    }
    return 1;
}

AjustesMembrete frmMembrete::Ajustes() const {
    AjustesMembrete a = LeerAjustesMembrete();  // BarCode
    a.TipoImpre = TipoSeleccionado();
    a.L1N = ChkNegrita[0]->isChecked();
    a.L2N = ChkNegrita[1]->isChecked();
    a.ModTicket = ModeloSeleccionado();
    return a;
}

std::array<QString, 2> frmMembrete::Titulos() const {
    return {txtTexto[0]->text(), txtTexto[1]->text()};
}

void frmMembrete::ActualizarVista() {
    if (!disenoValido_) {
        picVista->Mostrar({}, anchoLinea_);
        return;
    }
    DisenoTicket d = diseno_;
    d[0].CAPTION = txtTexto[0]->text();
    d[1].CAPTION = txtTexto[1]->text();
    picVista->Mostrar(VistaTicket(d, Ajustes(), muestra_), anchoLinea_);
}

void frmMembrete::CmdGuardar_Click() {
    GuardarMembrete(*interaccion_, tickets_, Ajustes(), Titulos());
}

void frmMembrete::cmdEditar_Click() {
    const QScreen* pantalla = screen();
    if (!pantalla || pantalla->availableGeometry().width() <= kAnchoMinimoEditor) {
        interaccion_->Avisar(QStringLiteral("Resolución menor a 800x600"),
                             QStringLiteral("Atencion"), Icono::Error);
        return;
    }
    auto* editor = new frmTicket(this, interaccionPrueba_);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::WindowModal);
    editor->FijarModelo(ModeloSeleccionado());
    // The editor may have changed the titles and the layout shown here.
    connect(editor, &frmTicket::cerrada, this, [this] { SeleccionarModelo(ModeloSeleccionado()); });
    editor->show();
}

void frmMembrete::cmdCargarSetup_Click() {
    Ejecutar([enlace = enlace_, tickets = tickets_, a = Ajustes(), t = Titulos()](Interaccion& op) {
        CargarTicket(*enlace, op, tickets, a, t);
    });
}

void frmMembrete::CmdFormulario_Click() {
    Ejecutar([enlace = enlace_](Interaccion& op) { ::CmdFormulario(*enlace, op); });
}

void frmMembrete::Ejecutar(std::function<void(Interaccion&)> procedimiento) {
    if (ocupada()) return;
    const QList<QWidget*> comandos{FrmImpresora, Frame1, Frame3, FrmCamposAux, FraFormulario};
    for (QWidget* w : comandos) w->setEnabled(false);
    enCurso_ = true;
    trabajo_ = EjecutarTrabajo(
        this, std::move(procedimiento),
        [this, comandos] {
            enCurso_ = false;
            for (QWidget* w : comandos) w->setEnabled(true);
            LeerDisenoVista(ModeloSeleccionado());
        },
        interaccionPrueba_);
}

bool frmMembrete::ocupada() const {
    return enCurso_;
}

void frmMembrete::esperarTrabajo() {
    if (trabajo_) trabajo_->esperar();
}

void frmMembrete::closeEvent(QCloseEvent* evento) {
    if (ocupada()) {
        evento->ignore();
        return;
    }
    evento->accept();
    Q_EMIT cerrada();
}
