#include "dialogs/WebLinks.h"

#include <QDesktopServices>

namespace quorvane::dialogs {

QString HomePageAddress() {
    return QString::fromLatin1(kMakerSite) + QString::fromLatin1(kHomePagePath);
}

QString UpdatesPageAddress() {
    return QString::fromLatin1(kMakerSite) + QString::fromLatin1(kUpdatesPagePath);
}

WebOpener DesktopWebOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void OpenWebPage(const QString& address, const WebOpener& opener) {
    const QUrl url(address);
    // The result is ignored: a missing handler is not this program's failure to report.
    if (opener) {
        (void)opener(url);
    } else {
        (void)QDesktopServices::openUrl(url);
    }
}

}  // namespace quorvane::dialogs
