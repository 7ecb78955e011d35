#pragma once
// The help page's browser. The page describes both platforms the program runs
// on: a paragraph <p class="windows"> or <p class="linux"> holds what differs
// (a sound, a path, how the demonstration starts). The browser shows the
// paragraphs of the platform it runs on and leaves out the others; the page
// read without the program keeps both, each naming its platform.
#include <QTextBrowser>

namespace telvar5 {

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override;
};

} // namespace telvar5
