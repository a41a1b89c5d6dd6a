// TBackgroundSplitter: keeps the size of the pane each splitter of a window resizes.
#include "desktop/controls/tbackgroundsplitter.h"

#include "desktop/controls/trbackground.h"

#include <QSplitter>
#include <numeric>

namespace vt::desktop {
namespace {

int integerOr(const QStringList& fields, int index, int fallback) {
    if (index >= fields.size())
        return fallback;
    bool ok = false;
    const int value = fields.at(index).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

const QMetaObject& TBackgroundSplitter::controlClass() const {
    return QSplitter::staticMetaObject;
}

QString TBackgroundSplitter::SaveControl(QWidget* control) {
    auto* splitter = qobject_cast<QSplitter*>(control);
    if (!m_owner.SaveSplitterPos() || !splitter || splitter->count() < 2)
        return {};
    QWidget* pane = splitter->widget(0);
    if (pane->objectName().isEmpty())
        return {};
    return QStringLiteral("%1;%2;%3")
        .arg(pane->objectName())
        .arg(pane->height())
        .arg(pane->width());
}

void TBackgroundSplitter::LoadControl(QWidget*, const QString& text) {
    if (!m_owner.SaveSplitterPos())
        return;
    const QStringList fields = text.split(QLatin1Char(';'));
    if (QWidget* pane = m_owner.findControl(fields.at(0)))
        applySize(pane, integerOr(fields, 1, -1), integerOr(fields, 2, -1));
}

void TBackgroundSplitter::LoadOldFormat(const QString& text) {
    if (!m_owner.SaveSplitterPos())
        return;
    const QStringList fields = text.split(QLatin1Char(';'));
    if (integerOr(fields, 0, 0) == 0)
        return;
    for (qsizetype i = 1; i < fields.size(); i += 3) {
        QWidget* pane = fields.at(i).isEmpty() ? nullptr : m_owner.findControl(fields.at(i));
        if (!pane)
            continue;
        const int height = integerOr(fields, int(i) + 1, -1);
        const int width = integerOr(fields, int(i) + 2, -1);
        applySize(pane, height > 0 ? height : -1, width > 0 ? width : -1);
    }
}

void TBackgroundSplitter::applySize(QWidget* control, int height, int width) {
    auto* splitter = qobject_cast<QSplitter*>(control->parentWidget());
    if (!splitter) {
        control->resize(width < 0 ? control->width() : width,
                        height < 0 ? control->height() : height);
        return;
    }
    const int wanted = splitter->orientation() == Qt::Horizontal ? width : height;
    const int index = splitter->indexOf(control);
    QList<int> sizes = splitter->sizes();
    if (wanted < 0 || index < 0 || sizes.size() < 2)
        return;
    const int total = std::accumulate(sizes.begin(), sizes.end(), 0);
    const int neighbour = index + 1 < sizes.size() ? index + 1 : index - 1;
    sizes[neighbour] += sizes[index] - wanted;
    sizes[index] = wanted;
    if (sizes[neighbour] < 0) {
        sizes[index] += sizes[neighbour];
        sizes[neighbour] = 0;
    }
    if (total > 0)
        splitter->setSizes(sizes);
}

} // namespace vt::desktop
