#include "gui/HelpWindow.h"

#include "gui/EscapeClosesWindow.h"
#include "gui/HelpBrowser.h"

#include <QVBoxLayout>

// The help page lives in the resources of a static library: they must be registered by hand.
static void registerHelpResources() { Q_INIT_RESOURCE(resources); }

namespace telvar5 {

namespace {
const QUrl kContents(QStringLiteral("qrc:/help/help.html"));
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    registerHelpResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка — Монитор модуля TELVAR-5"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // It shows the paragraphs of the platform the program runs on.
    browser_ = new HelpBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    resize(640, 560);
    EscapeClosesWindow::install(this);
}

void HelpWindow::turnToContents()
{
    if (browser_->source() != kContents)
        browser_->setSource(kContents);
    else
        browser_->scrollToAnchor(QString());
}

} // namespace telvar5
