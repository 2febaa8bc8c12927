#include "framework/connection/BlockingHttpClient.h"

#include <curl/curl.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstring>

struct BlockingHttpClient::Transfer {
    Response *response = nullptr;
    qint64 maxBytes = 0;
    bool tooLarge = false;
};

namespace {

CURL *handleOf(void *curl)
{
    return static_cast<CURL *>(curl);
}

void initCurlOnce()
{
    static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialized);
}

size_t takeBody(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<BlockingHttpClient::Transfer *>(user);
    const size_t bytes = size * count;
    QByteArray &body = transfer->response->body;
    if (body.size() + qint64(bytes) > transfer->maxBytes) {
        transfer->tooLarge = true;
        return 0;   // anything short of `bytes` ends the transfer
    }
    body.append(data, qsizetype(bytes));
    return bytes;
}

size_t takeHeader(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<BlockingHttpClient::Transfer *>(user);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, qsizetype(bytes)).trimmed();
    // Each status line starts the headers of a new answer (an interim one may come first).
    if (line.startsWith("HTTP/")) {
        transfer->response->headers.clear();
    } else if (const int colon = line.indexOf(':'); colon > 0) {
        transfer->response->headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    return bytes;
}

// The extra authorities join the ones libcurl has already loaded from the system.
CURLcode addAuthorities(CURL *, void *sslContext, void *caFile)
{
    X509_STORE *store = SSL_CTX_get_cert_store(static_cast<SSL_CTX *>(sslContext));
    const QByteArray file = static_cast<const QString *>(caFile)->toLocal8Bit();
    return X509_STORE_load_locations(store, file.constData(), nullptr) == 1 ? CURLE_OK : CURLE_SSL_CACERT_BADFILE;
}

// Why a certificate was refused, worded as Qt's own TLS errors are, so that the reason reads the
// same as in the rest of the workstation's messages.
QString certificateProblem(long verifyResult)
{
    switch (verifyResult) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        return QStringLiteral("The certificate is self-signed, and untrusted");
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        return QStringLiteral("The root certificate of the certificate chain is self-signed, and untrusted");
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        return QStringLiteral("The issuer certificate could not be found");
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        return QStringLiteral("The issuer certificate of a locally looked up certificate could not be found");
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return QStringLiteral("No certificates could be verified");
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return QStringLiteral("The certificate is not yet valid");
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return QStringLiteral("The certificate has expired");
    case X509_V_ERR_CERT_REVOKED:
        return QStringLiteral("The certificate has been revoked");
    case X509_V_ERR_CERT_UNTRUSTED:
        return QStringLiteral("The root CA certificate is not trusted for this purpose");
    case X509_V_OK:   // the chain held; the name did not
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return QStringLiteral("The host name did not match any of the valid hosts for this certificate");
    default:
        return QString::fromLatin1(X509_verify_cert_error_string(verifyResult));
    }
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 kMegabyte = 1024 * 1024;
    return bytes >= kMegabyte && bytes % kMegabyte == 0 ? QStringLiteral("%1 MB").arg(bytes / kMegabyte)
                                                        : QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace

BlockingHttpClient::BlockingHttpClient(QString host, quint16 port, int timeoutMs, Tls tls)
    : m_host(std::move(host)), m_port(port), m_timeoutMs(timeoutMs), m_tls(std::move(tls))
{
    initCurlOnce();
    m_curl = curl_easy_init();
    CURL *curl = handleOf(m_curl);
    if (!curl)
        return;   // post() says so
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");   // the server is reached directly, whatever the environment says
    curl_easy_setopt(curl, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_timeoutMs));
    // A server that sends nothing for the whole timeout has stopped answering.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(qMax(1, (m_timeoutMs + 999) / 1000)));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &takeBody);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &takeHeader);
    if (m_tls.enabled) {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!m_tls.caFile.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &addAuthorities);
            curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &m_tls.caFile);
        }
    }
}

BlockingHttpClient::~BlockingHttpClient()
{
    curl_easy_cleanup(handleOf(m_curl));
}

