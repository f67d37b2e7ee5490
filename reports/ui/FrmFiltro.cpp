#include "reports/ui/FrmFiltro.h"

#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/InteraccionVentanas.h"
#include "base/Globales.h"
#include "settings/Idioma.h"

frmFiltro::frmFiltro(const QString& campo, TipoFiltro tipo, QWidget* padre,
                     Interaccion* interaccion)
    : QDialog(padre),
      campo_(campo),
      tipo_(tipo),
      resultado_(FiltroCancelado(campo, tipo)),
      interaccion_(interaccion) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    setObjectName(QStringLiteral("frmFiltro"));
    // One frame only: the one of this kind.
    auto* principal = new QVBoxLayout(this);
    switch (tipo_) {
        case TipoFiltro::Texto:
            principal->addWidget(MarcoTexto());
            break;
        case TipoFiltro::Numero:
        case TipoFiltro::NumeroTexto:
            principal->addWidget(MarcoNumero());
            break;
        case TipoFiltro::Fecha:
            principal->addWidget(MarcoFecha());
            break;
    }
    principal->setSizeConstraint(QLayout::SetFixedSize);
    PonerTextos();
}

void frmFiltro::PonerTextos() {
    setWindowTitle(T("003001", "Filtro de datos"));
    // Only the frame of this kind exists: its controls are found by name.
    const auto texto = [this](const char* nombre, const QString& valor) {
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(nombre)))
            w->setProperty("text", valor);
    };
    for (const char* ok : {"CmdOkDato", "CmdOkNumero", "CmdOkFecha"})
        texto(ok, T("003002", "Aceptar"));
    for (const char* cancelar : {"CmdCancelDato", "CmdCancelNumero", "CmdCancelFecha"})
        texto(cancelar, T("003003", "Cancelar"));
    texto("LblDato", T("003004", "Use * como comodín para busquedas genéricas"));
    texto("LblDesde", T("003005", "Desde:"));
    texto("LblHasta", T("003006", "Hasta:"));
}

void frmFiltro::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QDialog::changeEvent(evento);
}

frmFiltro::~frmFiltro() = default;

QPushButton* frmFiltro::Boton(const char* nombre, QWidget* padre, void (frmFiltro::*accion)()) {
    auto* b = new QPushButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, accion);
    return b;
}

namespace {

QGroupBox* Marco(QWidget* padre, int indice, QLayout* contenido, QPushButton* ok,
                 QPushButton* cancelar) {
    auto* marco = new QGroupBox(padre);
    marco->setObjectName(QStringLiteral("FrmTipo_%1").arg(indice));
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(ok);
    botones->addWidget(cancelar);
    auto* v = new QVBoxLayout(marco);
    v->addLayout(contenido);
    v->addLayout(botones);
    ok->setDefault(true);  // Enter
    return marco;
}

QLabel* Nota(const char* nombre, const QString& texto, QWidget* padre) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    l->setWordWrap(true);
    return l;
}

// The "Desde:" and "Hasta:" captions of a range; their texts come with the window's texts.
void FilasRango(QFormLayout* capa, QWidget* desde, QWidget* hasta, QWidget* padre) {
    auto* lblDesde = new QLabel(padre);
    lblDesde->setObjectName(QStringLiteral("LblDesde"));
    lblDesde->setBuddy(desde);
    auto* lblHasta = new QLabel(padre);
    lblHasta->setObjectName(QStringLiteral("LblHasta"));
    lblHasta->setBuddy(hasta);
    capa->addRow(lblDesde, desde);
    capa->addRow(lblHasta, hasta);
}

}  // namespace

QGroupBox* frmFiltro::MarcoTexto() {
    TxtDato = new QLineEdit(this);
    TxtDato->setObjectName(QStringLiteral("TxtDato"));
    auto* contenido = new QVBoxLayout;
    contenido->addWidget(TxtDato);
    contenido->addWidget(Nota("LblDato", QString(), this));
    return Marco(this, 0, contenido, Boton("CmdOkDato", this, &frmFiltro::CmdOkDato_Click),
                 Boton("CmdCancelDato", this, &frmFiltro::Cancelar_Click));
}

QGroupBox* frmFiltro::MarcoNumero() {
    auto* contenido = new QFormLayout;
    for (int k = 0; k < 2; ++k) {
        TxtNumero[k] = new QLineEdit(this);
        TxtNumero[k]->setObjectName(QStringLiteral("TxtNumero_%1").arg(k));
    }
    FilasRango(contenido, TxtNumero[0], TxtNumero[1], this);
    contenido->addRow(Nota("LblNumero", campo_, this));
    return Marco(this, 1, contenido, Boton("CmdOkNumero", this, &frmFiltro::CmdOkNumero_Click),
                 Boton("CmdCancelNumero", this, &frmFiltro::Cancelar_Click));
}

QGroupBox* frmFiltro::MarcoFecha() {
    auto* contenido = new QFormLayout;
    const auto selector = [this](const char* nombre) {
        auto* f = new QDateEdit(QDate::currentDate(), this);
        f->setObjectName(QString::fromLatin1(nombre));
        f->setCalendarPopup(true);
        f->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        return f;
    };
    Fecha1 = selector("Fecha1");
    Fecha2 = selector("Fecha2");
    FilasRango(contenido, Fecha1, Fecha2, this);
    contenido->addRow(Nota("LblFecha", campo_, this));
    return Marco(this, 2, contenido, Boton("CmdOkFecha", this, &frmFiltro::CmdOkFecha_Click),
                 Boton("CmdCancelFecha", this, &frmFiltro::Cancelar_Click));
}

void frmFiltro::CmdOkDato_Click() {
    resultado_ = FiltroTexto(campo_, TxtDato->text());
    accept();
}

void frmFiltro::CmdOkNumero_Click() {
    const CajasNumero cajas = NormalizarCajas(TxtNumero[0]->text(), TxtNumero[1]->text());
    TxtNumero[0]->setText(cajas.desde);
    TxtNumero[1]->setText(cajas.hasta);
    resultado_ = FiltroNumero(campo_, tipo_, cajas.desde, cajas.hasta);
    accept();
}

void frmFiltro::CmdOkFecha_Click() {
    const auto filtro = FiltroFecha(campo_, Fecha1->date(), Fecha2->date(), Fecha_Frm);
    if (!filtro) {
        interaccion_->Avisar(T("003007", "Error en el rango de fechas"), T("003008", "Error"),
                             Icono::Error);
        Fecha1->setFocus();
        return;
    }
    resultado_ = *filtro;
    accept();
}

void frmFiltro::Cancelar_Click() {
    resultado_ = FiltroCancelado(campo_, tipo_);
    reject();
}

Filtro ClausulaFiltro(QWidget* padre, const QString& campo, TipoFiltro tipo) {
    frmFiltro ventana(campo, tipo, padre);
    ventana.exec();
    return ventana.Resultado();
}
