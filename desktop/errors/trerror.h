// TrError: the description of one exception (title, message, details, log flag) and the message
// file that translates database messages.
#pragma once

#include "desktop/errors/trfilelocation.h"

#include <QString>
#include <QStringList>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vt::script {
class IniFile;
}

namespace vt::desktop {

class TrError final {
public:
    TrError();
    ~TrError();
    TrError(const TrError&) = delete;
    TrError& operator=(const TrError&) = delete;

    // Section names of the message file (without the constants section), as last read.
    const QStringList& Sections() const { return m_sections; }
    // Key names of the message file's constants section, as last read.
    const QStringList& Constants() const { return m_constants; }

    // The message file name as set (may be empty, bare or with a folder).
    const QString& IniFile() const { return m_iniFile; }
    // Closes any open message file and opens the named one (completed by IniLocation); a blank
    // name disables translation. A missing or unreadable file behaves as an empty one.
    void setIniFile(const QString& name);
    // Where a bare message file name is looked for.
    TrFileLocation IniLocation() const { return m_iniLocation; }
    // Changes the location and re-opens an open message file from its stored name.
    void setIniLocation(TrFileLocation location);
    // The full name of the open message file, or empty when none is open.
    const QString& iniPath() const { return m_iniPath; }
    // True while a message file is open (IniFile is not blank).
    bool hasMessageFile() const { return m_iniOpen; }
    // The open message file; null when none is open or the file cannot be read at present.
    script::IniFile* Ini();

    // The error log file name as set, and where a bare name is placed.
    const QString& LogFile() const { return m_logFile; }
    void setLogFile(const QString& name) { m_logFile = name; }
    TrFileLocation LogLocation() const { return m_logLocation; }
    void setLogLocation(TrFileLocation location) { m_logLocation = location; }
    // The user named in log entries; empty means the operating-system account name.
    const QString& UserName() const { return m_userName; }
    void setUserName(const QString& name) { m_userName = name; }

    // The current error's title line, message, details and log flag.
    const QString& TitleMessage() const { return m_titleMessage; }
    void setTitleMessage(const QString& text) { m_titleMessage = text; }
    const QString& Message() const { return m_message; }
    void setMessage(const QString& text) { m_message = text; }
    QStringList& Description() { return m_description; }
    const QStringList& Description() const { return m_description; }
    bool SaveLog() const { return m_saveLog; }
    void setSaveLog(bool on) { m_saveLog = on; }

    // Describes the exception through the class table, or as an internal program error.
    // Passwords in the description are replaced by "***" (maskPasswords).
    void Describe(const std::exception& e);

    // Appends one entry for the current error to LogFile (completed by LogLocation), creating
    // the file when missing; nothing for a blank LogFile. The context (active window and
    // control) is written as given when not empty. A failure to write adds a line saying so to
    // Message and goes no further.
    void WriteLog(const QString& context);

    // Re-reads the message file's section names and constants (Describe does this first).
    void reloadMessageFile();
    // The message file's translation of a message, or empty; may change SaveLog.
    QString FindMessage(const QString& message);
    // A message file value with escapes expanded, the piece of message that "<MESSAGE>" marks
    // extracted, and constants substituted. A constant that refers to itself, directly or through
    // others, stops the substitution and leaves the text as it stands.
    QString ExpandMacros(const QString& value, const QString& message);

private:
    struct MacroState;
    QString expandMacros(const QString& value, const QString& message, MacroState& state);
    std::optional<QString> iniValue(const std::string& section, const std::string& key);
    bool iniLogging(const std::string& section, bool current);

    QStringList m_sections;
    QStringList m_constants;
    std::vector<std::string> m_rawSections;  // as stored in the file (ANSI code page)
    std::vector<std::string> m_rawConstants; // as stored in the file (ANSI code page)
    QString m_iniFile;
    TrFileLocation m_iniLocation = flDefault;
    QString m_iniPath;
    bool m_iniOpen = false;
    QString m_logFile;
    TrFileLocation m_logLocation = flDefault;
    QString m_userName;
    QString m_titleMessage;
    QString m_message;
    QStringList m_description;
    bool m_saveLog = false;
    std::unique_ptr<script::IniFile> m_ini;
};

} // namespace vt::desktop
