// The contents of an INI file in memory: its lines as read, with sections and entries indexed.
//
// Decisions of the dialect where the format leaves a choice:
//  - A line inside a section whose first non-blank character is ';' is a comment, even when it
//    holds '='. A line without '=' (and a line whose key is blank) is no entry either. Both kinds
//    are never seen by readers and are written back exactly as they stand.
//  - Blank, as in "trimmed" and "first non-blank", means a byte from 0x00 to 0x20.
//  - Of a section that appears twice only the first occurrence is seen and written to; of a key
//    that appears twice in it only the first entry. Listings name each section and key once.
//  - A new entry goes after the last non-blank line of its section, so blank lines that part it
//    from the next section stay where they are; a new section is appended at the end of the
//    file, after a blank line when the file does not already end with one.
#include "script/inidocument.h"

#include "platform/asciitext.h"
#include "script/inifile.h"

namespace vt::script {
namespace {

constexpr std::string_view kNewLine = "\r\n";
// Sections with more entries than this get a hash index of their keys.
constexpr std::size_t kLinearLookupLimit = 8;

// Splits a line into key and '=' position when it is an entry.
bool parseEntry(std::string_view text, std::string_view& key, std::size_t& eq) {
    const std::string_view t = platform::trim(text);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return false;
    eq = text.find('=');
    if (eq == std::string_view::npos || eq > UINT32_MAX)
        return false;
    key = platform::trim(text.substr(0, eq));
    return !key.empty();
}

// The name of a section header line, when the line is one: the text after '[' up to the first
// ']' (or the end of the line), trimmed.
bool parseHeader(std::string_view text, std::string_view& name) {
    std::size_t b = 0;
    while (b < text.size() && static_cast<unsigned char>(text[b]) <= 0x20)
        ++b;
    if (b == text.size() || text[b] != '[')
        return false;
    text.remove_prefix(b + 1);
    const std::size_t close = text.find(']');
    name = platform::trim(close == std::string_view::npos ? text : text.substr(0, close));
    return true;
}

} // namespace

void IniDocument::clear() {
    m_buffer.clear();
    m_owned.clear();
    m_lines.clear();
    m_entries.clear();
    m_preamble.clear();
    m_sections.clear();
    m_sectionIndex.clear();
}

void IniDocument::parse(std::string text) {
    clear();
    m_buffer = std::move(text);
    // First the lines and where the sections start, then the sections as ranges of them.
    std::vector<std::size_t> headers;
    m_lines.reserve(m_buffer.size() / 40 + 16);
    const char* p = m_buffer.data();
    const char* end = p + m_buffer.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        const char* next = q;
        if (q < end)
            next = (*q == '\r' && q + 1 < end && q[1] == '\n') ? q + 2 : q + 1;
        m_lines.emplace_back(p, static_cast<std::size_t>(q - p),
                             static_cast<std::size_t>(next - q));
        std::string_view name;
        if (parseHeader(m_lines.back().text(), name))
            headers.push_back(m_lines.size() - 1);
        p = next;
    }
    const std::size_t firstHeader = headers.empty() ? m_lines.size() : headers.front();
    m_preamble.assign(m_lines.begin(), m_lines.begin() + static_cast<std::ptrdiff_t>(firstHeader));
    m_sections.resize(headers.size());
    m_entries.reserve(m_lines.size());
    for (std::size_t i = 0; i < headers.size(); ++i) {
        Section& s = m_sections[i];
        s.header = m_lines[headers[i]];
        parseHeader(s.header.text(), s.name);
        s.lineBegin = headers[i] + 1;
        s.lineCount = (i + 1 < headers.size() ? headers[i + 1] : m_lines.size()) - s.lineBegin;
        s.first = indexSection(i);
        indexEntries(s, linesOf(s), m_entries);
    }
}

std::span<const IniDocument::Line> IniDocument::linesOf(const Section& s) const {
    if (s.own)
        return s.own->lines;
    return std::span<const Line>(m_lines).subspan(s.lineBegin, s.lineCount);
}

