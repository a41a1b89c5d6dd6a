// TBackGroundControl: the base of the layout savers, and the process-wide list of saver classes.
#include "desktop/controls/tbackgroundcontrol.h"

#include "desktop/controls/tbackgroundsplitter.h"
#include "desktop/controls/tbackgroundtoolbar.h"
#include "desktop/controls/trbackground.h"

#include <QWidget>
#include <algorithm>

namespace vt::desktop {
namespace {

std::vector<TBackGroundControlFactory>& classList() {
    static std::vector<TBackGroundControlFactory> list{
        [](TrBackground& owner) -> std::unique_ptr<TBackGroundControl> {
            return std::make_unique<TBackgroundSplitter>(owner);
        },
        [](TrBackground& owner) -> std::unique_ptr<TBackGroundControl> {
            return std::make_unique<TBackgroundToolbar>(owner);
        }};
    return list;
}

} // namespace

void TBackGroundControl::LoadOldFormat(const QString&) {}

QString TBackGroundControl::saveAll() {
    QWidget* window = m_owner.window();
    if (!window)
        return {};
    QString collected;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || !control->metaObject()->inherits(&controlClass()))
            continue;
        const QString text = SaveControl(control);
        if (!text.isEmpty())
            collected += QLatin1Char('&') + control->objectName() + QLatin1Char('&') + text;
    }
    return collected;
}

void TBackGroundControl::loadAll(const QString& value) {
    if (!value.startsWith(QLatin1Char('&'))) {
        LoadOldFormat(value);
        return;
    }
    const QStringList parts = value.mid(1).split(QLatin1Char('&'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        if (QWidget* control = m_owner.findControl(parts.at(i)))
            LoadControl(control, parts.at(i + 1));
}

const std::vector<TBackGroundControlFactory>& backgroundControlClasses() {
    return classList();
}

void RegisterBackgroundControl(TBackGroundControlFactory factory) {
    std::vector<TBackGroundControlFactory>& list = classList();
    if (std::find(list.begin(), list.end(), factory) == list.end())
        list.push_back(factory);
}

} // namespace vt::desktop
