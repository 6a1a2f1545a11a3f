#include "ShellTargets.h"

#include <QDesktopServices>

namespace quillet::app {

QUrl HelpDocumentUrl(const QString& appFolder) {
    return QUrl::fromLocalFile(appFolder + QLatin1String(kHelpFileName));
}

QUrl WebsiteUrl() {
    return QUrl(QStringLiteral("https://quillet.example/"));
}

QUrl EmailUsUrl() {
    return QUrl(QStringLiteral("mailto:support@quillet.example"));
}

// The results of openUrl are dropped on purpose: a target that cannot be opened is not
// reported to the user.
void OpenHelpDocument(const QString& appFolder) {
    QDesktopServices::openUrl(HelpDocumentUrl(appFolder));
}

void OpenWebsite() {
    QDesktopServices::openUrl(WebsiteUrl());
}

void OpenEmailUs() {
    QDesktopServices::openUrl(EmailUsUrl());
}

}  // namespace quillet::app
