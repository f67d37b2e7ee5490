#include "app/ui/Impresion.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QFormLayout>
#include <QLoggingCategory>
#include <QMutex>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <optional>

#include "base/Interaccion.h"
#include "settings/Config.h"
#include "settings/ContextoCarpeta.h"
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
    const QDir carpeta(ContextoCarpeta::actual().carpeta());
    const QString base = QStringLiteral("Impresion-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString ruta = carpeta.absoluteFilePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(ruta); ++n)
        ruta = carpeta.absoluteFilePath(base + QStringLiteral("-%1.pdf").arg(n));
    return ruta;
}

bool HayImpresora() {
    return !ForzarPdf() && !QPrinterInfo::defaultPrinter().isNull();
}

// A printer that cannot take the paper still gets the orientation and the margins.
void AplicarDiseno(QPrinter& impresora, const QPageLayout& diseno) {
    if (impresora.setPageLayout(diseno)) return;
    qCInfo(lcImpresion) << "the printer refused the page set-up" << diseno;
    impresora.setPageOrientation(diseno.orientation());
    impresora.setPageMargins(diseno.margins(QPageLayout::Millimeter), QPageLayout::Millimeter);
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
    const bool aPdf = destino_ == Destino::Pdf || !HayImpresora();
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
    } else {
        destinoTexto = impresora_->printerName();
    }
    AplicarDiseno(*impresora_, DisenoPagina());
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
    paginaUsada_ = false;
    saltoPendiente_ = false;
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

double Impresion::AltoPagina() const {
    return impresora_->pageRect(QPrinter::DevicePixel).height();
}

int Impresion::LineasPorPagina() const {
    if (!pintor_ || altoLinea_ <= 0) return 0;
    return static_cast<int>(std::floor(AltoPagina() / altoLinea_));
}

void Impresion::NuevaLinea() {
    y_ += altoLinea_;
    columna_ = 1;
}

void Impresion::AntesDeDibujar() {
    // Empty lines that ran past the bottom are dropped with the page they would have ended.
    if (y_ + altoLinea_ > AltoPagina()) {
        y_ = 0;
        if (paginaUsada_) saltoPendiente_ = true;
    }
    if (saltoPendiente_) {
        impresora_->newPage();
        saltoPendiente_ = false;
    }
    paginaUsada_ = true;
}

void Impresion::Tab(int columna) {
    if (!pintor_) return;
    columna = qMax(columna, 1);
    if (columna < columna_) NuevaLinea();
    columna_ = columna;
}

void Impresion::Imprimir(const QString& texto, bool seguir) {
    if (!pintor_) return;
    if (!texto.isEmpty()) {
        AntesDeDibujar();
        pintor_->drawText(QPointF((columna_ - 1) * anchoColumna_, y_ + ascenso_), texto);
        columna_ += texto.size();
    }
    if (!seguir) NuevaLinea();
}

void Impresion::NuevaPagina() {
    if (!pintor_) return;
    y_ = 0;
    columna_ = 1;
    if (paginaUsada_) saltoPendiente_ = true;
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

// ---- Page set-up ---------------------------------------------------------------------------

namespace {

const QString kSeccion = QStringLiteral("Impresion");
constexpr double kMargenDefecto = 10;
constexpr double kMinimoImprimible = 20;  // mm left between the margins, each way

QString TextoMm(double mm) {
    return QLocale::c().toString(mm, 'f', QLocale::FloatingPointShortest);
}

QPageLayout DisenoMm(const QPageSize& papel, QPageLayout::Orientation orientacion,
                     const QMarginsF& margenes) {
    return QPageLayout(papel, orientacion, margenes, QPageLayout::Millimeter);
}

// A paper name as QPageSize knows it ("A4", "Letter"), or width x height in mm.
QPageSize PapelDeTexto(const QString& texto) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto cual = static_cast<QPageSize::PageSizeId>(id);
        if (cual != QPageSize::Custom &&
            QPageSize::key(cual).compare(texto.trimmed(), Qt::CaseInsensitive) == 0)
            return QPageSize(cual);
    }
    const QStringList lados = texto.toLower().split(QLatin1Char('x'));
    bool anchoBien = false;
    bool altoBien = false;
    const double ancho = lados.value(0).trimmed().toDouble(&anchoBien);
    const double alto = lados.value(1).trimmed().toDouble(&altoBien);
    if (lados.size() == 2 && anchoBien && altoBien && ancho >= 50 && alto >= 50 && ancho <= 2000 &&
        alto <= 2000)
        return QPageSize(QSizeF(ancho, alto), QPageSize::Millimeter);
    return QPageSize(QPageSize::A4);
}

