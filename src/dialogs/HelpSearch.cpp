#include "dialogs/HelpSearch.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace quorvane::dialogs {

namespace {

// The text a reader sees: the markup dropped, the entities the help uses read.
QString PlainText(QString html) {
    static const QRegularExpression head(QStringLiteral("<head>.*</head>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    html.remove(head).replace(tag, QStringLiteral(" "));
    return html.replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"))
        .simplified();
}

QString Title(const QString& html, const QString& fallback) {
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    const QRegularExpressionMatch match = title.match(html);
    return match.hasMatch() ? match.captured(1) : fallback;
}

}  // namespace

QList<HelpHit> SearchHelp(const QString& folder, const QString& words) {
    const QStringList wanted = words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<HelpHit> hits;
    if (wanted.isEmpty()) {
        return hits;
    }
    const QDir dir(folder);
    for (const QString& page : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile file(dir.filePath(page));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString html = QString::fromUtf8(file.readAll());
        const QString text = PlainText(html);
        int count = 0;
        bool all = true;
        for (const QString& word : wanted) {
            const int n = static_cast<int>(text.count(word, Qt::CaseInsensitive));
            all = all && n > 0;
            count += n;
        }
        if (all) {
            hits.append({page, Title(html, page), count});
        }
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const HelpHit& a, const HelpHit& b) { return a.count > b.count; });
    return hits;
}

QString SearchResultsHtml(const QString& folderUrl, const QString& words,
                          const QList<HelpHit>& hits) {
    QString html = QStringLiteral("<html><body><h2>Search: %1</h2>\n").arg(words.toHtmlEscaped());
    if (hits.isEmpty()) {
        html += QStringLiteral("<p>No page of the help holds all of these words.</p>\n");
    } else {
        html += QStringLiteral("<ul>\n");
        for (const HelpHit& hit : hits) {
            html += QStringLiteral("<li><a href=\"%1/%2\">%3</a></li>\n")
                        .arg(folderUrl, hit.page, hit.title.toHtmlEscaped());
        }
        html += QStringLiteral("</ul>\n");
    }
    return html + QStringLiteral("<p><a href=\"%1/chord.html\">Contents</a></p></body></html>\n")
                      .arg(folderUrl);
}

}  // namespace quorvane::dialogs
