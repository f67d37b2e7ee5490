#include "products/ui/FrmPLU.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSqlDatabase>
#include <QTabWidget>
#include <QTime>
#include <QVBoxLayout>

#include "app/ui/Impresion.h"
#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Medidas.h"
#include "app/ui/Trabajo.h"
#include "base/Interaccion.h"
#include "data/Conexion.h"
#include "link/ui/EnlacePrograma.h"
#include "products/IntercambioCSV.h"
#include "products/ListadoPLU.h"
#include "products/TablaProductos.h"
#include "products/TransferenciaPLU.h"
#include "reports/ui/FrmDataGrid.h"
#include "settings/Fechas.h"
#include "settings/Idioma.h"

namespace {

const QColor kAmarilloClaro(0xFF, 0xFF, 0xC0);  // the platform's colour number C0FFFF

QPushButton* Boton(QWidget* padre, const char* nombre) {
    auto* b = new QPushButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    return b;
}

void Textos(QPushButton* b, const QString& texto, const QString& tip) {
    b->setText(texto);
    b->setToolTip(tip);
}

// A button whose caption changes with the state keeps the width of its widest caption, so the
// window does not grow when it changes.
void ReservarAncho(QPushButton* b, const QStringList& textos) {
    const QString actual = b->text();
    int ancho = 0;
    for (const QString& t : textos) {
        b->setText(t);
        ancho = qMax(ancho, b->sizeHint().width());
    }
    b->setText(actual);
    b->setMinimumWidth(ancho);
}

QString Indice(const char* nombre, int i) {
    return QStringLiteral("%1_%2").arg(QLatin1String(nombre)).arg(i);
}

}  // namespace

