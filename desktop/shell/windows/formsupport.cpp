// Small pieces every window of the program uses: the F1 key, button glyphs and file filters.
#include "desktop/shell/windows/formsupport.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/help.h"
#include "desktop/shell/resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QPixmap>
#include <QShortcut>

namespace vt::desktop {

int controlHelpContext(const QWidget* window, int windowContext) {
    for (const QWidget* w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        const QVariant own = w->property(kHelpContextProperty);
        if (own.isValid())
            return own.toInt();
    }
    return windowContext;
}

void installFormHelp(QWidget* window, int context, QAbstractButton* helpButton) {
    const auto showHelp = [context](int data) {
        if (FormHelp(help::kContext, data, context))
            ShowHelp(help::kContext, data);
    };
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [=] { showHelp(controlHelpContext(window, context)); });
    if (helpButton)
        QObject::connect(helpButton, &QAbstractButton::clicked, window, [=] { showHelp(context); });
}

TrBitBtn* bitBtn(const char* objectName, const QString& caption, const char* glyph) {
    auto* button = new TrBitBtn(caption);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    try {
        if (glyph && *glyph)
            button->setGlyphResource(QString::fromLatin1(glyph));
    } catch (...) {
        delete button;
        throw;
    }
    return button;
}

QIcon glyphIcon(const QString& name) {
    QImage image;
    LoadGlyphResource(nullptr, image, rkBitmap, name);
    return QIcon(QPixmap::fromImage(image));
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    // "*.*" means every file on the original platform; here a name need not hold a dot.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << QString(parts[i]).replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    return entries.join(QStringLiteral(";;"));
}

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace vt::desktop
