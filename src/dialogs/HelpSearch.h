#pragma once
// Searching the help: the pages of the help document whose text holds every word asked for,
// and the page of results the help viewer shows.

#include <QList>
#include <QString>

namespace quorvane::dialogs {

struct HelpHit {
    QString page;   // file name inside the help folder
    QString title;  // the page's title
    int count = 0;  // how often the words occur on it
};

// The pages (*.html) in `folder` whose text, without its markup, holds every word of `words`
// (any case), most occurrences first. No words, no pages.
QList<HelpHit> SearchHelp(const QString& folder, const QString& words);

// The results as a page of links into `folder` ("qrc:/help" style addresses).
QString SearchResultsHtml(const QString& folderUrl, const QString& words,
                          const QList<HelpHit>& hits);

}  // namespace quorvane::dialogs
