// Splitting a command line into program arguments by the shell's quoting rules.
#include "desktop/shell/commandline.h"

namespace vt::desktop {

QStringList splitCommandLine(const QString& line) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    enum { Plain, Single, Double } quote = Plain;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        switch (quote) {
        case Single:
            if (c == u'\'')
                quote = Plain;
            else
                current += c;
            break;
        case Double:
            if (c == u'"') {
                quote = Plain;
            } else if (c == u'\\' && i + 1 < line.size() &&
                       QStringView(u"\"\\$`").contains(line[i + 1])) {
                current += line[++i];
            } else {
                current += c;
            }
            break;
        case Plain:
            if (c == u' ' || c == u'\t') {
                if (inArgument)
                    arguments << current;
                current.clear();
                inArgument = false;
                break;
            }
            inArgument = true;
            if (c == u'\'')
                quote = Single;
            else if (c == u'"')
                quote = Double;
            else if (c == u'\\' && i + 1 < line.size())
                current += line[++i];
            else
                current += c;
            break;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

} // namespace vt::desktop