frmPLU::frmPLU(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QWidget(padre, Qt::Window),
      enlace_(enlace ? enlace : &EnlaceDelPrograma()),
      interaccion_(interaccion),
      interaccionTrabajo_(interaccion),
      plu_(TablaDe(TablaLogica::PLU)),
      setup_(TablaDe(TablaLogica::PLU_SETUP)) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    setObjectName(QStringLiteral("frmPLU"));
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* datos = new QWidget;
    auto* opciones = new QWidget;
    SSTab1->addTab(datos, QString());
    SSTab1->addTab(opciones, QString());
    ConstruirDatos(datos);
    ConstruirOpciones(opciones);
    PonerTextos();
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(SSTab1);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int activa) {
        for (int i = 0; i < SSTab1->count(); ++i) SSTab1->widget(i)->setEnabled(i == activa);
    });
    opciones->setEnabled(false);

    cargada_ = Cargar();
    if (!cargada_) {
        interaccion_->Avisar(T("010060", "No se encuentra datos.mdb."), T("010043", "Error"),
                             Icono::Error);
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

frmPLU::~frmPLU() {
    esperarTrabajo();
}

void frmPLU::ConstruirDatos(QWidget* panel) {
    Cmb_Grupo = new QComboBox(panel);
    Cmb_Grupo->setObjectName(QStringLiteral("Cmb_Grupo"));
    Cmb_Grupo->setEditable(false);  // typing into it is refused
    Lbl_Grupo = new QLabel(panel);
    Lbl_Grupo->setObjectName(QStringLiteral("Lbl_Grupo"));

    const int largos[4] = {6, 1, LargoNombre, LargoEAN};
    auto* campos = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        Lbl_Campo[i] = new QLabel(panel);
        Lbl_Campo[i]->setObjectName(Indice("Lbl_Campo", i));
        Lbl_Campo[i]->installEventFilter(this);
        txt_Dato[i] = new QLineEdit(panel);
        txt_Dato[i]->setObjectName(Indice("txt_Dato", i));
        txt_Dato[i]->setMaxLength(largos[i]);
        txt_Dato[i]->installEventFilter(this);
        campos->addWidget(Lbl_Campo[i], i, 0);
        campos->addWidget(txt_Dato[i], i, 1);
    }
    // The group box is filled from the selector; it is shown but not edited.
    Lbl_Campo[1]->hide();
    txt_Dato[1]->hide();
    txt_Dato[0]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));

    Data1 = new ControlDatos(panel);
    Data1->setObjectName(QStringLiteral("Data1"));
    connect(Data1, &ControlDatos::Primero, this, [this] { MoverA(0); });
    connect(Data1, &ControlDatos::Anterior, this, [this] { MoverA(qMax(posicion_ - 1, 0)); });
    connect(Data1, &ControlDatos::Siguiente, this,
            [this] { MoverA(qMin(posicion_ + 1, int(filas_.size()) - 1)); });
    connect(Data1, &ControlDatos::Ultimo, this, [this] { MoverA(int(filas_.size()) - 1); });

    cmdAgregar = Boton(panel, "cmdAgregar");
    cmdDelete = Boton(panel, "cmdDelete");
    cmdImprimir = Boton(panel, "cmdImprimir");
    cmdGrid = Boton(panel, "cmdGrid");
    CmdCargarPLU = Boton(panel, "CmdCargarPLU");
    cmd_ImprimirCB = Boton(panel, "cmd_ImprimirCB");
    CmdRecuperarPLU = Boton(panel, "CmdRecuperarPLU");
    cmdComparar = Boton(panel, "cmdComparar");
    cmdImportar = Boton(panel, "cmdImportar");
    cmdExportar = Boton(panel, "cmdExportar");

    auto* grupo = new QHBoxLayout;
    grupo->addWidget(Lbl_Grupo);
    grupo->addWidget(Cmb_Grupo, 1);
    auto* edicion = new QHBoxLayout;
    for (QPushButton* b : {cmdAgregar, cmdDelete, cmdImprimir, cmdGrid}) edicion->addWidget(b);
    auto* indicador = new QHBoxLayout;
    for (QPushButton* b : {CmdCargarPLU, CmdRecuperarPLU, cmdComparar, cmd_ImprimirCB})
        indicador->addWidget(b);
    auto* archivos = new QHBoxLayout;
    archivos->addWidget(cmdImportar);
    archivos->addWidget(cmdExportar);
    archivos->addStretch(1);
    auto* columna = new QVBoxLayout(panel);
    columna->addLayout(grupo);
    columna->addLayout(campos);
    columna->addWidget(Data1);
    columna->addLayout(edicion);
    columna->addLayout(indicador);
    columna->addLayout(archivos);
    columna->addStretch(1);

    connect(Cmb_Grupo, &QComboBox::currentIndexChanged, this, &frmPLU::CambiarGrupo);
    connect(cmdAgregar, &QPushButton::clicked, this, &frmPLU::cmdAgregar_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmPLU::cmdDelete_Click);
    connect(cmdImprimir, &QPushButton::clicked, this, &frmPLU::cmdImprimir_Click);
    connect(cmdGrid, &QPushButton::clicked, this, &frmPLU::cmdGrid_Click);
    connect(cmd_ImprimirCB, &QPushButton::clicked, this, &frmPLU::cmd_ImprimirCB_Click);
    connect(CmdCargarPLU, &QPushButton::clicked, this, &frmPLU::CmdCargarPLU_Click);
    connect(CmdRecuperarPLU, &QPushButton::clicked, this, &frmPLU::CmdRecuperarPLU_Click);
    connect(cmdComparar, &QPushButton::clicked, this, &frmPLU::cmdComparar_Click);
    connect(cmdImportar, &QPushButton::clicked, this, &frmPLU::cmdImportar_Click);
    connect(cmdExportar, &QPushButton::clicked, this, &frmPLU::cmdExportar_Click);
}

