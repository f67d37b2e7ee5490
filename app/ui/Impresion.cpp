#include "app/ui/Impresion.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "base/Interaccion.h"
#include "settings/Idioma.h"

Q_LOGGING_CATEGORY(lcImpresion, "bascora.impresion")

namespace {

bool ForzarPdf() {
    return qEnvironmentVariable("BASCORA_IMPRESORA")
               .compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

// "Impresion-YYYYMMDD-HHMMSS.pdf" in the data folder; a second print within the same second
// gets a number instead of overwriting the first.
QString NombrePdfLibre() {
    const QString base = QStringLiteral("Impresion-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString ruta = QDir::current().absoluteFilePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(ruta); ++n)
        ruta = QDir::current().absoluteFilePath(base + QStringLiteral("-%1.pdf").arg(n));
    return ruta;
}

}  // namespace

Impresion::Impresion(Interaccion& interaccion, Destino destino)
    : interaccion_(interaccion), destino_(destino) {
    fuente_ = QFont(QStringLiteral("Courier"), 12);
}

Impresion::~Impresion() {
    if (pintor_) Terminar();
}

void Impresion::Fallo(const QString& detalle) {
    qCWarning(lcImpresion) << "printing failed:" << detalle;
    interaccion_.Avisar(
        TextoIdioma("020003", "No se pudo imprimir en") + QLatin1Char(' ') + detalle,
        TextoIdioma("005032", "Error"), Icono::Error);
}

bool Impresion::Iniciar(const QString& titulo) {
    if (pintor_) return true;
    impresora_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const bool aPdf =
        destino_ == Destino::Pdf || ForzarPdf() || QPrinterInfo::defaultPrinter().isNull();
    QString destinoTexto;
    if (aPdf) {
        rutaPdf_ = NombrePdfLibre();
        destinoTexto = QDir::toNativeSeparators(rutaPdf_);
        // QPrinter says nothing about why a file cannot be written; ask the file itself.
        QFile prueba(rutaPdf_);
        if (!prueba.open(QIODevice::WriteOnly)) {
            Fallo(destinoTexto + QStringLiteral(" (") + prueba.errorString() + QLatin1Char(')'));
            impresora_.reset();
            return false;
        }
        prueba.close();
        impresora_->setOutputFormat(QPrinter::PdfFormat);
        impresora_->setOutputFileName(rutaPdf_);
        impresora_->setPageSize(QPageSize(QPageSize::A4));
        impresora_->setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    } else {
        destinoTexto = impresora_->printerName();
    }
    if (!titulo.isEmpty()) impresora_->setDocName(titulo);

    pintor_ = std::make_unique<QPainter>();
    if (!pintor_->begin(impresora_.get())) {
        pintor_.reset();
        impresora_.reset();
        if (aPdf) QFile::remove(rutaPdf_);
        Fallo(destinoTexto);
        return false;
    }
    y_ = 0;
    columna_ = 1;
    lineaAbierta_ = false;
    AplicarFuente();
    return true;
}

void Impresion::Fuente(const QString& nombre, double puntos) {
    fuente_.setFamily(nombre);
    fuente_.setPointSizeF(puntos);
    if (pintor_) AplicarFuente();
}

void Impresion::Negrita(bool activa) {
    fuente_.setBold(activa);
    if (pintor_) pintor_->setFont(fuente_);
}

void Impresion::AplicarFuente() {
    // Whatever face stands in for the name asked for, it has to keep the columns.
    fuente_.setStyleHint(QFont::TypeWriter);
    fuente_.setFixedPitch(true);
    const double ancho = impresora_->pageRect(QPrinter::DevicePixel).width();
    QFontMetricsF metricas(fuente_, impresora_.get());
    double avance = metricas.horizontalAdvance(QLatin1Char('0'));
    if (columnasMinimas_ > 0 && avance * columnasMinimas_ > ancho) {
        fuente_.setPointSizeF(fuente_.pointSizeF() * ancho / (avance * columnasMinimas_) * 0.995);
        metricas = QFontMetricsF(fuente_, impresora_.get());
        avance = metricas.horizontalAdvance(QLatin1Char('0'));
    }
    anchoColumna_ = avance;
    altoLinea_ = metricas.lineSpacing();
    ascenso_ = metricas.ascent();
    pintor_->setFont(fuente_);
}

void Impresion::NuevaLinea() {
    y_ += altoLinea_;
    columna_ = 1;
    lineaAbierta_ = false;
    if (y_ + altoLinea_ > impresora_->pageRect(QPrinter::DevicePixel).height()) {
        impresora_->newPage();
        y_ = 0;
    }
}

void Impresion::Tab(int columna) {
    if (!pintor_) return;
    columna = qMax(columna, 1);
    if (columna < columna_) NuevaLinea();
    columna_ = columna;
    lineaAbierta_ = true;
}

void Impresion::Imprimir(const QString& texto, bool seguir) {
    if (!pintor_) return;
    if (!texto.isEmpty()) {
        pintor_->drawText(QPointF((columna_ - 1) * anchoColumna_, y_ + ascenso_), texto);
        columna_ += texto.size();
        lineaAbierta_ = true;
    }
    if (!seguir) NuevaLinea();
}

void Impresion::NuevaPagina() {
    if (!pintor_) return;
    impresora_->newPage();
    y_ = 0;
    columna_ = 1;
    lineaAbierta_ = false;
}

bool Impresion::Terminar() {
    if (!pintor_) return false;
    const bool bien = pintor_->end();
    pintor_.reset();
    const QString nombre = impresora_->printerName();
    impresora_.reset();
    if (!rutaPdf_.isEmpty()) {
        const QFileInfo info(rutaPdf_);
        if (!bien || !info.exists() || info.size() == 0) {
            Fallo(QDir::toNativeSeparators(rutaPdf_));
            return false;
        }
        interaccion_.Avisar(TextoIdioma("020001", "La impresión se guardó en el archivo") +
                                QLatin1Char(' ') + QDir::toNativeSeparators(rutaPdf_),
                            TextoIdioma("020002", "Impresión"), Icono::Informacion);
        return true;
    }
    if (!bien) {
        Fallo(nombre);
        return false;
    }
    return true;
}
