// TrBackground: the settings store of one window. It keeps the window's placement (position,
// size, normal, maximized or centred), its colour, an optional background picture and the layout
// of its tool bars and splitters in the registry, restores them, and can paint the background.
//
// The store watches its window through an event filter: settings are loaded when the store is
// made, when RegKey is set and when the window is first shown; they are saved when the window
// closes or hides, when RegKey changes while AutoSave is on, and when the store is destroyed
// while its window is still visible. With RedrawBkg on, every paint of the window first paints
// the colour and the picture.
//
// A stored placement that no screen shows any more (a monitor unplugged) opens centred on the
// primary screen instead.
#pragma once

#include "desktop/controls/tbackgroundcontrol.h"
#include "desktop/controls/trbackgroundvalue.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace vt::desktop {

class Registry;

// Which name the settings are stored under: the window's object name or its class name.
enum TBkgValueNameType { bvntName, bvntClassName };

// Stored only (see TrBackground::PosSizeEnabled).
enum TrPosSizeEnabled { rpsPosEnabled = 1, rpsSizeEnabled = 2 };

class TrBackground : public QObject {
    Q_OBJECT

public:
    // The store of the window (its parent), whose settings are loaded at once when AutoLoad is
    // on.
    explicit TrBackground(QWidget* window);
    ~TrBackground() override;

    QWidget* window() const { return m_window; }
    // The control of the window with that object name (letter case ignored), or the window.
    QWidget* findControl(const QString& name) const;

    bool AlignToolbars() const { return m_alignToolbars; }
    void setAlignToolbars(bool on) { m_alignToolbars = on; }
    const QString& RegKey() const { return m_regKey; }
    // Trims the key; a different key saves under the old one first (AutoSave on and the old key
    // not empty) and loads from the new one.
    void setRegKey(const QString& key);
    TColor Color() const { return m_value.Color; }
    void setColor(TColor color);
    TrViewMode ViewMode() const { return m_value.ViewMode; }
    void setViewMode(TrViewMode mode);
    const QString& FileName() const { return m_value.FileName; }
    void setFileName(const QString& fileName);
    // Stored only: no operation consults it.
    int PosSizeEnabled() const { return m_posSizeEnabled; }
    void setPosSizeEnabled(int set) { m_posSizeEnabled = set; }
    bool AutoSave() const { return m_autoSave; }
    void setAutoSave(bool on) { m_autoSave = on; }
    bool AutoLoad() const { return m_autoLoad; }
    void setAutoLoad(bool on) { m_autoLoad = on; }
    bool SaveSplitterPos() const { return m_saveSplitterPos; }
    void setSaveSplitterPos(bool on) { m_saveSplitterPos = on; }
    bool SaveToolBar() const { return m_saveToolBar; }
    void setSaveToolBar(bool on) { m_saveToolBar = on; }
    bool RedrawBkg() const { return m_redrawBkg; }
    // Turning it on repaints a shown window at once.
    void setRedrawBkg(bool on);
    TBkgValueNameType ValueName() const { return m_valueName; }
    void setValueName(TBkgValueNameType type) { m_valueName = type; }
    std::function<void(TrBackground&)> AfterLoadBackground;
    std::function<void(TrBackground&)> BeforeSaveBackground;

    // The settings as they stand.
    const TrBackgroundValue& value() const { return m_value; }
    // The registry value name of the window's settings.
    QString valueName() const;

    // Reads the settings from the registry and applies them to the window.
    void LoadSettings();
    // Writes the settings (capturing the window first when AutoSave is on). Throws
    // ERegistryException when the registry cannot be written.
    void SaveSettings();
    // Takes the window's placement and colour into the settings.
    void CaptureWindow();
    // Gives the window the colour and placement of the settings.
    void ApplyToWindow();
    // The area the window is placed in: the available geometry of its screen.
    QRect workArea() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Captures the window, changes the settings and applies them again.
    void changeValue(const std::function<void(TrBackgroundValue&)>& change);
    void save(bool capture);
    void rememberNormalGeometry();

    QPointer<QWidget> m_window;
    TrBackgroundValue m_value;
    std::vector<std::unique_ptr<TBackGroundControl>> m_controls;
    bool m_alignToolbars = true;
    QString m_regKey;
    int m_posSizeEnabled = rpsPosEnabled | rpsSizeEnabled;
    bool m_autoSave = false;
    bool m_autoLoad = true;
    bool m_saveSplitterPos = true;
    bool m_saveToolBar = true;
    bool m_redrawBkg = true;
    TBkgValueNameType m_valueName = bvntName;
    bool m_loaded = false;
    bool m_shown = false;
    QRect m_normalGeometry;
};

} // namespace vt::desktop