void frmPLU::ConstruirOpciones(QWidget* panel) {
    auto* grilla = new QGridLayout;
    for (int c = 0; c < 5; ++c) {
        cabezasOpciones_[c] = new QLabel(panel);
        // The check box columns are centred under their heads.
        grilla->addWidget(cabezasOpciones_[c], 0, c + 1, c < 2 ? Qt::Alignment() : Qt::AlignCenter);
    }
    for (int k = 0; k < CantidadGrupos; ++k) {
        filasOpciones_[k] = new QLabel(panel);
        grilla->addWidget(filasOpciones_[k], k + 1, 0);
        TxtAuxNombre[k] = new QLineEdit(panel);
        TxtAuxNombre[k]->setObjectName(Indice("TxtAuxNombre", k));
        TxtAuxNombre[k]->setMaxLength(LargoNombreGrupo);
        TxtAuxValor[k] = new QLineEdit(panel);
        TxtAuxValor[k]->setObjectName(Indice("TxtAuxValor", k));
        TxtAuxValor[k]->setMaxLength(1);
        ChkAlfa[k] = new QCheckBox(panel);
        ChkAlfa[k]->setObjectName(Indice("ChkAlfa", k));
        ChkTexto[k] = new QCheckBox(panel);
        ChkTexto[k]->setObjectName(Indice("ChkTexto", k));
        ChkCuit[k] = new QCheckBox(panel);
        ChkCuit[k]->setObjectName(Indice("ChkCuit", k));
        ChkCuit[k]->setEnabled(false);
        grilla->addWidget(TxtAuxNombre[k], k + 1, 1);
        grilla->addWidget(TxtAuxValor[k], k + 1, 2);
        grilla->addWidget(ChkAlfa[k], k + 1, 3, Qt::AlignCenter);
        grilla->addWidget(ChkTexto[k], k + 1, 4, Qt::AlignCenter);
        grilla->addWidget(ChkCuit[k], k + 1, 5, Qt::AlignCenter);
        connect(ChkAlfa[k], &QCheckBox::toggled, this, [this, k] { Interlocks(k, ChkAlfa[k]); });
        connect(ChkTexto[k], &QCheckBox::toggled, this, [this, k] { Interlocks(k, ChkTexto[k]); });
    }
    grilla->setColumnStretch(1, 1);
    grilla->setHorizontalSpacing(2 * grilla->spacing());
    cmdCargarSetup = Boton(panel, "cmdCargarSetup");
    connect(cmdCargarSetup, &QPushButton::clicked, this, &frmPLU::cmdCargarSetup_Click);
    auto* columna = new QVBoxLayout(panel);
    columna->addLayout(grilla);
    auto* abajo = new QHBoxLayout;
    abajo->addStretch(1);
    abajo->addWidget(cmdCargarSetup);
    columna->addLayout(abajo);
    columna->addStretch(1);
}