std::span<const IniDocument::Entry> IniDocument::entries(const Section& s) const {
    if (s.own)
        return s.own->entries;
    return std::span<const Entry>(m_entries).subspan(s.entryBegin, s.entryCount);
}

// Appends the entries of the lines to into, the first of each key only, and indexes the keys of
// a large section.
void IniDocument::indexEntries(Section& s, std::span<const Line> lines, std::vector<Entry>& into) {
    const std::size_t base = into.size();
    s.keyIndex.reset();
    auto keyAt = [&into, base](std::size_t k) { return into[base + k].key; };
    for (std::size_t i = 0; i < lines.size() && i <= UINT32_MAX; ++i) {
        std::string_view key;
        std::size_t eq = 0;
        if (!parseEntry(lines[i].text(), key, eq))
            continue;
        const Entry e{key, static_cast<uint32_t>(i), static_cast<uint32_t>(eq)};
        const std::size_t count = into.size() - base;
        if (count < kLinearLookupLimit) {
            bool seen = false;
            for (std::size_t k = base; k < into.size() && !seen; ++k)
                seen = equalNoCase(into[k].key, e.key);
            if (!seen)
                into.push_back(e);
            continue;
        }
        if (!s.keyIndex) {
            s.keyIndex = std::make_unique<NameIndex>();
            for (std::size_t k = 0; k < count; ++k)
                s.keyIndex->insert(into[base + k].key, k, keyAt);
        }
        into.push_back(e);
        if (!s.keyIndex->insert(e.key, count, keyAt))
            into.pop_back();
    }
    s.entryBegin = base;
    s.entryCount = into.size() - base;
}

bool IniDocument::indexSection(std::size_t i) {
    return m_sectionIndex.insert(m_sections[i].name, i,
                                 [this](std::size_t k) { return m_sections[k].name; });
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    const std::size_t i = m_sectionIndex.find(platform::trim(name),
                                              [this](std::size_t k) { return m_sections[k].name; });
    return i == NameIndex::npos ? nullptr : &m_sections[i];
}

IniDocument::Section* IniDocument::findMutable(std::string_view name) {
    return const_cast<Section*>(findSection(name));
}

const IniDocument::Entry* IniDocument::findEntry(const Section& s, std::string_view key) const {
    key = platform::trim(key);
    const std::span<const Entry> list = entries(s);
    if (!s.keyIndex) {
        for (const Entry& e : list)
            if (equalNoCase(e.key, key))
                return &e;
        return nullptr;
    }
    const std::size_t i = s.keyIndex->find(key, [&list](std::size_t k) { return list[k].key; });
    return i == NameIndex::npos ? nullptr : &list[i];
}

std::size_t IniDocument::listedCount(const Section& s) const {
    // Each name is followed by a zero byte, and the list is closed by one more.
    std::size_t used = 1, n = 0;
    for (const Entry& e : entries(s)) {
        if (used + e.key.size() + 1 > IniFile::kKeyListBudget)
            break;
        used += e.key.size() + 1;
        ++n;
    }
    return n;
}

std::string_view IniDocument::rawValue(const Section& s, const Entry& e) const {
    return linesOf(s)[e.line].text().substr(e.eq + 1);
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : m_sections)
        if (s.first)
            names.emplace_back(s.name);
    return names;
}

std::vector<std::string> IniDocument::untrimmedSectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : m_sections) {
        if (!s.first)
            continue;
        std::string_view text = s.header.text();
        const std::size_t open = text.find('[');
        const std::size_t close = text.find(']', open + 1);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            names.emplace_back(s.name);
            continue;
        }
        text = text.substr(open + 1, close - open - 1);
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20)
            text.remove_prefix(1);
        names.emplace_back(text);
    }
    return names;
}

IniDocument::OwnLines& IniDocument::makeOwn(Section& s) {
    if (!s.own) {
        const std::span<const Line> lines = linesOf(s);
        s.own = std::make_unique<OwnLines>();
        s.own->lines.assign(lines.begin(), lines.end());
        const std::span<const Entry> list = entries(s);
        s.own->entries.assign(list.begin(), list.end());
    }
    return *s.own;
}

