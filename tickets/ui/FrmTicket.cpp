#include "tickets/ui/FrmTicket.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "settings/Idioma.h"
#include "tickets/Membrete.h"
#include "tickets/ui/HojaTicket.h"
#include "tickets/ui/VistaImpresa.h"

namespace {

constexpr int kModeloEtiquetas = 5;
constexpr int kColumnasEtiquetas = 40;
// The unlock chord: Ctrl + Shift + this letter switches field dragging on again.
constexpr int kTeclaDesbloqueo = Qt::Key_D;

QString ReglaUnidades(int columnas) {
    QString r;
    for (int c = 1; c <= columnas; ++c) r += QChar(u'0' + c % 10);
    return r;
}

QString ReglaDecenas(int columnas) {
    QString r(columnas, u' ');
    for (int c = 10; c <= columnas; c += 10) r[c - 1] = QChar(u'0' + (c / 10) % 10);
    return r;
}

// The pop-up menu of a field: 1 for the titles, 2 for the codes, 3 for the rest.
int MenuDeCampo(int campo) {
    if (campo <= CampoTicket::Titulo2) return 0;
    if (campo >= CampoTicket::Codigo2 && campo <= CampoTicket::Codigo5 + 3) return 1;
    return 2;
}

frmTicket::Respuesta CajaSalida(QWidget* ventana, const QString& texto, const QString& titulo) {
    QMessageBox caja(QMessageBox::Information, titulo, texto,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, ventana);
    caja.setDefaultButton(QMessageBox::Cancel);
    switch (caja.exec()) {
        case QMessageBox::Yes:
            return frmTicket::Respuesta::Si;
        case QMessageBox::No:
            return frmTicket::Respuesta::No;
        default:
            return frmTicket::Respuesta::Cancelar;
    }
}

}  // namespace

frmTicket::frmTicket(QWidget* padre, Interaccion* interaccion)
    : QWidget(padre, Qt::Window),
      interaccion_(interaccion),
      tickets_(TablaDe(TablaLogica::Ticket)) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    preguntaSalida_ = [this](const QString& texto, const QString& titulo) {
        return CajaSalida(this, texto, titulo);
    };
    pedidoTexto_ = [this](const QString& pregunta, const QString& titulo,
                          const QString& defecto) -> std::optional<QString> {
        bool ok = false;
        const QString r =
            QInputDialog::getText(this, titulo, pregunta, QLineEdit::Normal, defecto, &ok);
        return ok ? std::optional<QString>(r) : std::nullopt;
    };
    setObjectName(QStringLiteral("frmTicket"));
    ajustes_ = LeerAjustesMembrete();
    if (!LeerUltimaPesada(TablaDe(TablaLogica::Reporte), &muestra_)) muestra_ = MuestraPorDefecto();
    CrearControles();
    CrearMenus();
    PonerTextos();
    AjustarHoja();
    adjustSize();
    if (const QScreen* pantalla = screen())
        move(pantalla->availableGeometry().center() - rect().center());
    if (!abrir_ticket(1)) {
        interaccion_->Avisar(MensajeBaseDatos(VentanaDatos::EditorTicket).texto,
                             T("014001", "Editor de Ticket"), Icono::Error);
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

frmTicket::~frmTicket() = default;

void frmTicket::PonerTextos() {
    setWindowTitle(T("014001", "Editor de Ticket"));
    Label5->setText(T("014004", "Ticket:"));
    cmdOK->setText(T("014002", "Guardar"));
    cmdCancel->setText(T("014003", "Salir"));
}

void frmTicket::AjustarHoja() {
    const QFont regla = picture_hoja->FuenteRegla();
    for (QLabel* l : {Label3, Label4}) l->setFont(regla);
    HScroll1->setMinimumWidth(12 * fontMetrics().averageCharWidth());
    // Column and row of the last drop: two digits at most, room kept for them from the start.
    for (QLabel* l : {Label1, Label2})
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("00")));
    // The whole sheet and its tray when the screen has room for them; scrolling otherwise.
    QWidget* hoja = picture_hoja2->widget();
    const int marco = 2 * picture_hoja2->frameWidth() + 2;
    const QSize todo = hoja->sizeHint() + QSize(marco, marco);
    const QSize pantalla = screen() ? screen()->availableGeometry().size() * 0.85 : todo;
    picture_hoja2->setMinimumSize(todo.boundedTo(pantalla));
}

void frmTicket::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    if (evento->type() == QEvent::FontChange) AjustarHoja();
    QWidget::changeEvent(evento);
}