QString TextoDePapel(const QPageSize& papel) {
    if (papel.id() != QPageSize::Custom) return papel.key();
    const QSizeF mm = papel.size(QPageSize::Millimeter);
    return TextoMm(mm.width()) + QLatin1Char('x') + TextoMm(mm.height());
}

// Four margins that leave room to print on this paper; none otherwise.
std::optional<QMarginsF> MargenesDeTexto(const QString& texto, const QSizeF& hoja) {
    const QStringList partes = texto.split(QLatin1Char(','));
    if (partes.size() != 4) return std::nullopt;
    std::array<double, 4> v{};
    for (int i = 0; i < 4; ++i) {
        bool bien = false;
        v[i] = QLocale::c().toDouble(partes[i].trimmed(), &bien);
        if (!bien || v[i] < 0) return std::nullopt;
    }
    const QMarginsF m(v[0], v[1], v[2], v[3]);
    if (hoja.width() - m.left() - m.right() < kMinimoImprimible ||
        hoja.height() - m.top() - m.bottom() < kMinimoImprimible)
        return std::nullopt;
    return m;
}

QPageLayout LeerDisenoDeAjustes() {
    const QPageSize papel = PapelDeTexto(LeerConfig(kSeccion, QStringLiteral("Papel"), QString()));
    const auto orientacion =
        ValorEntero(LeerConfig(kSeccion, QStringLiteral("Orientacion"), QString())) == 1
            ? QPageLayout::Landscape
            : QPageLayout::Portrait;
    QSizeF hoja = papel.size(QPageSize::Millimeter);
    if (orientacion == QPageLayout::Landscape) hoja.transpose();
    const auto margenes =
        MargenesDeTexto(LeerConfig(kSeccion, QStringLiteral("Margenes"), QString()), hoja);
    return DisenoMm(papel, orientacion,
                    margenes.value_or(
                        QMarginsF(kMargenDefecto, kMargenDefecto, kMargenDefecto, kMargenDefecto)));
}

// The set-up in use, for the data folder it was read from (tests change folders).
struct DisenoEnUso {
    QMutex cerrojo;
    QString carpeta;
    std::optional<QPageLayout> diseno;
};

DisenoEnUso& EnUso() {
    static DisenoEnUso enUso;
    return enUso;
}

}  // namespace

QPageLayout DisenoPaginaPorDefecto() {
    return DisenoMm(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                    QMarginsF(kMargenDefecto, kMargenDefecto, kMargenDefecto, kMargenDefecto));
}

QPageLayout DisenoPagina() {
    DisenoEnUso& enUso = EnUso();
    const QString carpeta = ContextoCarpeta::actual().carpeta();
    QMutexLocker bloqueo(&enUso.cerrojo);
    if (!enUso.diseno || enUso.carpeta != carpeta) {
        enUso.diseno = LeerDisenoDeAjustes();
        enUso.carpeta = carpeta;
    }
    return *enUso.diseno;
}

bool GuardarDisenoPagina(const QPageLayout& diseno, QString* error) {
    const QPageLayout mm =
        DisenoMm(diseno.pageSize(), diseno.orientation(), diseno.margins(QPageLayout::Millimeter));
    {
        DisenoEnUso& enUso = EnUso();
        QMutexLocker bloqueo(&enUso.cerrojo);
        enUso.carpeta = ContextoCarpeta::actual().carpeta();
        enUso.diseno = mm;
    }
    const QMarginsF m = mm.margins();
    const QString margenes =
        QStringList{TextoMm(m.left()), TextoMm(m.top()), TextoMm(m.right()), TextoMm(m.bottom())}
            .join(QLatin1Char(','));
    return GuardarConfigSeccion(
        kSeccion,
        {{QStringLiteral("Papel"), TextoDePapel(mm.pageSize())},
         {QStringLiteral("Orientacion"),
          mm.orientation() == QPageLayout::Landscape ? QStringLiteral("1") : QStringLiteral("0")},
         {QStringLiteral("Margenes"), margenes}},
        error);
}

