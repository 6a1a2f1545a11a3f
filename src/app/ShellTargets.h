#pragma once

#include <QString>
#include <QUrl>

namespace quillet::app {

// The help document, an HTML page that the program folder carries beside the executable.
inline constexpr const char* kHelpFileName = "quillet.html";

// The targets of the help menu's commands. `appFolder` ends with a separator.
QUrl HelpDocumentUrl(const QString& appFolder);
QUrl WebsiteUrl();
QUrl EmailUsUrl();

// Each asks the desktop to open its target with the user's preferred program: the help page in
// the browser, the web site in the browser, a new mail to the support address in the mail
// program. Returns at once; nothing is reported when no program can open the target.
void OpenHelpDocument(const QString& appFolder);
void OpenWebsite();
void OpenEmailUs();

}  // namespace quillet::app
