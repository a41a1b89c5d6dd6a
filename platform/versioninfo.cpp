// Reads the version block from a file's .vtversion ELF section, parsing only the section headers.
#include "platform/versioninfo.h"

#include <cstring>
#include <elf.h>
#include <fstream>

namespace vt::platform {
namespace {

constexpr std::size_t kMaxSection = 1 << 20;
constexpr std::string_view kBlockMarker = "VTVERSION";
constexpr std::string_view kFileVersionKey = "FILEVERSION";

struct SectionRef {
    uint64_t offset = 0;
    uint64_t size = 0;
};

bool readAt(std::ifstream& in, uint64_t offset, void* dst, std::size_t size) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char*>(dst), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

// Finds a section by name in an ELF file of class Ehdr/Shdr.
template <typename Ehdr, typename Shdr>
std::optional<SectionRef> findSection(std::ifstream& in, uint64_t fileSize, const char* name) {
    Ehdr eh{};
    if (!readAt(in, 0, &eh, sizeof eh))
        return std::nullopt;
    if (eh.e_shoff == 0 || eh.e_shentsize != sizeof(Shdr) || eh.e_shnum == 0 ||
        eh.e_shstrndx >= eh.e_shnum)
        return std::nullopt;
    if (eh.e_shoff > fileSize || uint64_t(eh.e_shnum) * sizeof(Shdr) > fileSize - eh.e_shoff)
        return std::nullopt;
    std::vector<Shdr> sections(eh.e_shnum);
    if (!readAt(in, eh.e_shoff, sections.data(), sections.size() * sizeof(Shdr)))
        return std::nullopt;
    const Shdr& strtab = sections[eh.e_shstrndx];
    if (strtab.sh_offset > fileSize || strtab.sh_size > fileSize - strtab.sh_offset ||
        strtab.sh_size > kMaxSection)
        return std::nullopt;
    std::string names(strtab.sh_size, '\0');
    if (!readAt(in, strtab.sh_offset, names.data(), names.size()))
        return std::nullopt;
    const std::size_t nameLen = std::strlen(name);
    for (const Shdr& sh : sections) {
        if (sh.sh_name + nameLen >= names.size())
            continue;
        if (std::memcmp(names.data() + sh.sh_name, name, nameLen + 1) != 0)
            continue;
        if (sh.sh_type == SHT_NOBITS || sh.sh_offset > fileSize ||
            sh.sh_size > fileSize - sh.sh_offset || sh.sh_size > kMaxSection)
            return std::nullopt;
        return SectionRef{sh.sh_offset, sh.sh_size};
    }
    return std::nullopt;
}

bool parseFileVersion(std::string_view text, std::array<uint16_t, 4>& out) {
    std::array<uint16_t, 4> parts{};
    std::size_t i = 0;
    for (int k = 0; k < 4; ++k) {
        unsigned value = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 6) {
            value = value * 10 + unsigned(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || value > 0xFFFF)
            return false;
        parts[k] = static_cast<uint16_t>(value);
        if (k < 3) {
            if (i >= text.size() || text[i] != '.')
                return false;
            ++i;
        }
    }
    if (i != text.size())
        return false;
    out = parts;
    return true;
}

} // namespace

std::optional<std::string> VersionInfo::value(const std::string& name) const {
    for (const auto& [key, val] : strings)
        if (key == name)
            return val;
    return std::nullopt;
}

std::string VersionInfo::fileVersionText() const {
    return std::to_string(fileVersion[0]) + "." + std::to_string(fileVersion[1]) + "." +
           std::to_string(fileVersion[2]) + "." + std::to_string(fileVersion[3]);
}

std::optional<VersionInfo> readVersionInfo(const std::string& fileName) {
    try {
        std::ifstream in(fileName, std::ios::binary);
        if (!in)
            return std::nullopt;
        in.seekg(0, std::ios::end);
        const auto end = in.tellg();
        if (end <= 0)
            return std::nullopt;
        const uint64_t fileSize = static_cast<uint64_t>(end);
        unsigned char ident[EI_NIDENT] = {};
        if (!readAt(in, 0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0 ||
            ident[EI_DATA] != ELFDATA2LSB)
            return std::nullopt;
        std::optional<SectionRef> ref;
        if (ident[EI_CLASS] == ELFCLASS64)
            ref = findSection<Elf64_Ehdr, Elf64_Shdr>(in, fileSize, ".vtversion");
        else if (ident[EI_CLASS] == ELFCLASS32)
            ref = findSection<Elf32_Ehdr, Elf32_Shdr>(in, fileSize, ".vtversion");
        if (!ref)
            return std::nullopt;
        std::string data(ref->size, '\0');
        if (!readAt(in, ref->offset, data.data(), data.size()))
            return std::nullopt;

        // The section holds one or more blocks: "VTVERSION\0" then "key=value\0" entries and an
        // empty string. The first block is the file's own.
        VersionInfo info;
        bool inBlock = false;
        bool haveVersion = false;
        std::size_t pos = 0;
        while (pos < data.size()) {
            std::size_t nul = data.find('\0', pos);
            if (nul == std::string::npos)
                nul = data.size();
            const std::string_view item(data.data() + pos, nul - pos);
            pos = nul + 1;
            if (!inBlock) {
                inBlock = item == kBlockMarker;
                continue;
            }
            if (item.empty() || item == kBlockMarker)
                break;
            const auto eq = item.find('=');
            if (eq == std::string_view::npos)
                continue;
            const std::string_view key = item.substr(0, eq);
            const std::string_view val = item.substr(eq + 1);
            if (key == kFileVersionKey)
                haveVersion = parseFileVersion(val, info.fileVersion);
            else
                info.strings.emplace_back(std::string(key), std::string(val));
        }
        if (!inBlock || !haveVersion)
            return std::nullopt;
        return info;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace vt::platform