namespace {

// The same choices as the printer's dialog, for the PDF: Qt's own page set-up dialog only serves
// a real printer.
class DialogoPaginaPdf : public QDialog {
  public:
    DialogoPaginaPdf(QWidget* padre, const QPageLayout& diseno) : QDialog(padre) {
        setObjectName(QStringLiteral("dlgCommonDialog"));
        setWindowTitle(T("020004", "Configurar página"));
        auto* formulario = new QFormLayout;
        cmbPapel_ = new QComboBox(this);
        cmbPapel_->setObjectName(QStringLiteral("cmbPapel"));
        LlenarPapeles(diseno.pageSize());
        formulario->addRow(T("020005", "Papel:"), cmbPapel_);
        optVertical_ = new QRadioButton(T("020006", "Vertical"), this);
        optVertical_->setObjectName(QStringLiteral("optVertical"));
        optHorizontal_ = new QRadioButton(T("020007", "Horizontal"), this);
        optHorizontal_->setObjectName(QStringLiteral("optHorizontal"));
        (diseno.orientation() == QPageLayout::Landscape ? optHorizontal_ : optVertical_)
            ->setChecked(true);
        auto* orientacion = new QVBoxLayout;
        orientacion->addWidget(optVertical_);
        orientacion->addWidget(optHorizontal_);
        formulario->addRow(T("020008", "Orientación:"), orientacion);
        const QMarginsF m = diseno.margins(QPageLayout::Millimeter);
        margenesIniciales_ = m;
        const std::array<double, 4> valores{m.left(), m.top(), m.right(), m.bottom()};
        const std::array<QString, 4> nombres{
            T("020009", "Margen izquierdo (mm):"), T("020010", "Margen superior (mm):"),
            T("020011", "Margen derecho (mm):"), T("020012", "Margen inferior (mm):")};
        for (int i = 0; i < 4; ++i) {
            txtMargen_[i] = new QDoubleSpinBox(this);
            txtMargen_[i]->setObjectName(QStringLiteral("txtMargen_%1").arg(i));
            txtMargen_[i]->setRange(0, 100);
            txtMargen_[i]->setDecimals(1);
            txtMargen_[i]->setValue(valores[i]);
            formulario->addRow(nombres[i], txtMargen_[i]);
        }
        auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        botones->button(QDialogButtonBox::Ok)->setText(T("020013", "Aceptar"));
        botones->button(QDialogButtonBox::Cancel)->setText(T("020014", "Cancelar"));
        connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* todo = new QVBoxLayout(this);
        todo->addLayout(formulario);
        todo->addWidget(botones);
    }

    QPageLayout Diseno() const {
        const QPageSize papel = papeles_.value(cmbPapel_->currentIndex(), papeles_.first());
        const auto orientacion =
            optHorizontal_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
        QSizeF hoja = papel.size(QPageSize::Millimeter);
        if (orientacion == QPageLayout::Landscape) hoja.transpose();
        // Margins that leave no room to print are not taken: the previous ones stay.
        QMarginsF m(txtMargen_[0]->value(), txtMargen_[1]->value(), txtMargen_[2]->value(),
                    txtMargen_[3]->value());
        const auto validos = MargenesDeTexto(QStringList{TextoMm(m.left()), TextoMm(m.top()),
                                                         TextoMm(m.right()), TextoMm(m.bottom())}
                                                 .join(QLatin1Char(',')),
                                             hoja);
        return DisenoMm(papel, orientacion, validos.value_or(margenesIniciales_));
    }

  private:
    void LlenarPapeles(const QPageSize& actual) {
        const QPageSize::PageSizeId comunes[] = {
            QPageSize::A4,     QPageSize::A3,    QPageSize::A5,       QPageSize::B5,
            QPageSize::Letter, QPageSize::Legal, QPageSize::Executive};
        for (QPageSize::PageSizeId id : comunes) papeles_.append(QPageSize(id));
        qsizetype indice = -1;
        for (qsizetype i = 0; i < papeles_.size(); ++i)
            if (papeles_[i].isEquivalentTo(actual)) indice = i;
        if (indice < 0) {  // a paper set elsewhere stays on offer
            papeles_.append(actual);
            indice = papeles_.size() - 1;
        }
        for (const QPageSize& papel : papeles_) cmbPapel_->addItem(papel.name());
        cmbPapel_->setCurrentIndex(static_cast<int>(indice));
    }

    QList<QPageSize> papeles_;
    QComboBox* cmbPapel_;
    QRadioButton* optVertical_;
    QRadioButton* optHorizontal_;
    std::array<QDoubleSpinBox*, 4> txtMargen_{};
    QMarginsF margenesIniciales_;
};

}  // namespace

bool ElegirDisenoPagina(QWidget* padre, QPageLayout& diseno) {
    if (!HayImpresora()) {
        DialogoPaginaPdf dialogo(padre, diseno);
        if (dialogo.exec() != QDialog::Accepted) return false;
        diseno = dialogo.Diseno();
        return true;
    }
    QPrinter impresora;  // the default printer, so the dialog offers its papers
    AplicarDiseno(impresora, diseno);
    QPageSetupDialog dialogo(&impresora, padre);
    dialogo.setObjectName(QStringLiteral("dlgCommonDialog"));
    if (dialogo.exec() != QDialog::Accepted) return false;
    const QPageLayout elegido = impresora.pageLayout();
    diseno = DisenoMm(elegido.pageSize(), elegido.orientation(),
                      elegido.margins(QPageLayout::Millimeter));
    return true;
}
