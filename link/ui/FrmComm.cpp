#include "link/ui/FrmComm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "link/EnlaceDirecto.h"
#include "link/Registros.h"
#include "link/Transporte.h"
#include "settings/Idioma.h"

FrmComm::FrmComm(QWidget* duenio) : QDialog(duenio) {
    setObjectName(QStringLiteral("FrmComm"));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    Label1 = new QLabel(TextoIdioma(QStringLiteral("002004"), QStringLiteral("Enviando datos...")),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setRange(0, 100);
    ProgBar->setValue(0);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* caja = new QVBoxLayout(this);
    caja->addWidget(Label1);
    caja->addWidget(ProgBar);
    caja->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    setMinimumWidth(320);
    // The button only raises the flag; the request stops after the frame in progress.
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cancelado_ = true; });
}

FrmComm::~FrmComm() {
    if (hilo_) {
        hilo_->wait();
        delete hilo_;
    }
}

void FrmComm::Solicitar(PeticionEnlace& peticion) {
    static_cast<PeticionEnlace&>(*this) = peticion;
    Mostrar();
    peticion = static_cast<const PeticionEnlace&>(*this);
}

void FrmComm::Mostrar() {
    setWindowTitle(TextoIdioma(QStringLiteral("002001"), QStringLiteral("Comunicando")));
    cmdCancel->setText(TextoIdioma(QStringLiteral("002002"), QStringLiteral("Cancelar")));
    ProgBar->setValue(0);
    cancelado_ = false;
    Cancelado = false;
    enCurso_ = true;
    // The frames start once the window is on screen.
    QTimer::singleShot(0, this, &FrmComm::Iniciar);
    exec();
}

void FrmComm::Iniciar() {
    // Settings and texts are read here, on the interface thread; the worker only moves bytes.
    AjustesLinea ajustes = LeerAjustesLinea();
    if (esperaMs_ >= 0) ajustes.esperaMs = esperaMs_;
    if (esperaConexionMs_ >= 0) ajustes.esperaConexionMs = esperaConexionMs_;
    const int id = LeerIdEsclavo();
    QString rotulo;
    if (Modo == QLatin1String("R")) {
        rotulo = !Leyenda.isEmpty()
                     ? Leyenda
                     : TextoIdioma(QStringLiteral("002003"), QStringLiteral("Recibiendo datos..."));
    } else if (Modo == QLatin1String("T")) {
        rotulo = !Leyenda.isEmpty()
                     ? Leyenda
                     : TextoIdioma(QStringLiteral("002004"), QStringLiteral("Enviando datos..."));
    }
    const PeticionEnlace peticion = *this;

    hilo_ = QThread::create([this, ajustes, id, rotulo, peticion] {
        PeticionEnlace p = peticion;
        ControlRegistros control;
        control.cancelado = &cancelado_;
        control.progreso = [this](int valor) {
            QMetaObject::invokeMethod(
                this, [this, valor] { ProgBar->setValue(valor); }, Qt::QueuedConnection);
        };
        EjecutarPeticion(p, ajustes, id, control, [this, rotulo] {
            if (rotulo.isEmpty()) return;  // a command leaves the caption as it is
            QMetaObject::invokeMethod(
                this, [this, rotulo] { Label1->setText(rotulo); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, p] { Terminar(p); }, Qt::QueuedConnection);
    });
    hilo_->setObjectName(QStringLiteral("FrmComm"));
    hilo_->start();
}

void FrmComm::Terminar(const PeticionEnlace& resultado) {
    hilo_->wait();
    delete hilo_;
    hilo_ = nullptr;
    static_cast<PeticionEnlace&>(*this) = resultado;
    ProgBar->setValue(100);
    enCurso_ = false;
    accept();
}

void FrmComm::reject() {
    if (enCurso_) {
        cancelado_ = true;
        return;
    }
    QDialog::reject();
}

void FrmComm::closeEvent(QCloseEvent* e) {
    if (enCurso_) {
        cancelado_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}
