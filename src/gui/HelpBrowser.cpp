#include "gui/HelpBrowser.h"

#include <QRegularExpression>
#include <QTextDocument>

namespace telvar5 {

namespace {
#ifdef _WIN32
const QString kOtherPlatform = QStringLiteral("linux");
#else
const QString kOtherPlatform = QStringLiteral("windows");
#endif
} // namespace

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    const QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::HtmlResource)
        return resource;
    // The page is UTF-8, as its head says.
    QString page = resource.userType() == QMetaType::QByteArray ? QString::fromUtf8(resource.toByteArray())
                                                                : resource.toString();
    static const QRegularExpression otherPlatform(
        QStringLiteral("<p class=\"%1\">.*?</p>\\s*").arg(kOtherPlatform),
        QRegularExpression::DotMatchesEverythingOption);
    page.remove(otherPlatform);
    return page;
}

} // namespace telvar5
