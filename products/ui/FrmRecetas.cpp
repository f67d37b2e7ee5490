#include "products/ui/FrmRecetas.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "app/ui/Medidas.h"
#include "app/ui/Trabajo.h"
#include "link/ui/EnlacePrograma.h"
#include "products/ValidarTecla.h"
#include "settings/Idioma.h"

namespace {

constexpr int kLargoReceta = 30;
constexpr int kLargoValor = 25;
const QColor kAmarilloEdicion(0xFF, 0xFF, 0xC0);  // C0FFFF in the BGR of the original colours

QString Nombre(const char* base, int i) {
    return QString::fromLatin1(base) + u'_' + QString::number(i);
}

QPushButton* Boton(QWidget* padre, const char* nombre) {
    auto* b = new QPushButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    return b;
}

}  // namespace

frmRecetas::frmRecetas(QWidget* padre, Enlace* enlace, Interaccion* interaccion)
    : QWidget(padre, Qt::Window),
      enlace_(enlace ? enlace : &EnlaceDelPrograma()),
      interaccion_(interaccion),
      tabla_(TablaDe(TablaLogica::Recetas)) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    setObjectName(QStringLiteral("frmRecetas"));

    TabStrip = new QTabWidget(this);
    TabStrip->setObjectName(QStringLiteral("TabStrip"));
    Frame_Datos = new QWidget;
    Frame_Datos->setObjectName(QStringLiteral("Frame_Datos"));
    Frame_Opciones = new QWidget;
    Frame_Opciones->setObjectName(QStringLiteral("Frame_Opciones"));
    TabStrip->addTab(Frame_Datos, QString());
    TabStrip->addTab(Frame_Opciones, QString());
    CrearDatos(Frame_Datos);
    CrearOpciones(Frame_Opciones);
    PonerTextos();
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(TabStrip);
    connect(TabStrip, &QTabWidget::currentChanged, this, &frmRecetas::TabStrip_Click);
}

frmRecetas::~frmRecetas() = default;

void frmRecetas::PonerTextos() {
    setWindowTitle(T("011001", "Recetas"));
    TabStrip->setTabText(0, T("011002", "Datos"));
    TabStrip->setTabText(1, T("011003", "Opciones"));
    Lbl_Campo[0]->setText(T("011004", "Receta"));
    LblSinRecetas->setText(T("011042",
                             "La tabla de recetas no tiene recetas. Esta ventana no agrega ni "
                             "elimina recetas: cada receta debe existir en la tabla."));
    cmdEditar->setText(T("011005", "Editar"));
    cmdBajar->setText(T("011006", "Recuperar"));
    cmdCargar->setText(T("011007", "Cargar"));
    cmdActualizar->setText(T("011046", "Actualizar"));
    cmdCancelar->setText(T("011047", "Cancelar"));
    cmdBajarSetup->setText(T("011008", "Recuperar"));
    cmdCargarSetup->setText(T("011009", "Cargar"));
    const QString titulos[4] = {T("011010", "Nombre"), T("011011", "Letra"), T("011012", "Nombre"),
                                T("011013", "Letra")};
    for (int t = 0; t < 4; ++t) Lbl_Titulo[t]->setText(titulos[t]);
    // The position caption keeps one width from the first record to the last.
    Data1Caption->setMinimumWidth(Data1Caption->fontMetrics().horizontalAdvance(
        Frase({T("011036", "Receta:"), QStringLiteral("0000/0000")})));
    Data1_Reposition();
    MostrarRecetaIndicador();
    for (int n = 0; n < kSetPoints; ++n) {
        TxtAuxNombre[n]->setMinimumWidth(AnchoCaracteres(TxtAuxNombre[n], kLargoNombreSP));
        TxtAuxValor[n]->setMaximumWidth(AnchoCaracteres(TxtAuxValor[n], 2));
    }
}

void frmRecetas::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange || evento->type() == QEvent::FontChange)
        PonerTextos();
    QWidget::changeEvent(evento);
}

bool frmRecetas::ocupada() const {
    return enTrabajo_;
}

// ---- building the tabs
// ---------------------------------------------------------------------------