IniDocument::Line IniDocument::ownedLine(std::string text, std::string_view eol) {
    const std::size_t size = text.size();
    text.append(eol);
    m_owned.push_back(std::move(text));
    return Line(m_owned.back().data(), size, eol.size());
}

// True for an empty file and for one whose last line is blank.
bool IniDocument::lastLineBlank() const {
    if (!m_sections.empty()) {
        const std::span<const Line> lines = linesOf(m_sections.back());
        return !lines.empty() && platform::trim(lines.back().text()).empty();
    }
    return m_preamble.empty() || platform::trim(m_preamble.back().text()).empty();
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    section = platform::trim(section);
    key = platform::trim(key);
    Section* s = findMutable(section);
    if (s == nullptr) {
        if (!lastLineBlank()) {
            const Line blank(kNewLine.data(), 0, kNewLine.size());
            if (m_sections.empty())
                m_preamble.push_back(blank);
            else
                makeOwn(m_sections.back()).lines.push_back(blank);
        }
        m_sections.emplace_back();
        s = &m_sections.back();
        s->header = ownedLine("[" + std::string(section) + "]", kNewLine);
        s->name = s->header.text().substr(1, section.size());
        s->own = std::make_unique<OwnLines>();
        indexSection(m_sections.size() - 1);
    }
    const Entry* found = findEntry(*s, key);
    const std::size_t foundLine = found != nullptr ? found->line : 0;
    const std::size_t foundEq = found != nullptr ? found->eq : 0;
    OwnLines& own = makeOwn(*s);
    if (found != nullptr) {
        Line& line = own.lines[foundLine];
        std::string text(line.text().substr(0, foundEq + 1));
        text.append(value);
        line = ownedLine(std::move(text), line.eol().empty() ? kNewLine : line.eol());
    } else {
        std::size_t at = own.lines.size();
        while (at > 0 && platform::trim(own.lines[at - 1].text()).empty())
            --at;
        std::string text(key);
        text += '=';
        text.append(value);
        own.lines.insert(own.lines.begin() + static_cast<std::ptrdiff_t>(at),
                         ownedLine(std::move(text), kNewLine));
    }
    own.entries.clear();
    indexEntries(*s, own.lines, own.entries);
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    Section* s = findMutable(section);
    if (s == nullptr || findEntry(*s, key) == nullptr)
        return false;
    key = platform::trim(key);
    OwnLines& own = makeOwn(*s);
    std::vector<Line> kept;
    kept.reserve(own.lines.size());
    for (const Line& l : own.lines) {
        std::string_view k;
        std::size_t eq;
        if (!parseEntry(l.text(), k, eq) || !equalNoCase(k, key))
            kept.push_back(l);
    }
    own.lines = std::move(kept);
    own.entries.clear();
    indexEntries(*s, own.lines, own.entries);
    return true;
}

bool IniDocument::removeSection(std::string_view section) {
    if (findSection(section) == nullptr)
        return false;
    section = platform::trim(section);
    std::vector<Section> kept;
    kept.reserve(m_sections.size());
    for (Section& s : m_sections)
        if (!equalNoCase(s.name, section))
            kept.push_back(std::move(s));
    m_sections = std::move(kept);
    m_sectionIndex.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        m_sections[i].first = indexSection(i);
    return true;
}

std::string IniDocument::text() const {
    std::size_t total = 0;
    for (const Line& l : m_preamble)
        total += l.text().size() + 2;
    for (const Section& s : m_sections) {
        total += s.header.text().size() + 2;
        for (const Line& l : linesOf(s))
            total += l.text().size() + 2;
    }
    std::string out;
    out.reserve(total);
    // A line without a line end (the file's last) gets one when lines follow it.
    const Line* pending = nullptr;
    auto put = [&](const Line& l) {
        if (pending != nullptr)
            out.append(pending->eol().empty() ? kNewLine : pending->eol());
        out.append(l.text());
        pending = &l;
    };
    for (const Line& l : m_preamble)
        put(l);
    for (const Section& s : m_sections) {
        put(s.header);
        for (const Line& l : linesOf(s))
            put(l);
    }
    if (pending != nullptr)
        out.append(pending->eol());
    return out;
}

} // namespace vt::script