void frmTicket::CrearControles() {
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label_Ticket = new QLabel(QStringLiteral("1"), this);
    Label_Ticket->setObjectName(QStringLiteral("Label_Ticket"));
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(1, kTablasTicket);
    HScroll1->setPageStep(1);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    picture_hoja = new HojaTicket(editor_, this);
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    for (QLabel* regla : {Label3, Label4}) {
        regla->setMargin(0);
        regla->setIndent(0);
        regla->setTextFormat(Qt::PlainText);
    }
    picVista = new VistaImpresa(this);

    auto* hoja = new QWidget;
    auto* columnaHoja = new QVBoxLayout(hoja);
    columnaHoja->setContentsMargins(0, 0, 0, 0);
    columnaHoja->setSpacing(0);
    columnaHoja->addWidget(Label4);
    columnaHoja->addWidget(Label3);
    columnaHoja->addWidget(picture_hoja);
    columnaHoja->addStretch(1);
    picture_hoja2 = new QScrollArea(this);
    picture_hoja2->setObjectName(QStringLiteral("picture_hoja2"));
    picture_hoja2->setWidget(hoja);
    picture_hoja2->setWidgetResizable(true);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(Label5);
    arriba->addWidget(Label_Ticket);
    arriba->addWidget(HScroll1);
    arriba->addSpacing(2 * fontMetrics().averageCharWidth());
    arriba->addWidget(Label1);
    arriba->addWidget(Label2);
    arriba->addStretch(1);
    arriba->addWidget(cmdOK);
    arriba->addWidget(cmdCancel);
    auto* cuerpo = new QHBoxLayout;
    cuerpo->addWidget(picture_hoja2, 1);
    cuerpo->addWidget(picVista, 0, Qt::AlignTop);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(arriba);
    principal->addLayout(cuerpo, 1);

    connect(HScroll1, &QScrollBar::valueChanged, this, &frmTicket::HScroll1_Change);
    connect(cmdOK, &QPushButton::clicked, this, [this] { guardar_ticket(modelo()); });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(picture_hoja, &HojaTicket::presionada, this, &frmTicket::Presionada);
    connect(picture_hoja, &HojaTicket::soltada, this,
            [this](int, const QString& columna, const QString& fila) { Soltada(columna, fila); });
    connect(picture_hoja, &HojaTicket::cambiada, this, [this] { MostrarVista(editor_); });
    connect(picture_hoja, &HojaTicket::arrastrando, this, [this](int etiqueta, QPoint u) {
        EditorTicket prueba = editor_;
        prueba.Soltar(etiqueta, u.x(), u.y());
        MostrarVista(prueba);
    });
}

void frmTicket::CrearMenus() {
    for (int k = 0; k < 4; ++k) {
        menu_label[k] = new QMenu(this);
        menu_label[k]->setObjectName(QStringLiteral("menu_label_%1").arg(k + 1));
        if (k == 3) continue;  // the lines' menu has no actions
        const std::pair<const char*, void (frmTicket::*)()> items[] = {
            {"Editar", &frmTicket::Editar},
            {"Centrar", &frmTicket::Centrar},
            {"Ocultar", &frmTicket::Ocultar}};
        for (const auto& [nombre, accion] : items) {
            QAction* a = menu_label[k]->addAction(QString::fromLatin1(nombre));
            a->setObjectName(QString::fromLatin1(nombre));
            connect(a, &QAction::triggered, this, accion);
        }
    }
}

void frmTicket::FijarModelo(int modelo) {
    HScroll1->setValue(modelo);
}

int frmTicket::modelo() const {
    return HScroll1->value();
}

bool frmTicket::abrir_ticket(int indice) {
    DisenoTicket diseno;
    QList<FilaTicket> filas;
    QString error;
    if (!LeerFilasTicket(TablaModelo(tickets_, indice), &filas, &error)) return false;
    // A short table still shows what it holds; its missing rows wait in the tray.
    for (int i = 0; i < CampoTicket::Filas && i < filas.size(); ++i) diseno[i] = filas.at(i);
    modeloEnPantalla_ = indice;
    AplicarAnchoHoja(indice);
    editor_.Abrir(diseno);
    actualizar();
    return true;
}

bool frmTicket::guardar_ticket(int indice) {
    QString error;
    if (!GuardarDisenoTicket(TablaModelo(tickets_, indice), editor_.Diseno(), &error)) {
        interaccion_->Avisar(error, T("014001", "Editor de Ticket"), Icono::Error);
        return false;
    }
    editor_.Limpiar();
    return true;
}

void frmTicket::actualizar() {
    picture_hoja->update();
    MostrarVista(editor_);
}

