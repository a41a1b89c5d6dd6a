// The text of a failing engine call, built from the general texts and the last error's entries.
#include "plugin/engineerrortext.h"

#include "dbengine/callinterface/callinterface.h"
#include "plugin/pluginerror.h"
#include "plugin/plugintexts.h"
#include "plugin/textcase.h"

#include <fmt/format.h>

namespace vt::plugin {
namespace {

namespace dbi = dbengine::dbi;
namespace st = dbengine::status;

// Entries read at most, against an engine that never reports the end of its list.
constexpr std::uint16_t kMaxEntries = 256;

class CallInterfaceSource final : public EngineErrorSource {
public:
    std::string generalText(dbengine::Status code) const override {
        std::string text;
        dbi::getErrorText(code, text);
        return text;
    }
    dbengine::Status entry(std::uint16_t number, std::int32_t& nativeCode,
                           std::string& text) const override {
        return dbi::getErrorEntry(number, nativeCode, text);
    }
};

std::string trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20)
        --e;
    return text.substr(b, e - b);
}

class LineCollector final {
public:
    void add(const std::string& text) {
        std::string line = trimmed(text);
        if (line.empty())
            return;
        for (const std::string& seen : m_lines)
            if (sameTextIgnoringCase(seen, line))
                return;
        m_lines.push_back(std::move(line));
    }
    std::string joined() const {
        std::string text;
        for (const std::string& line : m_lines) {
            if (!text.empty())
                text += "\r\n";
            text += line;
        }
        return text;
    }

private:
    std::vector<std::string> m_lines;
};

} // namespace

const EngineErrorSource& engineErrorSource() {
    static const CallInterfaceSource source;
    return source;
}

EngineErrorReport readEngineError(dbengine::Status code, const EngineErrorSource& source) {
    EngineErrorReport report;
    LineCollector lines;
    if (code != st::kGeneralSql)
        lines.add(source.generalText(code));
    for (std::uint16_t number = 1; number <= kMaxEntries; ++number) {
        std::int32_t nativeCode = 0;
        std::string text;
        const dbengine::Status entryCode = source.entry(number, nativeCode, text);
        if (entryCode == 0 || entryCode == st::kNoMoreErrors)
            break;
        report.nativeCodes.push_back(nativeCode);
        if (nativeCode == 0 && code != st::kGeneralSql)
            lines.add(source.generalText(entryCode));
        lines.add(text);
    }
    report.text = lines.joined();
    if (report.text.empty())
        report.text = fillTemplate(texts::kEngineErrorCode, {fmt::format("{:04X}", code)});
    return report;
}

} // namespace vt::plugin