void frmPLU::PonerTextos() {
    setWindowTitle(T("010001", "Codigos"));
    SSTab1->setTabText(0, T("010002", "Datos"));
    SSTab1->setTabText(1, T("010003", "Opciones"));
    Lbl_Grupo->setText(T("010004", "Grupo:"));
    Lbl_Campo[0]->setText(T("010005", "Codigo:"));
    Lbl_Campo[1]->setText(QStringLiteral("Grupo:"));
    Lbl_Campo[2]->setText(T("010006", "Nombre:"));
    Lbl_Campo[3]->setText(T("010007", "CUIT/EAN:"));
    txt_Dato[0]->setToolTip(T("010037", "doble clic para modificar"));

    const QString agregar = T("010008", "Ag&regar"), actualizar = T("010038", "Actualizar");
    Textos(cmdAgregar, agregando_ ? actualizar : agregar, T("010012", "Agregar un codigo"));
    ReservarAncho(cmdAgregar, {agregar, actualizar});
    Textos(cmdDelete, T("010009", "E&liminar"), T("010013", "Eliminar un codigo"));
    Textos(cmdImprimir, T("010010", "Imprimir"), T("010014", "Imprimir lista de codigos"));
    Textos(cmdGrid, T("010011", "Cua&drícula"), T("010015", "Tabla de codigos"));
    Textos(CmdCargarPLU, T("010016", "&Cargar"), T("010019", "Cargar los codigos en el indicador"));
    Textos(cmd_ImprimirCB, T("010017", "Imprimir"), T("010020", "Imprimir"));
    Textos(CmdRecuperarPLU, T("010018", "Recuperar"),
           T("010021", "Recuperar los codigos desde el indicador"));
    Textos(cmdComparar, T("010070", "Comparar"),
           T("010071", "Comparar los codigos con los del indicador"));
    Textos(cmdImportar, T("010075", "Importar"),
           T("010076", "Importar codigos desde un archivo CSV"));
    Textos(cmdExportar, T("010077", "Exportar"),
           T("010078", "Exportar los codigos a un archivo CSV"));
    MostrarPosicion();

    const QString cabezas[5] = {T("010030", "Nombre"), T("010031", "Letra"),
                                T("010032", "Alfanumerico"), T("010033", "Texto"),
                                T("010034", "CUIT")};
    for (int c = 0; c < 5; ++c) cabezasOpciones_[c]->setText(cabezas[c]);
    static const char* const filas[CantidadGrupos][2] = {
        {"010022", "Cod 1"}, {"010023", "Cod 2"}, {"010024", "Cod 3"}, {"010025", "Cod 4"},
        {"010026", "Cod 5"}, {"010027", "Cod 6"}, {"010028", "Cod 7"}, {"010029", "Cod 8"}};
    for (int k = 0; k < CantidadGrupos; ++k)
        filasOpciones_[k]->setText(T(filas[k][0], filas[k][1]));
    Textos(cmdCargarSetup, T("010035", "&Cargar"),
           T("010036", "Cargar la configuracion en el indicador"));
    AnchosMinimos();
}

// The boxes hold their longest value at any font size.
void frmPLU::AnchosMinimos() {
    for (int k = 0; k < CantidadGrupos; ++k) {
        TxtAuxNombre[k]->setMinimumWidth(AnchoCaracteres(TxtAuxNombre[k], LargoNombreGrupo));
        TxtAuxValor[k]->setMaximumWidth(AnchoCaracteres(TxtAuxValor[k], 2));
    }
}

void frmPLU::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange || evento->type() == QEvent::FontChange)
        PonerTextos();
    QWidget::changeEvent(evento);
}

// Alphanumeric and text exclude each other; only an alphanumeric group has a tax number.
void frmPLU::Interlocks(int k, QCheckBox* origen) {
    const QSignalBlocker a(ChkAlfa[k]), t(ChkTexto[k]);
    if (origen == ChkAlfa[k] && ChkAlfa[k]->isChecked()) ChkTexto[k]->setChecked(false);
    if (origen == ChkTexto[k] && ChkTexto[k]->isChecked()) ChkAlfa[k]->setChecked(false);
    ChkTexto[k]->setEnabled(!ChkAlfa[k]->isChecked());
    ChkAlfa[k]->setEnabled(!ChkTexto[k]->isChecked());
    ChkCuit[k]->setEnabled(ChkAlfa[k]->isChecked());
}

bool frmPLU::Cargar() {
    QString motivo;
    if (!ConexionPara(plu_.conexion, &motivo).isValid()) return false;
    const int cantidad = ContarProductos(plu_, &motivo);
    if (cantidad < 0) return false;
    const OpcionesCampos o = ::Llena_Opciones(setup_);
    if (!o.leido) return false;
    Llena_Opciones();
    CantCodigos_ = cantidad;
    if (Cmb_Grupo->count() > 0) {
        Cmb_Grupo->setCurrentIndex(0);
        CambiarGrupo(0);
    }
    return true;
}

void frmPLU::Llena_Opciones() {
    const OpcionesCampos o = ::Llena_Opciones(setup_);
    const QSignalBlocker bloqueo(Cmb_Grupo);
    Cmb_Grupo->clear();
    for (int k = 0; k < o.filas; ++k) {
        TxtAuxNombre[k]->setText(o.Nombre[k]);
        TxtAuxValor[k]->setText(o.Letra[k]);
        ChkAlfa[k]->setChecked(o.Alfa[k]);
        ChkTexto[k]->setChecked(o.Texto[k]);
        ChkCuit[k]->setChecked(o.Cuit[k]);
        Interlocks(k, nullptr);
        Cmb_Grupo->addItem(o.Nombre[k]);
    }
}

