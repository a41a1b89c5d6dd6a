// TErrorHandler: the application-wide handler of exceptions that reach the event loop.
#include "desktop/errors/terrorhandler.h"

#include "dbengine/data/database.h"
#include "desktop/errors/errortexts.h"
#include "desktop/errors/passwordmask.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/sysinfo.h"
#include "desktop/shell/textutils.h"

#include <QGuiApplication>

namespace vt::desktop {

TErrorHandler::TErrorHandler() = default;

void TErrorHandler::HandleException(const std::exception& e) {
    try {
        m_caption = QGuiApplication::applicationDisplayName();
        m_error.Describe(e);
        if (m_error.SaveLog() || !m_showForm) {
            try {
                m_error.WriteLog(m_context ? m_context() : QString());
            } catch (const std::exception& failure) {
                ShowAppMessage(ExpandEscapes(QString::fromUtf8(texts::kLogWriteFailed))
                                   .arg(QString::fromUtf8(failure.what())),
                               mb::kOk | mb::kIconError);
            }
        }
        if (m_showForm && m_presenter)
            m_presenter(*this);
    } catch (const std::exception& inner) {
        // The handler itself failed (no memory for the dialog, say): the program goes on, and the
        // failure is said on the standard error stream, the last place left.
        qWarning("%s: %s", qPrintable(maskPasswords(QString::fromUtf8(e.what()))),
                 qPrintable(maskPasswords(QString::fromUtf8(inner.what()))));
    }
}

QString TErrorHandler::GetLogUserName(const dbengine::Database* database) {
    if (database && database->connected())
        return QString::fromUtf8(texts::kDatabaseUser)
            .arg(QString::fromStdString(database->params().value("USER NAME")));
    return QString::fromUtf8(texts::kSystemUser).arg(GetLogonUserName());
}

bool TErrorHandler::extButtonVisible() {
    if (!m_onExtButtonClick)
        return false;
    bool visible = false;
    switch (m_extBtnVisible) {
    case ebAlways:
        visible = true;
        break;
    case ebAsSaveLog:
        visible = m_error.SaveLog();
        break;
    case ebDescNotEmpty:
        visible = IsNotBlank(m_error.Description().join(QLatin1Char('\n')));
        break;
    case ebNone:
        break;
    }
    if (m_onExtButtonSetVisible)
        m_onExtButtonSetVisible(*this, visible);
    return visible;
}

} // namespace vt::desktop
