// TrBackground: the settings store of one window: placement, colour, picture, tool bars and
// splitters in the registry, and the painted background.
#include "desktop/controls/trbackground.h"

#include "desktop/controls/tbackgroundtoolbar.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/registry.h"
#include "desktop/shell/resources.h"

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace vt::desktop {
namespace {

bool designing(const QObject* object) {
    return object->property(kDesigningProperty).toBool();
}

bool loading(const QObject* object) {
    return object->property(kLoadingProperty).toBool();
}

QColor systemWindowColor() {
    return QApplication::palette().color(QPalette::Window);
}

bool sizeable(const QWidget* window) {
    return window->minimumSize() != window->maximumSize();
}

} // namespace

TrBackground::TrBackground(QWidget* window) : QObject(window), m_window(window) {
    for (TBackGroundControlFactory factory : backgroundControlClasses())
        m_controls.push_back(factory(*this));
    if (!m_window)
        return;
    m_window->installEventFilter(this);
    rememberNormalGeometry();
    LoadSettings();
}

TrBackground::~TrBackground() {
    // A window that is being destroyed was hidden first and saved then; only a store removed
    // from a living, visible window saves here.
    if (m_window && m_window->isVisible() && !designing(this)) {
        try {
            save(m_autoSave);
        } catch (const std::exception& e) {
            qWarning("%s", e.what());
        }
    }
}

QWidget* TrBackground::findControl(const QString& name) const {
    if (!m_window || name.isEmpty())
        return nullptr;
    if (m_window->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return m_window;
    for (QWidget* child : m_window->findChildren<QWidget*>())
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    return nullptr;
}

QString TrBackground::valueName() const {
    if (!m_window)
        return {};
    if (m_valueName == bvntName)
        return m_window->objectName();
    // The class's own name, without its namespace.
    const QString className = QString::fromLatin1(m_window->metaObject()->className());
    return className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
}

void TrBackground::setRegKey(const QString& key) {
    const QString trimmed = key.trimmed();
    if (trimmed == m_regKey)
        return;
    if (!m_regKey.isEmpty() && m_autoSave)
        SaveSettings();
    m_regKey = trimmed;
    LoadSettings();
}

void TrBackground::changeValue(const std::function<void(TrBackgroundValue&)>& change) {
    if (m_window)
        CaptureWindow();
    change(m_value);
    if (m_window)
        ApplyToWindow();
}

void TrBackground::setColor(TColor color) {
    changeValue([color](TrBackgroundValue& value) { value.Color = color; });
}

void TrBackground::setViewMode(TrViewMode mode) {
    changeValue([mode](TrBackgroundValue& value) { value.ViewMode = mode; });
}

void TrBackground::setFileName(const QString& fileName) {
    changeValue([&fileName](TrBackgroundValue& value) {
        if (!fileName.isEmpty()) {
            value.loadPicture(fileName);
        } else {
            value.picture = QImage();
            value.FileName.clear();
        }
    });
}

void TrBackground::setRedrawBkg(bool on) {
    if (on == m_redrawBkg)
        return;
    m_redrawBkg = on;
    if (on && m_shown && m_window && m_window->isVisible())
        RedrawControl(m_window);
}

QRect TrBackground::workArea() const {
    const QScreen* screen = m_window ? m_window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void TrBackground::LoadSettings() {
    if (!m_window || !m_autoLoad || loading(this) || designing(this))
        return;
    const QString name = valueName();
    Registry registry;
    if (!name.isEmpty() && registry.openKey(m_regKey, false))
        m_value.assign(registry.readString(name).value_or(QString()));
    ApplyToWindow();
    if (m_regKey.isEmpty() || !registry.hasCurrentKey())
        return;
    m_loaded = true;
    bool toolBarsFound = false;
    for (const auto& control : m_controls) {
        const QString value = registry.readString(name + control->suffix()).value_or(QString());
        if (dynamic_cast<TBackgroundToolbar*>(control.get()))
            toolBarsFound = !value.isEmpty();
        control->loadAll(value);
    }
    if (!toolBarsFound)
        for (const auto& control : m_controls)
            if (auto* toolbars = dynamic_cast<TBackgroundToolbar*>(control.get()))
                if (toolbars->loadOldList(registry, name))
                    save(false); // moves the old format over to the current one
    if (AfterLoadBackground)
        AfterLoadBackground(*this);
}

void TrBackground::SaveSettings() {
    save(m_autoSave);
}

void TrBackground::save(bool capture) {
    if (!m_window || designing(this) || m_regKey.isEmpty())
        return;
    if (capture)
        CaptureWindow();
    if (BeforeSaveBackground)
        BeforeSaveBackground(*this);
    Registry registry;
    if (!registry.openKey(m_regKey, true))
        return;
    const QString name = valueName();
    registry.writeString(name, m_value.toValueString(sizeable(m_window)));
    for (const auto& control : m_controls) {
        const QString collected = control->saveAll();
        if (collected.isEmpty())
            registry.deleteValue(name + control->suffix());
        else
            registry.writeString(name + control->suffix(), collected);
    }
}

void TrBackground::rememberNormalGeometry() {
    if (m_window && !(m_window->windowState() &
                      (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        m_normalGeometry = m_window->geometry();
}

void TrBackground::CaptureWindow() {
    if (!m_window)
        return;
    QRect bounds = m_window->geometry();
    if (m_window->isMaximized()) {
        m_value.State = TrBackgroundValue::Maximized;
        const QRect normal = m_window->normalGeometry();
        bounds = normal.isValid() && !normal.isEmpty() ? normal : m_normalGeometry;
    } else {
        m_value.State = TrBackgroundValue::isCentred(bounds, workArea())
                            ? TrBackgroundValue::Centred
                            : TrBackgroundValue::Normal;
    }
    m_value.Left = bounds.left();
    m_value.Top = bounds.top();
    m_value.Width = bounds.width();
    m_value.Height = bounds.height();
    m_value.Color = tcolorOfColor(m_window->palette().color(QPalette::Window), systemWindowColor());
}

void TrBackground::ApplyToWindow() {
    if (!m_window)
        return;
    const QColor color = colorOfTColor(m_value.Color, systemWindowColor());
    if (m_window->palette().color(QPalette::Window) != color) {
        QPalette palette = m_window->palette();
        palette.setColor(QPalette::Window, color);
        m_window->setPalette(palette);
    }
    if (m_value.Left != -1 && m_window->isWindow()) {
        const Qt::WindowStates normal =
            m_window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
        switch (m_value.State) {
        case TrBackgroundValue::Maximized:
            if (m_value.Width > 0 && m_value.Height > 0)
                m_window->setGeometry(m_value.Left, m_value.Top, m_value.Width, m_value.Height);
            m_window->setWindowState(normal | Qt::WindowMaximized);
            break;
        case TrBackgroundValue::Centred:
            m_window->setWindowState(normal);
            m_window->setGeometry(TrBackgroundValue::centredBounds(
                workArea(), m_value.Width, m_value.Height, m_window->size()));
            break;
        default: {
            m_window->setWindowState(normal);
            QRect bounds(m_value.Left, m_value.Top,
                         m_value.Width == -1 ? m_window->width() : m_value.Width,
                         m_value.Height == -1 ? m_window->height() : m_value.Height);
            if (!QGuiApplication::screenAt(bounds.topLeft() + QPoint(8, 8)) ||
                !QGuiApplication::screenAt(bounds.center())) {
                // No screen shows the stored place any more: the primary screen does.
                if (const QScreen* primary = QGuiApplication::primaryScreen())
                    bounds = TrBackgroundValue::centredBounds(primary->availableGeometry(),
                                                              bounds.width(), bounds.height(),
                                                              bounds.size());
            }
            m_window->setGeometry(bounds);
            break;
        }
        }
    }
    if (m_redrawBkg && m_window->isVisible())
        m_window->update();
}

bool TrBackground::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        if (!m_shown) {
            m_shown = true;
            LoadSettings();
        }
        break;
    case QEvent::Close:
    case QEvent::Hide:
        if (!event->spontaneous() || event->type() == QEvent::Close)
            SaveSettings();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        rememberNormalGeometry();
        break;
    case QEvent::Paint:
        if (m_redrawBkg) {
            QPainter painter(m_window);
            m_value.paint(painter, m_window->rect(),
                          colorOfTColor(m_value.Color, systemWindowColor()));
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace vt::desktop