OpcionesCampos frmPLU::OpcionesDeLaGrilla() const {
    OpcionesCampos o;
    for (int k = 0; k < CantidadGrupos; ++k) {
        o.Nombre[k] = TxtAuxNombre[k]->text();
        o.Letra[k] = TxtAuxValor[k]->text();
        o.Alfa[k] = ChkAlfa[k]->isChecked();
        o.Texto[k] = ChkTexto[k]->isChecked();
        o.Cuit[k] = ChkCuit[k]->isChecked();
    }
    o.filas = CantidadGrupos;
    o.leido = true;
    return o;
}

bool frmPLU::Guarda_Opciones() {
    QString motivo;
    if (!::Guarda_Opciones(setup_, OpcionesDeLaGrilla(), &motivo)) {
        ErrorBase(motivo);
        return false;
    }
    Llena_Opciones();
    Cmb_Grupo->setCurrentIndex(-1);
    Cmb_Grupo->setCurrentIndex(0);
    return true;
}

int frmPLU::GrupoElegido() const {
    return Cmb_Grupo->currentIndex() + 1;
}

void frmPLU::ErrorBase(const QString& motivo) {
    interaccion_->Avisar(
        T("010063", "No se pudo guardar en la base de datos:") + QLatin1Char(' ') + motivo,
        T("010043", "Error"), Icono::Error);
}

void frmPLU::CambiarGrupo(int posicion) {
    if (posicion < 0) return;
    GuardarEdicion();
    QString motivo;
    const auto filas = LeerProductos(plu_, posicion + 1, OrdenProductos::Codigo, &motivo);
    if (!filas) {
        ErrorBase(motivo);
        return;
    }
    Mostrar(*filas, 0);
}

void frmPLU::Mostrar(QList<Producto> filas, int posicion) {
    filas_ = std::move(filas);
    posicion_ = filas_.isEmpty() ? -1 : qBound(0, posicion, int(filas_.size()) - 1);
    RegistroMovido();
}

void frmPLU::MoverA(int posicion) {
    if (filas_.isEmpty() || agregando_) return;
    if (!GuardarEdicion()) return;
    posicion_ = qBound(0, posicion, int(filas_.size()) - 1);
    RegistroMovido();
}

void frmPLU::RegistroMovido() {
    const Producto p = posicion_ >= 0 ? filas_.at(posicion_) : Producto{};
    const bool hay = posicion_ >= 0;
    txt_Dato[0]->setText(hay ? QString::number(p.Codigo) : QString());
    txt_Dato[1]->setText(hay ? QString::number(p.Grupo) : QString());
    txt_Dato[2]->setText(p.Nombre);
    txt_Dato[3]->setText(p.EAN);
    MostrarPosicion();
    for (int i = 0; i < 4; ++i) Bloquear(i, true);
}

void frmPLU::MostrarPosicion() {
    Data1->setCaption(Frase({T("010058", "Código:"), QString::number(posicion_ + 1) + u'/' +
                                                         QString::number(filas_.size())}));
    Data1->setToolTip(
        Frase({T("010059", "Cantidad total de codigos:"), QString::number(CantCodigos_)}));
}

void frmPLU::Bloquear(int i, bool bloqueado) {
    txt_Dato[i]->setReadOnly(bloqueado);
    QPalette paleta = txt_Dato[i]->palette();
    paleta.setColor(QPalette::Base, bloqueado ? palette().color(QPalette::Base) : kAmarilloClaro);
    txt_Dato[i]->setPalette(paleta);
    txt_Dato[i]->setProperty("editando", !bloqueado);
}

Producto frmPLU::DeLasCajas() const {
    Producto p = posicion_ >= 0 ? filas_.at(posicion_) : Producto{};
    p.Codigo = txt_Dato[0]->text().toLongLong();
    p.Grupo = txt_Dato[1]->text().toInt();
    p.Nombre = txt_Dato[2]->text();
    p.EAN = txt_Dato[3]->text();
    return p;
}

