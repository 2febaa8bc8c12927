// The data module's small services: what it does when created, the diagnostic log hook, the
// per-company feature flags and the rounding of scores.

#include "data/DAcSemaf.h"

#include "framework/dataset/CompanyCountry.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"

#include <cmath>

QString TDtmAcSemaf::Recortar(const QString &texto)
{
    int inicio = 0;
    int fin = texto.size();
    while (inicio < fin && texto.at(inicio).unicode() <= ' ')
        ++inicio;
    while (fin > inicio && texto.at(fin - 1).unicode() <= ' ')
        --fin;
    return texto.mid(inicio, fin - inicio);
}

void TDtmAcSemaf::DataModuleCreate(QObject *)
{
    // The positions of the selected employee start empty, from their declared fields.
    if (CdsCargUsuario.Active())
        CdsCargUsuario.Close();
    CdsCargUsuario.FieldDefs().Clear();
    CdsCargUsuario.CreateDataSet();

    QryAcPprom.AfterOpen = [this](TDataSet *dataSet) { QryAcPpromAfterOpen(dataSet); };
    QryAcPprom.AfterScroll = [this](TDataSet *dataSet) { QryAcPpromAfterScroll(dataSet); };
}

void TDtmAcSemaf::BanderaLog(const QString &, bool)
{
    // The hook stays in place for diagnostics; it writes and shows nothing.
}

QVariant TDtmAcSemaf::VerNexoFlags(const QString &pStCodVari)
{
    QryGnNexof.Close();
    try {
        QryGnNexof.ParamByName(QStringLiteral("PCODVARI"))->setAsString(pStCodVari);
        QryGnNexof.ParamByName(QStringLiteral("PCODPAIS"))->setAsSmallInt(companyCountry());
        QryGnNexof.ParamByName(QStringLiteral("PCODEMPR"))->setAsSmallInt(currentCompany());
        QryGnNexof.Open();
        QString valor = QStringLiteral("N");
        if (!QryGnNexof.IsEmpty())
            valor = Recortar(QryGnNexof.FieldByName(QStringLiteral("VAL_VARI"))->AsString());
        QryGnNexof.Close();
        return valor;
    } catch (const std::exception &error) {
        QString codigo = pStCodVari;
        codigo.replace(QLatin1Char('\''), QStringLiteral("''"));
        const auto *conMensaje = dynamic_cast<const Exception *>(&error);
        throw Exception(QStringLiteral("Error leyendo NEXOFLAG '%1': %2")
                            .arg(codigo, conMensaje ? conMensaje->Message()
                                                    : QString::fromLocal8Bit(error.what())));
    }
}

long double TDtmAcSemaf::RoundDecimals(long double pDoValue, quint8 pByNumDec)
{
    // Divided by 10^-n rather than multiplied by 10^n, in extended precision; the quotient is
    // rounded to the nearest 64-bit integer, an exact half to the even neighbour.
    const long double escala = std::pow(10.0L, -static_cast<long double>(pByNumDec));
    const auto entero = static_cast<qint64>(std::nearbyint(pDoValue / escala));
    return static_cast<long double>(entero) * escala;
}

// The country of the session's company: the main form keeps it with its company data; without a
// main form, the company list it handed over answers.
int TDtmAcSemaf::companyCountry() const
{
    if (Forma)
        return Forma->CodigoPaisEmpresa();
    if (!m_listaEmpresas)
        throw Exception(QStringLiteral("No se conoce el país de la empresa %1: no hay lista de empresas.")
                            .arg(currentCompany()));
    return companyCountryCode(*m_listaEmpresas, currentCompany());
}
