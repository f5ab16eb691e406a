#include "web/head_requests.h"

#include <QEventLoop>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <deque>

#include "app/progress.h"

namespace arbor::web {

namespace {

struct Target {
    QUrl url;
    QString host;           // scheme, host and port: the unit that answers or stays silent
    QStringList addresses;  // the values given that lead here
};

bool startsWithCi(const QString& text, const QString& prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// 405 and 501 say the server is there but takes no HEAD: the page may well exist.
bool statusReached(int status) {
    return (status > 0 && status < 400) || status == 405 || status == 501;
}

QString seconds(int ms) {
    return QString::number((ms + 999) / 1000);
}

// The finding for a request that got no status; hostDown says the host itself failed.
QString errorFinding(QNetworkReply* reply, bool timedOut, int timeoutMs, bool& hostDown) {
    hostDown = false;
    if (timedOut) {
        hostDown = true;
        return QStringLiteral("応答がありません (") + seconds(timeoutMs) + QStringLiteral(" 秒)");
    }
    switch (reply->error()) {
        case QNetworkReply::ConnectionRefusedError:
            hostDown = true;
            return QStringLiteral("接続を拒否されました");
        case QNetworkReply::HostNotFoundError:
            hostDown = true;
            return QStringLiteral("ﾎｽﾄが見つかりません");
        case QNetworkReply::RemoteHostClosedError:
            return QStringLiteral("応答の前に接続が切れました");
        case QNetworkReply::TooManyRedirectsError:
        case QNetworkReply::InsecureRedirectError:
            return QStringLiteral("転送先をたどれません (") + reply->errorString() + u')';
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral("暗号化の接続ができません (") + reply->errorString() + u')';
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyConnectionClosedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::ProxyTimeoutError:
        case QNetworkReply::ProxyAuthenticationRequiredError:
        case QNetworkReply::UnknownProxyError:
            return QStringLiteral("ﾌﾟﾛｷｼ経由で接続できません (") + reply->errorString() + u')';
        default:
            return QStringLiteral("応答が不正です (") + reply->errorString() + u')';
    }
}

class HeadRun {
  public:
    HeadRun(const HeadOptions& options, QHash<QString, HeadResult>& results)
        : options_(options), results_(results) {
        manager_.setProxy(options.proxy);
        manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }

    void add(const QString& address) {
        QUrl url(address.trimmed(), QUrl::TolerantMode);
        url.setFragment(QString());
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || url.host().isEmpty() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
            results_.insert(address, {false, 0, QStringLiteral("ｱﾄﾞﾚｽが不正です")});
            return;
        }
        const QString key = url.toString(QUrl::FullyEncoded);
        auto it = byKey_.find(key);
        if (it == byKey_.end()) {
            targets_.push_back(
                {url,
                 scheme + QStringLiteral("://") + url.host().toLower() + u':' +
                     QString::number(url.port(scheme == QLatin1String("https") ? 443 : 80)),
                 {}});
            it = byKey_.insert(key, static_cast<int>(targets_.size()) - 1);
            queue_.push_back(*it);
        }
        targets_[*it].addresses << address;
    }

    int total() const { return static_cast<int>(targets_.size()); }

    bool run() {
        if (targets_.empty())
            return true;
        QTimer poll;
        poll.setInterval(100);
        QObject::connect(&poll, &QTimer::timeout, &loop_, [this] {
            if (progress().cancelRequested()) {
                cancelled_ = true;
                const QSet<QNetworkReply*> running = running_;
                for (QNetworkReply* reply : running)
                    reply->abort();
                loop_.quit();
            }
        });
        poll.start();
        progress().step(0, total());
        startMore();
        if (done_ < total() && !cancelled_)
            loop_.exec();
        return !cancelled_;
    }

  private:
    void finish(int index, const HeadResult& result) {
        for (const QString& address : targets_[index].addresses)
            results_.insert(address, result);
        ++done_;
        progress().step(done_, total());
    }

    void startMore() {
        while (!cancelled_ && static_cast<int>(running_.size()) < options_.inFlight) {
            // The first waiting target whose host has room; a silent host's targets get
            // its finding at once.
            int pick = -1;
            for (size_t i = 0; i < queue_.size();) {
                const Target& t = targets_[queue_[i]];
                const auto down = downHosts_.constFind(t.host);
                if (down != downHosts_.constEnd()) {
                    HeadResult r = *down;
                    r.finding += QStringLiteral(" (同じﾎｽﾄ)");
                    const int index = queue_[i];
                    queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(i));
                    finish(index, r);
                    continue;
                }
                if (perHost_.value(t.host) < options_.perHost) {
                    pick = static_cast<int>(i);
                    break;
                }
                ++i;
            }
            if (pick < 0)
                break;
            const int index = queue_[static_cast<size_t>(pick)];
            queue_.erase(queue_.begin() + pick);
            start(index);
        }
        if (done_ >= total())
            loop_.quit();
    }

    void start(int index) {
        const Target& t = targets_[index];
        QNetworkRequest request(t.url);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Arbor link check"));
        QNetworkReply* reply = manager_.head(request);
        running_.insert(reply);
        ++perHost_[t.host];
        auto* timer = new QTimer(reply);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, reply, [reply] {
            reply->setProperty("timedOut", true);
            reply->abort();
        });
        timer->start(options_.timeoutMs);
        QObject::connect(reply, &QNetworkReply::finished, &loop_,
                         [this, reply, index] { answered(reply, index); });
    }

    void answered(QNetworkReply* reply, int index) {
        running_.remove(reply);
        reply->deleteLater();
        const Target& t = targets_[index];
        --perHost_[t.host];
        if (cancelled_)
            return;
        HeadResult r;
        const bool timedOut = reply->property("timedOut").toBool();
        r.status =
            timedOut ? 0 : reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (r.status > 0) {
            r.reached = statusReached(r.status);
            r.finding = QStringLiteral("HTTP ") + QString::number(r.status);
            const QString phrase =
                reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
            if (!phrase.isEmpty())
                r.finding += u' ' + phrase;
            QUrl finalUrl = reply->url();
            finalUrl.setFragment(QString());
            if (finalUrl != t.url)
                r.finding += QStringLiteral(" (転送先 ") + finalUrl.toString() + u')';
        } else {
            bool hostDown = false;
            r.finding = errorFinding(reply, timedOut, options_.timeoutMs, hostDown);
            if (hostDown && reply->url() == t.url)
                downHosts_.insert(t.host, r);
        }
        finish(index, r);
        startMore();
    }

    const HeadOptions& options_;
    QHash<QString, HeadResult>& results_;
    QNetworkAccessManager manager_;
    QEventLoop loop_;
    std::vector<Target> targets_;
    QHash<QString, int> byKey_;
    std::deque<int> queue_;
    QSet<QNetworkReply*> running_;
    QHash<QString, int> perHost_;
    QHash<QString, HeadResult> downHosts_;
    int done_ = 0;
    bool cancelled_ = false;
};

}  // namespace

bool isWebAddress(const QString& value) {
    const QString v = value.trimmed();
    return startsWithCi(v, QStringLiteral("http:")) || startsWithCi(v, QStringLiteral("https:"));
}

QHash<QString, HeadResult> sendHeadRequests(const QStringList& addresses,
                                            const HeadOptions& options, bool& cancelled) {
    QHash<QString, HeadResult> results;
    HeadRun run(options, results);
    QSet<QString> seen;
    for (const QString& address : addresses)
        if (!seen.contains(address)) {
            seen.insert(address);
            run.add(address);
        }
    cancelled = !run.run();
    return results;
}

}  // namespace arbor::web
