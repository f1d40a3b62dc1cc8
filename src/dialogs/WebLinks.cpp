#include "dialogs/WebLinks.h"

#include <QDesktopServices>
#include <QUrl>

namespace quorvane::dialogs {

QString HomePageAddress() {
    return QString::fromLatin1(kMakerSite) + QString::fromLatin1(kHomePagePath);
}

QString UpdatesPageAddress() {
    return QString::fromLatin1(kMakerSite) + QString::fromLatin1(kUpdatesPagePath);
}

void OpenWebPage(const QString& address) {
    // The result is ignored: a missing handler is not this program's failure to report.
    (void)QDesktopServices::openUrl(QUrl(address));
}

}  // namespace quorvane::dialogs