// The binding: what was edited in the boxes goes into the current record before it changes.
bool frmPLU::GuardarEdicion() {
    if (agregando_ || posicion_ < 0 || txt_Dato[0]->text().isEmpty()) return true;
    const Producto antes = filas_.at(posicion_);
    const Producto despues = DeLasCajas();
    if (despues == antes) return true;
    QString motivo;
    if (!ModificarProducto(plu_, antes, despues, &motivo)) {
        ErrorBase(motivo);
        return false;
    }
    filas_[posicion_] = despues;
    return true;
}

bool frmPLU::eventFilter(QObject* objeto, QEvent* evento) {
    for (int i = 0; i < 4; ++i) {
        if (objeto == txt_Dato[i]) {
            if (evento->type() == QEvent::MouseButtonDblClick && posicion_ >= 0 && !agregando_)
                Bloquear(i, false);
            if (evento->type() == QEvent::FocusOut && !agregando_) Bloquear(i, true);
        }
        if (objeto == Lbl_Campo[i] && evento->type() == QEvent::MouseButtonDblClick && !agregando_)
            OrdenarPor(i);
    }
    return QWidget::eventFilter(objeto, evento);
}

// All groups, sorted by the field's column (the table named by the setting).
void frmPLU::OrdenarPor(int campo) {
    static const OrdenProductos orden[4] = {OrdenProductos::Codigo, OrdenProductos::Grupo,
                                            OrdenProductos::Nombre, OrdenProductos::EAN};
    if (!GuardarEdicion()) return;
    QString motivo;
    const auto filas = LeerProductos(plu_, 0, orden[campo], &motivo);
    if (filas) Mostrar(*filas, 0);
}

void frmPLU::HabilitarNavegacion(bool activa) {
    for (QWidget* w : {static_cast<QWidget*>(cmdDelete), static_cast<QWidget*>(cmdImprimir),
                       static_cast<QWidget*>(cmdGrid), static_cast<QWidget*>(Data1),
                       static_cast<QWidget*>(Cmb_Grupo)})
        w->setEnabled(activa);
}

void frmPLU::cmdAgregar_Click() {
    if (agregando_) {
        Producto p = DeLasCajas();
        p.Grupo = GrupoElegido();
        p.Aux.clear();
        if (txt_Dato[0]->text().isEmpty()) {
            interaccion_->Avisar(T("010073", "Falta el codigo."), T("010040", "Atencion"),
                                 Icono::Error);
            return;
        }
        QString motivo;
        if (!AgregarProducto(plu_, p, &motivo)) {
            ErrorBase(motivo);  // the entry stays open to be corrected
            return;
        }
        agregando_ = false;
        ++CantCodigos_;
        HabilitarNavegacion(true);
        cmdAgregar->setText(T("010008", "Ag&regar"));
        const auto filas = LeerProductos(plu_, GrupoElegido(), OrdenProductos::Codigo);
        const QList<Producto> nuevas = filas.value_or(QList<Producto>{});
        Mostrar(nuevas, int(nuevas.indexOf(p)));
        return;
    }
    if (CantCodigos_ >= CapacidadCodigos) {
        interaccion_->Avisar(T("010039", "No hay espacio para agregar mas codigos"),
                             T("010040", "Atencion"), Icono::Error);
        return;
    }
    if (!GuardarEdicion()) return;
    agregando_ = true;
    for (int i = 0; i < 4; ++i) {
        txt_Dato[i]->clear();
        Bloquear(i, false);
    }
    HabilitarNavegacion(false);
    txt_Dato[0]->setFocus();
    cmdAgregar->setText(T("010038", "Actualizar"));
}