BlockingHttpClient::Response BlockingHttpClient::post(const QString &path, const QByteArray &body,
                                                      const QByteArray &bearer)
{
    Response response;
    Transfer transfer{&response, m_maxAnswerBytes, false};
    CURL *curl = handleOf(m_curl);
    if (!curl) {
        response.error = QStringLiteral("No se pudo preparar la conexión con el servidor de aplicaciones %1 (sin "
                                        "memoria para libcurl); la operación no se completó.").arg(where());
        return response;
    }
    const QString hostInUrl = m_host.contains(QLatin1Char(':')) ? QLatin1Char('[') + m_host + QLatin1Char(']') : m_host;
    const QByteArray url = (m_tls.enabled ? QByteArrayLiteral("https://") : QByteArrayLiteral("http://"))
                           + hostInUrl.toLatin1() + ':' + QByteArray::number(m_port) + path.toLatin1();
    curl_slist *headers = curl_slist_append(nullptr, "Content-Type: application/json");
    headers = curl_slist_append(headers, "Expect:");   // the body goes at once, without asking first
    if (!bearer.isEmpty())
        headers = curl_slist_append(headers, QByteArray("Authorization: Bearer " + bearer).constData());
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_maxAnswerBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    if (code != CURLE_OK) {
        response = Response();
        response.error = failure(code, transfer);
        return response;
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    response.status = int(status);
    if (response.status == 0)
        response.error = QStringLiteral("El servidor de aplicaciones dio una respuesta que no se entiende.");
    return response;
}

QString BlockingHttpClient::where() const
{
    return QStringLiteral("%1:%2").arg(m_host).arg(m_port);
}

QString BlockingHttpClient::failure(int code, const Transfer &transfer) const
{
    CURL *curl = handleOf(m_curl);
    const auto notConnected = [&](const QString &reason) {
        return QStringLiteral("No se pudo conectar con el servidor de aplicaciones %1 (%2); la operación no se completó.")
            .arg(where(), reason);
    };
    const auto lost = [&] {
        return QStringLiteral("Se perdió la conexión con el servidor de aplicaciones %1; la operación no se completó.")
            .arg(where());
    };
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return notConnected(QStringLiteral("Host not found"));
    case CURLE_COULDNT_CONNECT: {
        long systemError = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &systemError);
        return notConnected(systemError ? QString::fromLocal8Bit(std::strerror(int(systemError)))
                                        : QString::fromLatin1(curl_easy_strerror(CURLcode(code))));
    }
    case CURLE_OPERATION_TIMEDOUT: {
        curl_off_t connected = 0;
        curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
        if (connected == 0)
            return notConnected(QStringLiteral("Socket operation timed out"));
        return QStringLiteral("El servidor de aplicaciones %1 no respondió a tiempo; la operación no se completó.")
            .arg(where());
    }
    case CURLE_PEER_FAILED_VERIFICATION: {
        long verifyResult = X509_V_OK;
        curl_easy_getinfo(curl, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
        return QStringLiteral("El certificado del servidor de aplicaciones %1 no es de confianza (%2); la operación no "
                              "se completó. Si lo firmó una autoridad propia, indique su certificado en la variable de "
                              "entorno QACSEMAF_CA_FILE (en la línea de órdenes, con --ca-file).")
            .arg(where(), certificateProblem(verifyResult));
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
        return notConnected(QString::fromLatin1(curl_easy_strerror(CURLcode(code))));
    case CURLE_FILESIZE_EXCEEDED:
        return QStringLiteral("La respuesta del servidor de aplicaciones %1 supera el máximo de %2; la operación no "
                              "se completó.").arg(where(), sizeText(m_maxAnswerBytes));
    case CURLE_WRITE_ERROR:
        if (transfer.tooLarge)
            return failure(CURLE_FILESIZE_EXCEEDED, transfer);
        return lost();
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return lost();
    default:
        return QStringLiteral("El servidor de aplicaciones dio una respuesta que no se entiende.");
    }
}

bool BlockingHttpClient::holdsCertificates(const QString &file)
{
    BIO *input = BIO_new_file(file.toLocal8Bit().constData(), "r");
    if (!input)
        return false;
    X509 *certificate = PEM_read_bio_X509(input, nullptr, nullptr, nullptr);
    const bool found = certificate != nullptr;
    X509_free(certificate);
    BIO_free(input);
    return found;
}
