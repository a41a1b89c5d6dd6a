// The program's help: HTML pages in the program folder, opened in the browser at a context.
#include "desktop/shell/help.h"

#include "desktop/shell/shelltexts.h"
#include "desktop/shell/urlopener.h"
#include "platform/exception.h"
#include "platform/paths.h"

#include <QFile>
#include <cerrno>

namespace vt::desktop {

QUrl helpUrl(int command, int data) {
    QUrl url = QUrl::fromLocalFile(
        QFile::decodeName(platform::programFolderFile("help/vtdesk.html").c_str()));
    if (command == help::kKeywordLookup)
        url.setFragment(QStringLiteral("index"));
    else if (command != help::kFinder)
        url.setFragment(QString::number(data));
    return url;
}

bool FormHelp(int command, int data, int windowContext) {
    return !(command == help::kContextPopup && data == windowContext);
}

void ShowHelp(int command, int data) {
    if (!openUrl(helpUrl(command, data)))
        throw EOSError(QString::fromUtf8(texts::kLaunchNoAssociation).toStdString(), ENOEXEC);
}

} // namespace vt::desktop
