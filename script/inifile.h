// INI files in the one dialect every INI file of the system follows.
//
// Dialect:
//  - A line whose first non-blank character is '[' opens a section; its name is the text up to
//    the first ']' (a header without ']' takes the rest of the line), trimmed.
//  - Inside a section, a line holding '=' is an entry: key = text before the first '=', trimmed;
//    value = text after it, trimmed of blanks and control characters (bytes 0x00-0x20) at both
//    ends.
//  - Lines whose first non-blank character is ';' (comments, even when they hold '='), lines
//    without '=' and lines with a blank key are not entries: readers never see them, and they
//    are kept as they stand when the file is written. Lines before the first section belong to
//    no section.
//  - Section and key names are matched without regard to the case of any letter of the ANSI code
//    page (CP1251: Latin and Cyrillic; UTF-8 with VT_CODEPAGE=utf-8: every letter that Unicode
//    gives a simple lower case); names given to the operations are trimmed. When a section or a
//    key appears twice, the first occurrence wins: it alone is read, listed and written to.
//  - At most kMaxValue characters of a value are seen; the key names of one section are listed
//    through a budget of kKeyListBudget bytes (each name plus a zero byte), names that no longer
//    fit are not seen.
//  - CR LF, LF and CR line ends are read; lines written by this module end with CR LF, other lines
//    keep their own line end.
//  - Every write reaches the disk at once and atomically (temporary file beside it, then rename),
//    unless auto-flush is off, in which case flush() writes the pending changes. A new entry goes
//    after the last non-blank line of its section; a new section goes at the end of the file,
//    after a blank line.
//  - A missing file reads as empty; a file that exists but cannot be read throws IniError.
//  - The file is read once into memory and indexed; lookups do not scan it. Before each
//    operation the reader checks whether the file changed on disk (size, times, inode) and reads
//    it again when it did, so changes by other objects and processes are seen; pending changes
//    of this object (auto-flush off) win until they are flushed.
//  - One object serves one thread at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exception.h"

namespace vt::script {

// A file that cannot be read or written; the text names the file and the system's reason.
// It is the program's input/output error: code is the system's errno. (A name or value the
// format cannot hold is no input/output error: it is refused with vt::EConvertError.)
class IniError : public vt::EInOutError {
public:
    explicit IniError(std::string message, int code = 0)
        : vt::EInOutError(std::move(message), code) {}
};

// Parses a whole integer as readInteger() does: decimal with an optional sign, or hexadecimal
// after "0x" or "$"; 32-bit (decimal values outside that range are refused, hexadecimal ones of
// up to eight digits are 32-bit patterns: "$FFFFFFFF" is -1). False when the text is none.
bool parseIniInteger(std::string_view text, long& value);

// One entry of a section, in file order.
struct IniEntry {
    std::string key;      // trimmed key name
    std::string value;    // trimmed value, at most kMaxValue characters
    std::string rawValue; // the text after the first '=', untrimmed (line end removed),
                          // at most kMaxValue characters
};

class IniFile final {
public:
    static constexpr std::size_t kMaxValue = 2047;
    static constexpr std::size_t kKeyListBudget = 16384;

    // Opens the file (it need not exist). Throws IniError when it exists but cannot be read.
    explicit IniFile(std::string path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::string& path() const;

    // The trimmed value, or the default when the section or key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {});
    // The value untrimmed (only the line end removed, at most kMaxValue characters), or the
    // default when missing.
    std::string readRawString(std::string_view section, std::string_view key,
                              std::string_view defaultValue = {});
    // True when the section holds the key.
    bool hasKey(std::string_view section, std::string_view key);
    bool hasSection(std::string_view section);
    // The value as a decimal (or "0x"/"$" hexadecimal) integer; the default when missing, not an
    // integer or outside the 32-bit range (eight hexadecimal digits are a 32-bit pattern:
    // "$FFFFFFFF" is -1).
    long readInteger(std::string_view section, std::string_view key, long defaultValue);

    // Section names in file order (first occurrence of each).
    std::vector<std::string> sectionNames();
    // The same names with the blanks before the closing ']' kept, for files where a trailing
    // blank is part of a name's meaning ("[Lock ]"). Operations given such a name trim it.
    std::vector<std::string> untrimmedSectionNames();
    // Key names of a section in file order, within the key-list budget.
    std::vector<std::string> keyNames(std::string_view section);
    // Entries of a section in file order, within the key-list budget.
    std::vector<IniEntry> entries(std::string_view section);
    // Calls visit(key, value, rawValue) for the same entries as entries(), without copying them;
    // the views are valid only during the call, which must not change this object.
    void forEachEntry(std::string_view section,
                      const std::function<void(std::string_view key, std::string_view value,
                                               std::string_view rawValue)>& visit);

    // The key of the first entry of the section that the reading limits hide in part or whole:
    // a value longer than kMaxValue (the trimmed value, or the untrimmed one when raw), or an
    // entry beyond the key-list budget; empty when the section is read whole.
    std::string firstCutEntry(std::string_view section, bool raw);

    // Writes key=value (the value as given) into the section, replacing the value of the key's
    // first entry or appending an entry at the end of the section; a missing section is appended
    // to the file. Throws vt::EConvertError, naming the reason, for names or values that the
    // file could not give back (a line break anywhere, '=' in or ';' or '[' before the key, ']'
    // in the section name, a blank key, a value longer than kMaxValue), and IniError when the
    // file cannot be written; with auto-flush on, a change that did not reach the disk is
    // forgotten, so the object shows the file as it is.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, long value);
    // Removes the key's entries from the section (nothing is written when there are none).
    void deleteKey(std::string_view section, std::string_view key);
    // Removes the section (every occurrence) with all its lines, comments included.
    void eraseSection(std::string_view section);

    // With auto-flush on (the default) every change is written at once; off, changes stay in
    // memory until flush(). Turning it on writes what is pending. The destructor writes nothing:
    // changes not flushed are dropped.
    void setAutoFlush(bool on);
    // Writes pending changes atomically. Throws IniError on failure; the old file stays intact.
    void flush();
    // Forgets the cached contents and any pending changes: the next operation reads the file
    // again.
    void reload();
    // Runs several changes and writes them in one atomic write. When a change or the write
    // fails, the pending changes are dropped (memory and file agree again, the file as it was)
    // and the failure passes on. Auto-flush is on afterwards.
    void writeAtOnce(const std::function<void()>& changes);
    // When off, the file is read once and later changes on disk are not looked for.
    void setWatchDisk(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace vt::script