void frmRecetas::CrearDatos(QWidget* pagina) {
    marcoValores_ = new QWidget(pagina);
    auto* rejilla = new QGridLayout(marcoValores_);
    for (int i = 0; i <= kFilas; ++i) {
        Lbl_Campo[i] = new QLabel(marcoValores_);
        Lbl_Campo[i]->setObjectName(Nombre("Lbl_Campo", i));
        Lbl_Campo[i]->installEventFilter(this);
        txt_Dato[i] = new QLineEdit(marcoValores_);
        txt_Dato[i]->setObjectName(Nombre("txt_Dato", i));
        txt_Dato[i]->setReadOnly(true);
        txt_Dato[i]->setMaxLength(i == 0 ? kLargoReceta : kLargoValor);
        txt_Dato[i]->setAlignment(Qt::AlignRight);
        txt_Dato[i]->installEventFilter(this);
        // Rows 1-8 on the left, 9-16 on the right; the recipe number above them.
        const int fila = i == 0 ? 0 : 1 + (i - 1) % 8;
        const int columna = i <= 8 ? 0 : 4;
        rejilla->addWidget(Lbl_Campo[i], fila, columna);
        rejilla->addWidget(txt_Dato[i], fila, columna + 1);
        if (i == 0) continue;
        Label_2[i] = new QLabel(QStringLiteral("kg"), marcoValores_);
        Label_2[i]->setObjectName(Nombre("Label_2", i));
        rejilla->addWidget(Label_2[i], fila, columna + 2);
    }
    rejilla->setColumnMinimumWidth(3, 2 * fontMetrics().averageCharWidth());
    rejilla->setColumnStretch(1, 1);
    rejilla->setColumnStretch(5, 1);

    LblSinRecetas = new QLabel(pagina);
    LblSinRecetas->setObjectName(QStringLiteral("LblSinRecetas"));
    LblSinRecetas->setWordWrap(true);
    LblSinRecetas->hide();

    Lbl_Receta1 = new QLabel(pagina);
    Lbl_Receta1->setObjectName(QStringLiteral("Lbl_Receta1"));
    Lbl_Receta1->setWordWrap(true);  // showing it never widens the window
    Lbl_Receta1->hide();

    // Browsing and editing buttons share one place as large as the wider set.
    botonera_ = new QStackedWidget(pagina);
    auto* navegando = new QWidget(botonera_);
    auto* editando = new QWidget(botonera_);
    cmdEditar = Boton(navegando, "cmdEditar");
    cmdBajar = Boton(navegando, "cmdBajar");
    cmdCargar = Boton(navegando, "cmdCargar");
    cmdActualizar = Boton(editando, "cmdActualizar");
    cmdCancelar = Boton(editando, "cmdCancelar");
    connect(cmdEditar, &QPushButton::clicked, this, &frmRecetas::cmdEditar_Click);
    connect(cmdBajar, &QPushButton::clicked, this, &frmRecetas::cmdBajar_Click);
    connect(cmdCargar, &QPushButton::clicked, this, &frmRecetas::cmdCargar_Click);
    connect(cmdActualizar, &QPushButton::clicked, this, &frmRecetas::cmdActualizar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmRecetas::cmdCancelar_Click);

    for (QWidget* juego : {navegando, editando}) {
        auto* fila = new QHBoxLayout(juego);
        fila->setContentsMargins(0, 0, 0, 0);
        for (QPushButton* b : juego->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            fila->addWidget(b);
        fila->addStretch();
        botonera_->addWidget(juego);
    }
    auto* pie = new QHBoxLayout;
    pie->addWidget(CrearData1());
    pie->addWidget(Lbl_Receta1, 1);
    auto* columna = new QVBoxLayout(pagina);
    columna->addWidget(marcoValores_);
    columna->addWidget(LblSinRecetas);
    columna->addStretch();
    columna->addLayout(pie);
    columna->addWidget(botonera_);
}

QWidget* frmRecetas::CrearData1() {
    Data1 = new QWidget(Frame_Datos);
    Data1->setObjectName(QStringLiteral("Data1"));
    auto* fila = new QHBoxLayout(Data1);
    fila->setContentsMargins(0, 0, 0, 0);
    const char* nombres[4] = {"Data1_Primero", "Data1_Anterior", "Data1_Siguiente", "Data1_Ultimo"};
    const char* flechas[4] = {"|<", "<", ">", ">|"};
    for (int b = 0; b < 4; ++b) {
        Data1Boton[b] = new QToolButton(Data1);
        Data1Boton[b]->setObjectName(QString::fromLatin1(nombres[b]));
        Data1Boton[b]->setText(QString::fromLatin1(flechas[b]));
    }
    Data1Caption = new QLabel(Data1);
    Data1Caption->setObjectName(QStringLiteral("Data1_Caption"));
    Data1Caption->setAlignment(Qt::AlignCenter);
    fila->addWidget(Data1Boton[0]);
    fila->addWidget(Data1Boton[1]);
    fila->addWidget(Data1Caption);
    fila->addWidget(Data1Boton[2]);
    fila->addWidget(Data1Boton[3]);
    connect(Data1Boton[0], &QToolButton::clicked, this, [this] { IrA(0); });
    connect(Data1Boton[1], &QToolButton::clicked, this, [this] { IrA(posicion_ - 1); });
    connect(Data1Boton[2], &QToolButton::clicked, this, [this] { IrA(posicion_ + 1); });
    connect(Data1Boton[3], &QToolButton::clicked, this, [this] { IrA(int(filas_.size()) - 1); });
    return Data1;
}

void frmRecetas::CrearOpciones(QWidget* pagina) {
    auto* rejilla = new QGridLayout;
    for (int t = 0; t < 4; ++t) {
        Lbl_Titulo[t] = new QLabel(pagina);
        Lbl_Titulo[t]->setObjectName(QStringLiteral("Lbl_Titulo_%1").arg(t));
        rejilla->addWidget(Lbl_Titulo[t], 0, (t / 2) * 4 + 1 + t % 2);
    }
    for (int n = 0; n < kSetPoints; ++n) {
        const int fila = 1 + n % 8;
        const int columna = (n / 8) * 4;
        auto* etiqueta = new QLabel(QStringLiteral("SP %1:").arg(n + 1), pagina);
        TxtAuxNombre[n] = new QLineEdit(pagina);
        TxtAuxNombre[n]->setObjectName(Nombre("TxtAuxNombre", n));
        TxtAuxNombre[n]->setMaxLength(kLargoNombreSP);
        TxtAuxValor[n] = new QLineEdit(pagina);
        TxtAuxValor[n]->setObjectName(Nombre("TxtAuxValor", n));
        TxtAuxValor[n]->setMaxLength(1);
        rejilla->addWidget(etiqueta, fila, columna);
        rejilla->addWidget(TxtAuxNombre[n], fila, columna + 1);
        rejilla->addWidget(TxtAuxValor[n], fila, columna + 2);
    }
    rejilla->setColumnMinimumWidth(3, 2 * fontMetrics().averageCharWidth());
    rejilla->setColumnStretch(1, 1);
    rejilla->setColumnStretch(5, 1);

    cmdBajarSetup = Boton(pagina, "cmdBajarSetup");
    cmdCargarSetup = Boton(pagina, "cmdCargarSetup");
    connect(cmdBajarSetup, &QPushButton::clicked, this, &frmRecetas::cmdBajarSetup_Click);
    connect(cmdCargarSetup, &QPushButton::clicked, this, &frmRecetas::cmdCargarSetup_Click);
    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdBajarSetup);
    botones->addWidget(cmdCargarSetup);
    botones->addStretch();
    auto* columna = new QVBoxLayout(pagina);
    columna->addLayout(rejilla);
    columna->addStretch();
    columna->addLayout(botones);
}

