// TErrorHandler: the application-wide handler of exceptions that reach the event loop. It has
// its TrError describe each exception, writes the error log when asked to (or when no dialog is
// shown) and shows the error dialog.
//
// The handler knows no windows: the dialog, the context of the active window for the log and the
// sound are seams that the window library fills (errors/windows) and tests replace.
#pragma once

#include "desktop/errors/trerror.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

namespace vt::dbengine {
class Database;
}

namespace vt::desktop {

// The dialog's sound and icon.
enum TrEHStyle { ehCustom, ehInformation, ehWarning, ehQuestion, ehError };

// When the dialog's extra button shows.
enum TrEHExtBtn { ebNone, ebAlways, ebAsSaveLog, ebDescNotEmpty };

class TErrorHandler final {
public:
    TErrorHandler();
    TErrorHandler(const TErrorHandler&) = delete;
    TErrorHandler& operator=(const TErrorHandler&) = delete;

    // Shows the dialog for the handler's current error (modal; returns when it closes).
    using DialogPresenter = std::function<void(TErrorHandler& handler)>;
    // The log context of the active window and control, or empty; may throw.
    using ContextProvider = std::function<QString()>;
    // Called with the handler when the extra button is clicked.
    using ExtButtonClick = std::function<void(TErrorHandler& sender)>;
    // May overrule whether the extra button shows.
    using ExtButtonSetVisible = std::function<void(TErrorHandler& sender, bool& setVisible)>;

    // The application's exception event: describe, log, show. Never throws; the program goes on.
    void HandleException(const std::exception& e);

    // The user label for log entries: "<USER NAME> (БД)" for a connected database, else the
    // operating-system account name and " (ОС)".
    static QString GetLogUserName(const dbengine::Database* database = nullptr);

    // Whether the dialog shows its extra button for the current error: only with an
    // OnExtButtonClick, then by ExtBtnVisible, then as OnExtButtonSetVisible decides.
    bool extButtonVisible();

    // The error description and log writer.
    TrError& error() { return m_error; }
    const TrError& error() const { return m_error; }

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }
    // The dialog's OK button answers Escape.
    bool Cancel() const { return m_cancel; }
    void setCancel(bool on) { m_cancel = on; }
    // The dialog's OK button answers Enter.
    bool Default() const { return m_default; }
    void setDefault(bool on) { m_default = on; }
    const QString& IniFile() const { return m_error.IniFile(); }
    void setIniFile(const QString& name) { m_error.setIniFile(name); }
    TrFileLocation IniLocation() const { return m_error.IniLocation(); }
    void setIniLocation(TrFileLocation location) { m_error.setIniLocation(location); }
    const QString& LogFile() const { return m_error.LogFile(); }
    void setLogFile(const QString& name) { m_error.setLogFile(name); }
    TrFileLocation LogLocation() const { return m_error.LogLocation(); }
    void setLogLocation(TrFileLocation location) { m_error.setLogLocation(location); }
    const QString& UserName() const { return m_error.UserName(); }
    void setUserName(const QString& name) { m_error.setUserName(name); }
    const QString& TitleMessage() const { return m_error.TitleMessage(); }
    void setTitleMessage(const QString& text) { m_error.setTitleMessage(text); }
    const QString& Message() const { return m_error.Message(); }
    void setMessage(const QString& text) { m_error.setMessage(text); }
    const QStringList& Description() const { return m_error.Description(); }
    void setDescription(const QStringList& lines) { m_error.Description() = lines; }
    bool SaveLog() const { return m_error.SaveLog(); }
    void setSaveLog(bool on) { m_error.setSaveLog(on); }
    bool ShowForm() const { return m_showForm; }
    void setShowForm(bool on) { m_showForm = on; }
    TrEHStyle Style() const { return m_style; }
    void setStyle(TrEHStyle style) { m_style = style; }
    // The icon shown with ehCustom.
    const QImage& Picture() const { return m_picture; }
    void setPicture(const QImage& picture) { m_picture = picture; }
    const QString& ExtBtnCaption() const { return m_extBtnCaption; }
    void setExtBtnCaption(const QString& caption) { m_extBtnCaption = caption; }
    TrEHExtBtn ExtBtnVisible() const { return m_extBtnVisible; }
    void setExtBtnVisible(TrEHExtBtn when) { m_extBtnVisible = when; }
    const ExtButtonClick& OnExtButtonClick() const { return m_onExtButtonClick; }
    void setOnExtButtonClick(ExtButtonClick handler) { m_onExtButtonClick = std::move(handler); }
    const ExtButtonSetVisible& OnExtButtonSetVisible() const { return m_onExtButtonSetVisible; }
    void setOnExtButtonSetVisible(ExtButtonSetVisible handler) {
        m_onExtButtonSetVisible = std::move(handler);
    }

    void setDialogPresenter(DialogPresenter presenter) { m_presenter = std::move(presenter); }
    void setContextProvider(ContextProvider provider) { m_context = std::move(provider); }

private:
    TrError m_error;
    QString m_caption;
    bool m_cancel = true;
    bool m_default = true;
    bool m_showForm = true;
    TrEHStyle m_style = ehError;
    QImage m_picture;
    QString m_extBtnCaption;
    TrEHExtBtn m_extBtnVisible = ebNone;
    ExtButtonClick m_onExtButtonClick;
    ExtButtonSetVisible m_onExtButtonSetVisible;
    DialogPresenter m_presenter;
    ContextProvider m_context;
};

} // namespace vt::desktop
