#pragma once
// The maker's web pages and OpenWebPage, which hands an address to the desktop's default handler.

#include <QString>
#include <QUrl>
#include <functional>

namespace quorvane::dialogs {

inline constexpr const char* kMakerSite = "http://www.brackenfold.example";
inline constexpr const char* kHomePagePath = "/index.htm";
inline constexpr const char* kUpdatesPagePath = "/chord_frameset.htm";

QString HomePageAddress();
QString UpdatesPageAddress();

// Opens a URL with the desktop's default action; the result says whether a handler took it.
using WebOpener = std::function<bool(const QUrl&)>;

// The desktop's own opener (QDesktopServices).
WebOpener DesktopWebOpener();

// Asks the opener (the desktop's when empty) to open the address. Nothing is reported when no
// handler exists.
void OpenWebPage(const QString& address, const WebOpener& opener = {});

}  // namespace quorvane::dialogs