void frmPLU::cmdDelete_Click() {
    if (!interaccion_->Confirmar(
            Frase({T("010049", "Desea eliminar el codigo"), txt_Dato[0]->text()}) +
                QStringLiteral(" ? "),
            T("010045", "Atencion"), Icono::Error))
        return;
    if (posicion_ < 0) return;
    QString motivo;
    if (!EliminarProducto(plu_, filas_.at(posicion_), &motivo)) {
        ErrorBase(motivo);
        return;
    }
    --CantCodigos_;
    QList<Producto> filas = filas_;
    filas.removeAt(posicion_);
    // The one after it, or the one before when it was the last.
    Mostrar(filas, posicion_ < filas.size() ? posicion_ : posicion_ - 1);
}

void frmPLU::cmdGrid_Click() {
    if (!GuardarEdicion()) return;
    QString motivo;
    QSqlDatabase db = ConexionPara(plu_.conexion, &motivo);
    if (!db.isValid()) return;
    auto* grilla = new FrmDataGrid(this);
    grilla->setAttribute(Qt::WA_DeleteOnClose);
    grilla->setWindowModality(Qt::WindowModal);
    grilla->setWindowTitle(
        Frase({T("010050", "Tabla de Codigos del grupo"), Cmb_Grupo->currentText()}));
    grilla->Abrir(plu_.conexion,
                  QStringLiteral("SELECT Codigo, Nombre, EAN FROM %1 WHERE Grupo=%2 ORDER BY "
                                 "Codigo ASC")
                      .arg(NombreSql(db, plu_.tabla))
                      .arg(GrupoElegido()));
    grilla->show();
}

void frmPLU::cmdImprimir_Click() {
    if (!interaccion_->Confirmar(T("010051", "Desea imprimir la lista de codigos?"),
                                 T("010045", "Atencion"), Icono::Informacion))
        return;
    if (!GuardarEdicion()) return;
    Impresion impresion(*interaccion_);
    if (!impresion.Iniciar(windowTitle())) return;
    impresion.Fuente(QStringLiteral("Courier"), 12);
    // Pages as long as the paper set up for printing takes, dated in the program's language.
    const QDateTime ahora = QDateTime::currentDateTime();
    const QList<PaginaListado> paginas =
        PaginasListado(Cmb_Grupo->currentText(), filas_, FechaDelPrograma(ahora.date()),
                       HoraDelPrograma(ahora.time()), impresion.LineasPorPagina());
    for (qsizetype n = 0; n < paginas.size(); ++n) {
        if (n > 0) impresion.NuevaPagina();
        for (const LineaListado& linea : paginas[n]) {
            for (const PiezaListado& pieza : linea) {
                impresion.Negrita(pieza.negrita);
                impresion.Tab(pieza.columna);
                impresion.Imprimir(pieza.texto, true);
            }
            impresion.Negrita(false);
            impresion.Imprimir();
        }
    }
    impresion.Terminar();
}

void frmPLU::cmd_ImprimirCB_Click() {
    if (!GuardarEdicion()) return;
    QString motivo;
    if (!EscribirEtiquetas(QDir::current().absoluteFilePath(QStringLiteral("CB.txt")), filas_,
                           &motivo))
        interaccion_->Avisar(
            T("010074", "No se pudo escribir el archivo de etiquetas:") + QLatin1Char(' ') + motivo,
            T("010043", "Error"), Icono::Error);
}

bool frmPLU::trabajando() const {
    return trabajo_ && trabajo_->enCurso();
}

void frmPLU::esperarTrabajo() {
    while (trabajo_) {
        trabajo_->esperar();
        QCoreApplication::processEvents();  // the job's end runs here
    }
}

void frmPLU::Transferir(const std::function<ResultadoPLU(Enlace&, Interaccion&)>& procedimiento,
                        const std::function<void(const ResultadoPLU&)>& despues) {
    if (trabajando() || !GuardarEdicion()) return;
    SSTab1->setEnabled(false);
    auto resultado = std::make_shared<ResultadoPLU>();
    Enlace* enlace = enlace_;
    trabajo_ = EjecutarTrabajo(
        this,
        [procedimiento, resultado, enlace](Interaccion& op) {
            *resultado = procedimiento(*enlace, op);
        },
        [this, resultado, despues] {
            SSTab1->setEnabled(true);
            if (despues) despues(*resultado);
        },
        interaccionTrabajo_);
}

