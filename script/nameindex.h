// A hash index from names, letter case ignored, to positions in a list kept elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vt::script {

// True when the names are equal but for letter case: every letter of the ANSI code page
// (CP1251: Latin and Cyrillic; UTF-8: every letter with a simple lower case in Unicode).
bool equalNoCase(std::string_view a, std::string_view b);

// 64-bit FNV-1a of the name with its letters lowered as equalNoCase() lowers them.
uint64_t hashNoCase(std::string_view name);

// Open addressing with linear probing over one flat array: a lookup touches one slot run and the
// one name it matches, which keeps large files (tens of thousands of sections) fast. The names
// are not stored: callers pass a function that gives the name at a position.
class NameIndex final {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    void clear() {
        m_slots.clear();
        m_count = 0;
    }
    bool empty() const { return m_count == 0; }

    // The position stored for name, or npos.
    template <typename NameAt> std::size_t find(std::string_view name, NameAt nameAt) const {
        if (m_slots.empty())
            return npos;
        const uint32_t h = static_cast<uint32_t>(hashNoCase(name));
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            const Slot& s = m_slots[i];
            if (s.position == 0)
                return npos;
            if (s.hash == h && equalNoCase(nameAt(s.position - 1), name))
                return s.position - 1;
        }
    }

    // Stores name at position unless the name is there already; true when stored.
    template <typename NameAt>
    bool insert(std::string_view name, std::size_t position, NameAt nameAt) {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        const uint32_t h = static_cast<uint32_t>(hashNoCase(name));
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            Slot& s = m_slots[i];
            if (s.position == 0) {
                s = Slot{h, static_cast<uint32_t>(position + 1)};
                ++m_count;
                return true;
            }
            if (s.hash == h && equalNoCase(nameAt(s.position - 1), name))
                return false;
        }
    }

private:
    struct Slot {
        uint32_t hash;
        uint32_t position; // position + 1; 0 marks a free slot
    };

    std::size_t mask() const { return m_slots.size() - 1; }

    void grow() {
        std::vector<Slot> old(m_slots.empty() ? 16 : m_slots.size() * 2, Slot{0, 0});
        old.swap(m_slots);
        for (const Slot& s : old) {
            if (s.position == 0)
                continue;
            std::size_t i = s.hash & mask();
            while (m_slots[i].position != 0)
                i = (i + 1) & mask();
            m_slots[i] = s;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

} // namespace vt::script
