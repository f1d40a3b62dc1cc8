#pragma once
// The maker's web pages and OpenWebPage, which hands an address to the desktop's default handler.

#include <QString>

namespace quorvane::dialogs {

inline constexpr const char* kMakerSite = "http://www.brackenfold.example";
inline constexpr const char* kHomePagePath = "/index.htm";
inline constexpr const char* kUpdatesPagePath = "/chord_frameset.htm";

QString HomePageAddress();
QString UpdatesPageAddress();

// Opens the address with the desktop's default action. Nothing is reported when no handler
// exists.
void OpenWebPage(const QString& address);

}  // namespace quorvane::dialogs