void frmTicket::MostrarVista(const EditorTicket& editor) {
    AjustesMembrete a = ajustes_;
    // The label printers' layout is shown at their width whatever printer is set now.
    if (modeloEnPantalla_ == kModeloEtiquetas && !EsImpresoraEtiquetas(a.TipoImpre))
        a.TipoImpre = 2;
    picVista->Mostrar(VistaTicket(editor.Diseno(), a, muestra_), AnchoLinea(a.TipoImpre));
}

QString frmTicket::PreguntaGuardar(int modelo) const {
    return Frase({T("014032", "Desea guardar los cambios en Ticket"), QString::number(modelo)}) +
           QStringLiteral(" ? ");
}

void frmTicket::HScroll1_Change(int valor) {
    if (editor_.modificado()) {
        // The edits belong to the layout they were made on: that one is named and saved.
        if (interaccion_->Preguntar(PreguntaGuardar(modeloEnPantalla_), T("014033", "Atencion"),
                                    Icono::Informacion))
            guardar_ticket(modeloEnPantalla_);
        editor_.Limpiar();
    }
    Label_Ticket->setText(QString::number(valor));
    if (!abrir_ticket(valor))
        interaccion_->Avisar(MensajeBaseDatos(VentanaDatos::EditorTicket).texto,
                             T("014001", "Editor de Ticket"), Icono::Error);
}

void frmTicket::AplicarAnchoHoja(int modelo) {
    const bool etiquetas = modelo == kModeloEtiquetas;
    const int columnas = etiquetas ? kColumnasEtiquetas : EditorTicket::kColumnas;
    for (int k = 0; k < 3; ++k) {
        if (QAction* centrar = menu_label[k]->findChild<QAction*>(QStringLiteral("Centrar")))
            centrar->setVisible(!etiquetas);
    }
    picture_hoja->FijarArrastreCampos(!etiquetas);
    editor_.FijarColumnasHoja(columnas);
    Label3->setText(ReglaUnidades(columnas));
    Label4->setText(ReglaDecenas(columnas));
    picture_hoja->update();
}

void frmTicket::Presionada(int etiqueta, Qt::MouseButton boton, QPoint global) {
    editor_.Marcar();
    if (boton != Qt::RightButton || EditorTicket::EsLinea(etiqueta)) return;
    campoMenu_ = etiqueta;
    menu_label[MenuDeCampo(etiqueta)]->popup(global);
}

void frmTicket::Soltada(const QString& columna, const QString& fila) {
    if (!columna.isEmpty()) {
        Label1->setText(columna);
        Label2->setText(fila);
    }
    actualizar();
}

void frmTicket::Editar() {
    if (campoMenu_ < 0) return;
    const std::optional<QString> texto =
        pedidoTexto_(T("014034", "Ingrese el texto."), NombreCampoTicket(campoMenu_),
                     editor_.Caption(campoMenu_));
    if (texto) editor_.EditarCaption(campoMenu_, *texto);
    actualizar();
}

void frmTicket::Centrar() {
    if (campoMenu_ < 0) return;
    if (interaccion_->Preguntar(T("014035", "Desea centrar el texto?"),
                                T("014036", "Centrado Automatico"), Icono::Pregunta, true))
        editor_.Centrar(campoMenu_);
    actualizar();
}

void frmTicket::Ocultar() {
    if (campoMenu_ < 0) return;
    editor_.FijarCEnable(campoMenu_,
                         interaccion_->Preguntar(T("014037", "Desea ver el texto?"),
                                                 T("014038", "Texto"), Icono::Pregunta, true));
    actualizar();
}

void frmTicket::keyPressEvent(QKeyEvent* evento) {
    const auto mods = evento->modifiers();
    if ((mods & Qt::ControlModifier) && (mods & Qt::ShiftModifier) &&
        evento->key() == kTeclaDesbloqueo) {
        picture_hoja->FijarArrastreCampos(true);
        picture_hoja->update();
        return;
    }
    QWidget::keyPressEvent(evento);
}

void frmTicket::closeEvent(QCloseEvent* evento) {
    if (editor_.modificado()) {
        switch (preguntaSalida_(PreguntaGuardar(modelo()), T("014033", "Atencion"))) {
            case Respuesta::Si:
                if (!guardar_ticket(modelo())) {
                    evento->ignore();
                    return;
                }
                break;
            case Respuesta::No:
                editor_.Limpiar();
                break;
            case Respuesta::Cancelar:
                evento->ignore();
                return;
        }
    }
    evento->accept();
    Q_EMIT cerrada();
}