void frmPLU::CmdCargarPLU_Click() {
    const OpcionesCampos config = OpcionesDeLaGrilla();
    const TablaDatos plu = plu_;
    Transferir([=](Enlace& e, Interaccion& op) { return CargarCodigos(e, op, plu, config); },
               [this](const ResultadoPLU&) {
                   Cmb_Grupo->setCurrentIndex(qMin(1, Cmb_Grupo->count() - 1));
                   Cmb_Grupo->setCurrentIndex(0);
               });
}

void frmPLU::cmdCargarSetup_Click() {
    const OpcionesCampos config = OpcionesDeLaGrilla();
    const TablaDatos setup = setup_;
    Transferir(
        [=](Enlace& e, Interaccion& op) { return CargarConfiguracion(e, op, setup, config); },
        [this](const ResultadoPLU& r) {
            if (r.rechazado) return;
            Llena_Opciones();
            Cmb_Grupo->setCurrentIndex(-1);
            Cmb_Grupo->setCurrentIndex(0);
        });
}

void frmPLU::CmdRecuperarPLU_Click() {
    const TablaDatos plu = plu_, setup = setup_;
    Transferir([=](Enlace& e, Interaccion& op) { return RecuperarCodigos(e, op, plu, setup); },
               [this](const ResultadoPLU& r) {
                   if (r.rechazado) return;
                   Llena_Opciones();
                   CantCodigos_ = qMax(0, ContarProductos(plu_));
                   Cmb_Grupo->setCurrentIndex(-1);
                   Cmb_Grupo->setCurrentIndex(0);
               });
}

void frmPLU::cmdComparar_Click() {
    const OpcionesCampos config = OpcionesDeLaGrilla();
    const TablaDatos plu = plu_;
    Transferir([=](Enlace& e, Interaccion& op) { return MostrarComparacion(e, op, plu, config); },
               {});
}

void frmPLU::cmdImportar_Click() {
    if (!GuardarEdicion()) return;
    const QString ruta =
        interaccion_->ElegirArchivo(T("010075", "Importar"), T("010092", "Archivos CSV (*.csv)"));
    if (ruta.isEmpty()) return;
    const ResultadoCSV r = ImportarCSV(plu_, ruta);
    if (!r.ok) {
        interaccion_->Avisar(
            T("010093", "No se guardo nada. Lineas rechazadas:") + u'\n' + r.errores.join(u'\n'),
            T("010043", "Error"), Icono::Error);
        return;
    }
    interaccion_->Avisar(T("010079", "%1 codigos importados.").arg(r.cantidad),
                         T("010075", "Importar"), Icono::Informacion);
    CantCodigos_ = r.cantidad;
    CambiarGrupo(Cmb_Grupo->currentIndex());
}

void frmPLU::cmdExportar_Click() {
    if (!GuardarEdicion()) return;
    const QString ruta = QFileDialog::getSaveFileName(
        this, T("010077", "Exportar"), QDir::currentPath(), T("010092", "Archivos CSV (*.csv)"));
    if (ruta.isEmpty()) return;
    const ResultadoCSV r = ExportarCSV(plu_, ruta);
    if (r.ok)
        interaccion_->Avisar(T("010091", "%1 codigos exportados.").arg(r.cantidad),
                             T("010077", "Exportar"), Icono::Informacion);
    else
        interaccion_->Avisar(r.errores.join(u'\n'), T("010043", "Error"), Icono::Error);
}

// The window comes up on the "Datos" tab.
void frmPLU::showEvent(QShowEvent* evento) {
    SSTab1->setCurrentIndex(0);
    QWidget::showEvent(evento);
}

void frmPLU::closeEvent(QCloseEvent* evento) {
    if (trabajando()) {
        evento->ignore();
        return;
    }
    GuardarEdicion();
    evento->accept();
}
