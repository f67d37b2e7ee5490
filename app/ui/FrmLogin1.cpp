#include "app/ui/FrmLogin1.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/Opciones.h"
#include "app/ui/InteraccionVentanas.h"
#include "settings/Idioma.h"

frmLogin1::frmLogin1(QWidget* padre, Interaccion* interaccion)
    : QDialog(padre),
      lblLabels(new QLabel(this)),
      txtPassword(new QLineEdit(this)),
      cmdOK(new QPushButton(this)),
      cmdCancel(new QPushButton(this)),
      interaccion_(interaccion) {
    if (!interaccion_) {
        interaccionPropia_ = std::make_unique<InteraccionVentanas>(this);
        interaccion_ = interaccionPropia_.get();
    }
    setObjectName(QStringLiteral("frmLogin1"));
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    txtPassword->setEchoMode(QLineEdit::Password);
    lblLabels->setBuddy(txtPassword);
    cmdOK->setDefault(true);

    PonerTextos();
    // Room for a password of some twenty characters in the font in use.
    txtPassword->setMinimumWidth(txtPassword->fontMetrics().averageCharWidth() * 20);

    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdOK);
    botones->addWidget(cmdCancel);
    auto* capa = new QGridLayout(this);
    capa->addWidget(lblLabels, 0, 0);
    capa->addWidget(txtPassword, 0, 1);
    capa->addLayout(botones, 1, 0, 1, 2);
    capa->setColumnStretch(1, 1);

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin1::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin1::reject);
}

frmLogin1::~frmLogin1() = default;

void frmLogin1::PonerTextos() {
    setWindowTitle(T("004001", "Inicio de sesión"));
    cmdOK->setText(T("004002", "Aceptar"));
    cmdCancel->setText(T("004003", "Cancelar"));
    lblLabels->setText(T("004004", "Contraseña:"));
}

void frmLogin1::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QDialog::changeEvent(evento);
}

void frmLogin1::cmdOK_Click() {
    if (ContrasenaCorrecta(txtPassword->text())) {
        Aceptado = true;
        accept();
        return;
    }
    // Any number of tries; nothing is counted or locked.
    interaccion_->Avisar(T("004005", "Contraseña incorrecta. Vuelva a intentarlo"),
                         T("004006", "Inicio de sesión"), Icono::Ninguno);
    txtPassword->setFocus();
    txtPassword->selectAll();
}

void frmLogin1::reject() {
    Aceptado = false;
    QDialog::reject();
}
