#include "reports/ui/FrmFiltro.h"

#include <QDateEdit>
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
    setWindowTitle(T("003001", "Filtro de datos"));
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
}

frmFiltro::~frmFiltro() = default;

QPushButton* frmFiltro::Boton(const char* nombre, const QString& texto, QWidget* padre,
                              void (frmFiltro::*accion)()) {
    auto* b = new QPushButton(texto, padre);
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

}  // namespace

QGroupBox* frmFiltro::MarcoTexto() {
    TxtDato = new QLineEdit(this);
    TxtDato->setObjectName(QStringLiteral("TxtDato"));
    auto* contenido = new QVBoxLayout;
    contenido->addWidget(TxtDato);
    contenido->addWidget(
        Nota("LblDato", T("003004", "Use * como comodín para busquedas genéricas"), this));
    return Marco(this, 0, contenido,
                 Boton("CmdOkDato", T("003002", "Aceptar"), this, &frmFiltro::CmdOkDato_Click),
                 Boton("CmdCancelDato", T("003003", "Cancelar"), this, &frmFiltro::Cancelar_Click));
}

QGroupBox* frmFiltro::MarcoNumero() {
    auto* contenido = new QFormLayout;
    const QString etiquetas[2] = {T("003005", "Desde:"), T("003006", "Hasta:")};
    for (int k = 0; k < 2; ++k) {
        TxtNumero[k] = new QLineEdit(this);
        TxtNumero[k]->setObjectName(QStringLiteral("TxtNumero_%1").arg(k));
        contenido->addRow(etiquetas[k], TxtNumero[k]);
    }
    contenido->addRow(Nota("LblNumero", campo_, this));
    return Marco(
        this, 1, contenido,
        Boton("CmdOkNumero", T("003002", "Aceptar"), this, &frmFiltro::CmdOkNumero_Click),
        Boton("CmdCancelNumero", T("003003", "Cancelar"), this, &frmFiltro::Cancelar_Click));
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
    contenido->addRow(T("003005", "Desde:"), Fecha1);
    contenido->addRow(T("003006", "Hasta:"), Fecha2);
    contenido->addRow(Nota("LblFecha", campo_, this));
    return Marco(
        this, 2, contenido,
        Boton("CmdOkFecha", T("003002", "Aceptar"), this, &frmFiltro::CmdOkFecha_Click),
        Boton("CmdCancelFecha", T("003003", "Cancelar"), this, &frmFiltro::Cancelar_Click));
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
