#include "net/UHttpPost.h"

#include "settings/USystem.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrlQuery>

QString ServerScriptAddress(const QString &base, const QString &script)
{
    if (base.isEmpty() || base.endsWith(QLatin1Char('/')))
        return base + script;
    return base + QLatin1Char('/') + script;
}

THttpClient::THttpClient(QObject *parent) : QObject(parent), m_manager(new QNetworkAccessManager(this)) {}

THttpClient::~THttpClient()
{
    AbandonAll();
}

bool THttpClient::DestinationAllowed(const QUrl &url, QString &why)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        why = QStringLiteral("keine HTTP-Adresse");
        return false;
    }
    if (!SudokuEnv().LoopbackOnly)
        return true;
    const QHostAddress addr(url.host());
    if (addr.protocol() != QAbstractSocket::IPv4Protocol ||
        !addr.isInSubnet(QHostAddress(QStringLiteral("127.0.0.0")), 8)) {
        why = QStringLiteral("nur Loopback erlaubt");
        return false;
    }
    return true;
}

void THttpClient::Post(const QString &address, const TFields &fields, TDone done)
{
    const QUrl url(address);
    QString why;
    if (!DestinationAllowed(url, why)) {
        THttpResult r;
        r.Refused = true;
        r.Error = why;
        // Still later, as for a request that was sent: callers see one order.
        QTimer::singleShot(0, this, [done = std::move(done), r] { done(r); });
        return;
    }
    if (SudokuEnv().LoopbackOnly)
        m_manager->setProxy(QNetworkProxy::NoProxy);

    QUrlQuery form;
    for (const auto &[name, value] : fields)
        form.addQueryItem(name, value);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    // A redirect could lead anywhere; the server answers at the address it was given.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(TimeoutMs);
    QNetworkReply *reply = m_manager->post(request, form.toString(QUrl::FullyEncoded).toLatin1());
    m_pending.push_back({reply, std::move(done)});

    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > MaxReplyBytes) {
            THttpResult r;
            r.Error = QStringLiteral("Antwort zu lang");
            finish(reply, r);
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        THttpResult r;
        r.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError) {
            r.Error = reply->errorString();
        } else if (r.Status < 200 || r.Status > 299) {
            r.Error = QStringLiteral("HTTP-Status %1").arg(r.Status);
        } else {
            r.Body = reply->readAll();
            r.Ok = r.Body.size() <= MaxReplyBytes;
            if (!r.Ok) {
                r.Body.clear();
                r.Error = QStringLiteral("Antwort zu lang");
            }
        }
        finish(reply, r);
    });
}

void THttpClient::finish(QNetworkReply *reply, THttpResult result)
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if (it->Reply != reply)
            continue;
        TDone done = std::move(it->Done);
        m_pending.erase(it);
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        if (done)
            done(result);
        return;
    }
}

void THttpClient::AbandonAll()
{
    std::vector<TPending> pending;
    pending.swap(m_pending);
    for (TPending &p : pending) {
        p.Reply->disconnect(this);
        p.Reply->abort();
        p.Reply->deleteLater();
    }
}
