// TBackGroundControl: the base of the layout savers that keep one kind of control of a window
// (tool bars, splitters) in the window settings, and the process-wide list of saver classes.
#pragma once

#include <QString>
#include <memory>
#include <vector>

class QObject;
class QWidget;
struct QMetaObject;

namespace vt::desktop {

class TrBackground;

class TBackGroundControl {
public:
    explicit TBackGroundControl(TrBackground& owner) : m_owner(owner) {}
    virtual ~TBackGroundControl() = default;
    TBackGroundControl(const TBackGroundControl&) = delete;
    TBackGroundControl& operator=(const TBackGroundControl&) = delete;

    // The class of the controls this saver keeps (derived classes count too).
    virtual const QMetaObject& controlClass() const = 0;
    // The registry value-name suffix that follows the window's value name.
    virtual QString suffix() const = 0;
    // The control as text; empty means nothing to save.
    virtual QString SaveControl(QWidget* control) = 0;
    // Applies a text that SaveControl made.
    virtual void LoadControl(QWidget* control, const QString& text) = 0;
    // Reads a value that does not start with "&" (an older format); nothing by default.
    virtual void LoadOldFormat(const QString& text);

    // "&" + name + "&" + text over every named control of the window of the saver's class with a
    // non-empty text, concatenated.
    QString saveAll();
    // Reads a value: name/text pairs when it begins with "&", else LoadOldFormat.
    void loadAll(const QString& value);

protected:
    TrBackground& m_owner;
};

// Creates a saver for a TrBackground.
using TBackGroundControlFactory = std::unique_ptr<TBackGroundControl> (*)(TrBackground& owner);

// The saver classes every TrBackground instantiates, in order; at first the splitter saver, then
// the tool bar saver.
const std::vector<TBackGroundControlFactory>& backgroundControlClasses();
// Adds a saver class; one already listed is not added again.
void RegisterBackgroundControl(TBackGroundControlFactory factory);

} // namespace vt::desktop
