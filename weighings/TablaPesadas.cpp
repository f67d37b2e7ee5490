#include "weighings/TablaPesadas.h"

#include "app/Globales.h"
#include "data/CDatos.h"
#include "weighings/Sumideros.h"

QVariant ValorNumericoInicial(const QString& texto) {
    int i = 0;
    while (i < texto.size() && (texto.at(i) == u' ' || texto.at(i) == u'\t')) ++i;
    const int inicio = i;
    if (i < texto.size() && (texto.at(i) == u'-' || texto.at(i) == u'+')) ++i;
    const int digitos = i;
    while (i < texto.size() && texto.at(i) >= u'0' && texto.at(i) <= u'9') ++i;
    bool entero = true;
    if (i < texto.size() && texto.at(i) == u'.' && i + 1 < texto.size() &&
        texto.at(i + 1) >= u'0' && texto.at(i + 1) <= u'9') {
        entero = false;
        ++i;
        while (i < texto.size() && texto.at(i) >= u'0' && texto.at(i) <= u'9') ++i;
    }
    if (i == digitos) return QVariant(0LL);
    const QString numero = texto.mid(inicio, i - inicio);
    if (entero) {
        bool bien = false;
        const long long v = numero.toLongLong(&bien);
        if (bien) return QVariant(v);
    }
    return QVariant(numero.toDouble());
}

TablaPesadas::TablaPesadas() = default;
TablaPesadas::~TablaPesadas() {
    Abortar();
}

void TablaPesadas::Abrir() {
    datos_ = std::make_unique<CDatos>();
    try {
        datos_->AbrirBase(DataCSReporte);
        datos_->AbreRegistro(QStringLiteral("SELECT * FROM ") + DataTbReporte +
                             QStringLiteral(" ORDER BY Lote,Numero ASC"));
    } catch (const ErrorBase& e) {
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
    // Opening fails silently; find out now rather than at the first row.
    if (!datos_->Registro.Abierto()) {
        throw ErrorAlmacenamiento(
            QStringLiteral("tabla de pesadas no disponible: ") + DataTbReporte, false);
    }
}

void TablaPesadas::Agregar(const Pesada& p) {
    RegistroDatos& r = datos_->Registro;
    try {
        r.AddNew();
        r.AsignarCampo(QStringLiteral("Lote"), p.Lote);
        r.AsignarCampo(QStringLiteral("Numero"), p.Numero);
        r.AsignarCampo(QStringLiteral("Fecha"), p.Fecha);
        r.AsignarCampo(QStringLiteral("Hora"), p.Hora);
        r.AsignarCampo(QStringLiteral("Peso"), p.Peso);
        for (int j = 1; j <= 5; ++j) {
            r.AsignarCampo(QStringLiteral("Codigo%1").arg(j),
                           ValorNumericoInicial(p.Codigo[j - 1]));
        }
        r.Update();
    } catch (const ErrorBase& e) {
        try {
            r.CancelUpdate();  // the refused row must not be stored by a later Update
        } catch (const ErrorBase&) {
        }
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
}

void TablaPesadas::Cerrar() {
    if (!datos_) return;
    try {
        datos_->CierraRegistro();
        datos_->CerrarBase();
    } catch (const ErrorBase& e) {
        datos_.reset();
        throw ErrorAlmacenamiento(e.descripcion(), e.esClaveDuplicada());
    }
    datos_.reset();
}

void TablaPesadas::Abortar() noexcept {
    if (!datos_) return;
    try {
        datos_->Registro.CancelUpdate();
    } catch (...) {
    }
    try {
        datos_->CierraRegistro();
    } catch (...) {
    }
    try {
        datos_->CerrarBase();
    } catch (...) {
    }
    datos_.reset();
}
