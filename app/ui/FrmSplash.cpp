#include "app/ui/FrmSplash.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include "app/Recursos.h"
#include "settings/Idioma.h"

namespace {

// A weighing platform with its indicator, drawn rather than shipped as an image file.
QPixmap Logo() {
    QPixmap imagen(96, 96);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor azul(24, 72, 140);
    p.setPen(QPen(azul, 3));
    p.setBrush(QColor(225, 233, 245));
    p.drawRoundedRect(QRectF(18, 8, 60, 36), 5, 5);  // indicator
    p.setBrush(QColor(40, 60, 40));
    p.drawRect(QRectF(26, 16, 44, 16));  // display
    p.setPen(QColor(120, 255, 120));
    QFont fuente(QStringLiteral("Monospace"), 9, QFont::Bold);
    p.setFont(fuente);
    p.drawText(QRectF(26, 16, 44, 16), Qt::AlignCenter, QStringLiteral("0.00"));
    p.setPen(QPen(azul, 3));
    p.drawLine(QPointF(48, 44), QPointF(48, 66));  // column
    p.setBrush(azul);
    p.drawRect(QRectF(8, 66, 80, 10));  // platform
    p.drawRect(QRectF(14, 76, 8, 8));
    p.drawRect(QRectF(74, 76, 8, 8));
    return imagen;
}

}  // namespace

FrmSplash::FrmSplash(QWidget* parent)
    // Not kept on top: the first connection attempt may show a message box while it is up.
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(TituloPrograma());
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* marco = new QFrame(this);
    marco->setFrameShape(QFrame::Box);
    marco->setLineWidth(2);
    auto* exterior = new QVBoxLayout(this);
    exterior->setContentsMargins(0, 0, 0, 0);
    exterior->addWidget(marco);

    imgLogo = new QLabel(marco);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(Logo());

    lblProductName = new QLabel(TituloPrograma(), marco);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont grande = lblProductName->font();
    grande.setPointSize(grande.pointSize() * 2 + 4);
    grande.setBold(true);
    lblProductName->setFont(grande);

    lblVersion = new QLabel(marco);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignRight);

    lblCompanyProduct = new QLabel(marco);
    lblCompanyProduct->setObjectName(QStringLiteral("lblCompanyProduct"));

    lblTitle = new QLabel(marco);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));

    auto* textos = new QVBoxLayout;
    textos->addWidget(lblCompanyProduct);
    textos->addWidget(lblProductName);
    textos->addWidget(lblTitle);
    textos->addStretch();
    textos->addWidget(lblVersion);

    auto* fila = new QHBoxLayout(marco);
    fila->setContentsMargins(24, 24, 24, 24);
    fila->setSpacing(24);
    fila->addWidget(imgLogo, 0, Qt::AlignTop);
    fila->addLayout(textos, 1);
    PonerTextos();
}

void FrmSplash::PonerTextos() {
    lblVersion->setText(T("000004", "Versión") + QStringLiteral(" %1.%2.%3")
                                                     .arg(BASCORA_VERSION_MAJOR)
                                                     .arg(BASCORA_VERSION_MINOR)
                                                     .arg(BASCORA_VERSION_REVISION));
    lblCompanyProduct->setText(T("016001", "Indicadores de pesaje Vela y Mirto"));
    lblTitle->setText(T("016002", "Descarga de pesadas, códigos, recetas, tickets y reportes"));
}

void FrmSplash::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LanguageChange) PonerTextos();
    QWidget::changeEvent(evento);
}

void FrmSplash::MostrarYa() {
    adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        QRect zona = frameGeometry();
        zona.moveCenter(pantalla->availableGeometry().center());
        move(zona.topLeft());
    }
    show();
    raise();
    // One pass so the window is painted before the start-up reads block the event loop.
    QApplication::processEvents();
}
