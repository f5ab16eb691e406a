#pragma once
// HEAD requests for the web addresses of a link check: many in flight at once, each
// with a timeout, so a thousand links to a silent server cost one timeout, not a
// thousand. The caller's thread runs an event loop meanwhile: windows stay responsive,
// progress is shown and the user may stop the work.

#include <QHash>
#include <QNetworkProxy>
#include <QString>
#include <QStringList>

namespace arbor {
class Progress;
}

namespace arbor::web {

struct HeadResult {
    bool reached = false;  // response headers came back and the status says the page is there
    int status = 0;        // HTTP status, 0 when none came
    QString finding;  // what the row shows: "HTTP 200", "応答がありません (10 秒)", ...
};

struct HeadOptions {
    int timeoutMs = 10000;  // per request, redirects included
    int inFlight = 16;      // requests at once
    int perHost = 4;        // requests at once to one host
    QNetworkProxy proxy = QNetworkProxy(QNetworkProxy::NoProxy);
};

// Whether the value is a web address the check sends a request for ("http:" or
// "https:", any case).
bool isWebAddress(const QString& value);

// Sends one HEAD request per distinct address (the fragment does not count) and waits
// for all of them. Addresses that cannot be sent (no host, not http) get their finding
// at once. When a host did not answer or refused, its addresses still waiting get the
// same finding without a request of their own. cancelled is set when the progress asked
// to stop; the results then hold only what was answered.
QHash<QString, HeadResult> sendHeadRequests(const QStringList& addresses,
                                            const HeadOptions& options, bool& cancelled);

}  // namespace arbor::web
