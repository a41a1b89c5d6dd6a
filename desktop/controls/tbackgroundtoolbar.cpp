// TBackgroundToolbar: keeps the place, size, visibility and parent of each tool bar of a window.
#include "desktop/controls/tbackgroundtoolbar.h"

#include "desktop/controls/trbackground.h"
#include "desktop/shell/registry.h"

#include <QToolBar>

namespace vt::desktop {

const QMetaObject& TBackgroundToolbar::controlClass() const {
    return QToolBar::staticMetaObject;
}

QString TBackgroundToolbar::SaveControl(QWidget* control) {
    if (!m_owner.SaveToolBar())
        return {};
    const QWidget* parent = control->parentWidget();
    return QStringLiteral("%1;%2;%3;%4;%5;%6")
        .arg(control->x())
        .arg(control->y())
        .arg(control->height())
        .arg(control->width())
        .arg(control->isHidden() ? 0 : 1)
        .arg(parent ? parent->objectName() : QString());
}

void TBackgroundToolbar::LoadControl(QWidget* control, const QString& text) {
    if (!m_owner.SaveToolBar())
        return;
    const QStringList fields = text.split(QLatin1Char(';'));
    auto field = [&fields](int index, int fallback) {
        bool ok = false;
        const int value = index < fields.size() ? fields.at(index).trimmed().toInt(&ok) : 0;
        return ok && value != 0 ? value : fallback;
    };
    if (fields.size() > 5) {
        const QString parentName = fields.at(5);
        QWidget* current = control->parentWidget();
        if (!current || parentName.compare(current->objectName(), Qt::CaseInsensitive) != 0)
            if (QWidget* parent = m_owner.findControl(parentName); parent && parent != control)
                control->setParent(parent);
    }
    control->setGeometry(field(0, control->x()), field(1, control->y()), field(3, control->width()),
                         field(2, control->height()));
    bool ok = false;
    const int visible = fields.size() > 4 ? fields.at(4).trimmed().toInt(&ok) : 1;
    control->setVisible(ok ? visible != 0 : true);
}

bool TBackgroundToolbar::loadOldList(Registry& registry, const QString& valueName) {
    const auto list = registry.readString(valueName + QStringLiteral("_ToolBars"));
    if (!list || list->isEmpty())
        return false;
    bool changed = false;
    for (const QString& suffix : list->split(QLatin1Char(','))) {
        const auto value = registry.readString(valueName + suffix.trimmed());
        if (!value)
            continue;
        const QStringList words = value->split(QLatin1Char(';'));
        for (qsizetype i = 1; i + 5 < words.size(); i += 6) {
            QWidget* control = m_owner.findControl(words.at(i));
            int numbers[5];
            bool valid = control != nullptr;
            for (int k = 0; k < 5 && valid; ++k)
                numbers[k] = words.at(i + 1 + k).trimmed().toInt(&valid);
            for (int k = 0; k < 5 && valid; ++k)
                valid = numbers[k] >= 0;
            if (!valid)
                continue;
            control->setGeometry(numbers[0], numbers[1], numbers[3], numbers[2]);
            control->setVisible(numbers[4] != 0);
            changed = true;
        }
    }
    return changed;
}

} // namespace vt::desktop