// ---- load
// ----------------------------------------------------------------------------------------

void frmRecetas::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    TabStrip->setCurrentIndex(0);
    TabStrip_Click(0);
    if (cargada_) return;
    cargada_ = true;
    if (!Form_Load()) {
        const MensajeBase m = MensajeBaseDatos(VentanaDatos::Recetas);
        interaccion_->Avisar(m.texto, m.titulo, Icono::Error);
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

bool frmRecetas::Form_Load() {
    ajustes_ = LeerAjustesRecetas();
    // 8 leaves rows 9-16 out; any other count the indicator takes shows its own rows. A count it
    // cannot take keeps all rows and the transfers say why they refuse.
    const int filas = ComponentesValidos(ajustes_.Componentes) ? ajustes_.Componentes : kFilas;
    for (int i = 1; i <= kFilas; ++i) {
        Lbl_Campo[i]->setVisible(i <= filas);
        txt_Dato[i]->setVisible(i <= filas);
        Label_2[i]->setVisible(i <= filas);
    }
    LlenarSetPoints();
    QString error;
    filas_ = LeerRecetas(tabla_, orden_, &error);
    if (!error.isEmpty()) return false;
    const bool vacia = filas_.isEmpty();
    LblSinRecetas->setVisible(vacia);
    marcoValores_->setVisible(!vacia);
    for (QWidget* w : {cmdEditar, cmdBajar, cmdCargar}) w->setEnabled(!vacia);
    IrA(0);
    return true;
}

void frmRecetas::LlenarSetPoints() {
    const ConfiguracionSP sp = LeerConfiguracionSP();
    for (int n = 1; n <= kSetPoints; ++n) {
        Lbl_Campo[n]->setText(sp.nombres.at(n - 1));
        TxtAuxNombre[n - 1]->setText(sp.nombres.at(n - 1));
        TxtAuxValor[n - 1]->setText(sp.letras.at(n - 1));
        if (sp.nombres.at(n - 1).isEmpty()) {
            Lbl_Campo[n]->hide();
            txt_Dato[n]->hide();
            Label_2[n]->hide();
        }
    }
}

// ---- record navigation
// ---------------------------------------------------------------------------

void frmRecetas::Recargar(int receta) {
    QString error;
    const QList<RegistroReceta> filas = LeerRecetas(tabla_, orden_, &error);
    if (!error.isEmpty()) {
        interaccion_->Avisar(T("011044", "Error en la tabla de recetas: %1").arg(error),
                             T("011015", "Error"), Icono::Error);
        return;
    }
    filas_ = filas;
    int posicion = 0;
    for (int i = 0; i < filas_.size(); ++i) {
        if (filas_.at(i).Receta == receta) posicion = i;
    }
    IrA(posicion);
}

void frmRecetas::IrA(int posicion) {
    if (filas_.isEmpty()) {
        posicion_ = -1;
    } else {
        posicion_ = qBound(0, posicion, int(filas_.size()) - 1);
        const RegistroReceta& r = filas_.at(posicion_);
        txt_Dato[0]->setText(QString::number(r.Receta));
        for (int k = 1; k <= kFilas; ++k) txt_Dato[k]->setText(TextoValor(r.Ingrediente[k - 1]));
    }
    Data1_Reposition();
}

void frmRecetas::Data1_Reposition() {
    Data1Caption->setText(Frase({T("011036", "Receta:"), QString::number(posicion_ + 1) + u'/' +
                                                             QString::number(filas_.size())}));
}

void frmRecetas::MostrarRecetaIndicador() {
    if (recetaIndicador_ < 0) return;
    Lbl_Receta1->setText(TextoRecetaActual(recetaIndicador_));
    Lbl_Receta1->show();
}

int frmRecetas::RecetaActual() const {
    return posicion_ >= 0 ? filas_.at(posicion_).Receta : -1;
}

void frmRecetas::Lbl_Campo_DblClick(int i) {
    if (editando_) return;
    orden_ = i;
    Recargar(-1);
}

// ---- editing
// -------------------------------------------------------------------------------------

void frmRecetas::MostrarEdicion(bool editando) {
    editando_ = editando;
    QPalette colores = palette();
    if (editando)
        colores.setColor(QPalette::Base, kAmarilloEdicion);
    else
        colores.setColor(QPalette::Base, colores.color(QPalette::Window));
    for (int k = 1; k <= kFilas; ++k) {
        txt_Dato[k]->setReadOnly(!editando);
        txt_Dato[k]->setPalette(colores);
    }
    botonera_->setCurrentIndex(editando ? 1 : 0);
    Data1->setVisible(!editando);
    if (editando) txt_Dato[1]->setFocus();
}

void frmRecetas::cmdEditar_Click() {
    if (posicion_ < 0) return;
    MostrarEdicion(true);
}

void frmRecetas::cmdActualizar_Click() {
    RegistroReceta registro;
    registro.Receta = RecetaActual();
    for (int k = 1; k <= kFilas; ++k) {
        if (!ValorDeTexto(txt_Dato[k]->text(), &registro.Ingrediente[k - 1])) {
            interaccion_->Avisar(T("011014", "Dato no valido. Ingrese otro."), T("011015", "Error"),
                                 Icono::Exclamacion);
            MostrarEdicion(true);
            return;
        }
    }
    QString error;
    if (!GuardarReceta(tabla_, registro, &error)) {
        interaccion_->Avisar(T("011044", "Error en la tabla de recetas: %1").arg(error),
                             T("011015", "Error"), Icono::Error);
        MostrarEdicion(true);
        return;
    }
    MostrarEdicion(false);
    Recargar(registro.Receta);
}

void frmRecetas::cmdCancelar_Click() {
    MostrarEdicion(false);
    Recargar(-1);  // the first record, as after a refresh
}

bool frmRecetas::FiltrarTecla(QLineEdit* caja, QKeyEvent* tecla) {
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
        focusNextChild();
        return true;
    }
    // Shortcuts and keys without a character (arrows, Delete) are not typed characters.
    if (tecla->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    if (tecla->key() == Qt::Key_Backspace || tecla->text().isEmpty()) return false;
    const QString texto = tecla->text().toUpper();
    const int codigo = texto.size() == 1 ? texto.at(0).unicode() : 0;
    // What stays of the box once the typed key replaces the selection.
    QString queda = caja->text();
    if (caja->hasSelectedText()) queda.remove(caja->selectionStart(), caja->selectedText().size());
    int clave = codigo;
    ValidarTecla(clave, queda, kTeclaDecimal);
    if (clave == 0) return true;
    if (clave != codigo) {
        caja->insert(QString(QChar(clave)));
        return true;
    }
    return false;
}

bool frmRecetas::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i <= kFilas; ++i) {
            if (objeto == Lbl_Campo[i]) {
                Lbl_Campo_DblClick(i);
                return true;
            }
        }
    }
    if (evento->type() == QEvent::KeyPress) {
        for (int k = 1; k <= kFilas; ++k) {
            if (objeto == txt_Dato[k] && !txt_Dato[k]->isReadOnly())
                return FiltrarTecla(txt_Dato[k], static_cast<QKeyEvent*>(evento));
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

// ---- transfers
// -----------------------------------------------------------------------------------

void frmRecetas::Ejecutar(std::function<void(Interaccion&)> procedimiento,
                          std::function<void()> alTerminar) {
    enTrabajo_ = true;
    TabStrip->setEnabled(false);
    EjecutarTrabajo(
        this, std::move(procedimiento),
        [this, alTerminar = std::move(alTerminar)] {
            TabStrip->setEnabled(true);
            if (alTerminar) alTerminar();
            enTrabajo_ = false;
        },
        interaccion_);
}

void frmRecetas::cmdBajar_Click() {
    const int receta = RecetaActual();
    if (receta < 0 || ocupada()) return;
    Enlace* enlace = enlace_;
    const TablaDatos tabla = tabla_;
    const AjustesRecetas ajustes = ajustes_;
    Ejecutar([=](Interaccion& op) { RecuperarReceta(*enlace, op, tabla, receta, ajustes); },
             [this, receta] { Recargar(receta); });
}

void frmRecetas::cmdCargar_Click() {
    const int receta = RecetaActual();
    if (receta < 0 || ocupada()) return;
    QStringList valores;
    for (int k = 1; k <= kFilas; ++k) valores << txt_Dato[k]->text();
    Enlace* enlace = enlace_;
    const AjustesRecetas ajustes = ajustes_;
    auto resultado = std::make_shared<ResultadoCargaReceta>();
    Ejecutar(
        [=](Interaccion& op) { *resultado = CargarReceta(*enlace, op, receta, valores, ajustes); },
        [this, resultado] {
            if (resultado->actual < 0) return;
            recetaIndicador_ = resultado->actual;
            MostrarRecetaIndicador();
        });
}

void frmRecetas::cmdCargarSetup_Click() {
    if (ocupada()) return;
    ConfiguracionSP sp;
    for (int n = 0; n < kSetPoints; ++n) {
        sp.nombres << TxtAuxNombre[n]->text();
        sp.letras << TxtAuxValor[n]->text();
    }
    Enlace* enlace = enlace_;
    Ejecutar([=](Interaccion& op) { CargarConfiguracionSP(*enlace, op, sp); }, {});
}

void frmRecetas::cmdBajarSetup_Click() {
    if (ocupada()) return;
    Enlace* enlace = enlace_;
    auto resultado = std::make_shared<ResultadoConfiguracionSP>();
    Ejecutar([=](Interaccion& op) { *resultado = RecuperarConfiguracionSP(*enlace, op); },
             [this, resultado] {
                 // The value labels of "Datos" keep their captions until the window reopens.
                 for (int n = 0; n < kSetPoints; ++n) {
                     if (resultado->nombres)
                         TxtAuxNombre[n]->setText(resultado->leida.nombres.at(n));
                     if (resultado->letras) TxtAuxValor[n]->setText(resultado->leida.letras.at(n));
                 }
             });
}

// ---- tabs and closing
// ----------------------------------------------------------------------------

void frmRecetas::TabStrip_Click(int indice) {
    Frame_Datos->setEnabled(indice == 0);
    Frame_Opciones->setEnabled(indice == 1);
}

void frmRecetas::closeEvent(QCloseEvent* evento) {
    // A transfer may be waiting for a box over this window: it ends first.
    if (ocupada()) {
        evento->ignore();
        return;
    }
    evento->accept();
    Q_EMIT cerrada();
}
