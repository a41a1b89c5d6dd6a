// The contents of an INI file in memory: its lines as read, with sections and entries indexed.
// Internal to the INI module; IniFile (inifile.h) is the interface to use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/nameindex.h"

namespace vt::script {

class IniDocument final {
public:
    // One line: its text, followed in memory by its own line end (empty for a last line without
    // one). The bytes lie in the text given to parse() or in texts the document owns.
    class Line {
    public:
        Line() = default;
        Line(const char* data, std::size_t size, std::size_t eolSize)
            : m_data(data), m_bits(size << 2 | eolSize) {}
        std::string_view text() const { return {m_data, m_bits >> 2}; }
        std::string_view eol() const { return {m_data + (m_bits >> 2), m_bits & 3}; }

    private:
        const char* m_data = nullptr;
        std::size_t m_bits = 0; // text size << 2 | line end size (0 to 2)
    };

    // An entry: its trimmed key, its line (an index into its section's lines) and its first '='.
    struct Entry {
        std::string_view key;
        uint32_t line;
        uint32_t eq;
    };

    // What a section has of its own once it is changed, in place of ranges of the shared arrays.
    struct OwnLines {
        std::vector<Line> lines;
        std::vector<Entry> entries;
    };

    // One occurrence of a section. Until it is changed its lines and entries are ranges of the
    // document's shared arrays, which parsing fills without an allocation per section; a change
    // gives it arrays of its own.
    struct Section {
        std::string_view name;
        Line header;
        std::size_t lineBegin = 0, lineCount = 0, entryBegin = 0, entryCount = 0;
        std::unique_ptr<OwnLines> own;
        std::unique_ptr<NameIndex> keyIndex; // key -> entry, for sections with many entries
        bool first = true; // the first occurrence of its name: the one that is seen
    };

    // Replaces the contents with those of text, which the document keeps.
    void parse(std::string text);
    void clear();

    // The first occurrence of a section, or nullptr.
    const Section* findSection(std::string_view name) const;
    // The first entry of a key in a section, or nullptr.
    const Entry* findEntry(const Section& section, std::string_view key) const;
    // The entries of a section in file order, the first of each key only.
    std::span<const Entry> entries(const Section& section) const;
    // How many of the section's entries fit in the key-list budget.
    std::size_t listedCount(const Section& section) const;
    // The text after the entry's '=', untrimmed.
    std::string_view rawValue(const Section& section, const Entry& entry) const;
    // The names of the sections in file order, each once.
    std::vector<std::string> sectionNames() const;
    // The same sections with their names as written between the brackets, blanks before the
    // closing ']' kept (a header without ']' is trimmed as usual).
    std::vector<std::string> untrimmedSectionNames() const;

    // Sets key=value in the section's first occurrence (appending the key, or the section at the
    // end of the file, when missing). Names and value must hold no line break.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every entry of the key from the section's first occurrence; false when none.
    bool removeKey(std::string_view section, std::string_view key);
    // Removes every occurrence of the section with its lines; false when none.
    bool removeSection(std::string_view section);

    // The whole file as it is to be written.
    std::string text() const;

private:
    std::span<const Line> linesOf(const Section& s) const;
    Section* findMutable(std::string_view name);
    OwnLines& makeOwn(Section& s);
    void indexEntries(Section& s, std::span<const Line> lines, std::vector<Entry>& into);
    bool indexSection(std::size_t i);
    bool lastLineBlank() const;
    Line ownedLine(std::string text, std::string_view eol);

    std::string m_buffer;            // the text last parsed
    std::deque<std::string> m_owned; // texts of lines set since (their addresses stay put)
    std::vector<Line> m_lines;       // every line as parsed
    std::vector<Entry> m_entries;    // the entries of unchanged sections
    std::vector<Line> m_preamble;    // lines before the first section
    std::vector<Section> m_sections; // every section occurrence, in file order
    NameIndex m_sectionIndex;        // name -> first occurrence
};

} // namespace vt::script
