#include "geodata/gps/port_settings.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "engine/core/atomic_file.h"
#include "engine/core/number_format.h"
#include "engine/core/text_helpers.h"

namespace geodata {
namespace {

using engine::SameText;
using engine::Trim;

// Lines of the file's text, after its byte-order mark.
std::vector<std::string> LinesOf(std::string_view bytes) {
    return engine::SplitLines(engine::WithoutBom(bytes));
}

std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        return line.substr(1, line.size() - 2);
    }
    return std::nullopt;
}

// Key and value of a "key=value" line.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line).starts_with(';')) {
        return std::nullopt;
    }
    return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

template <std::size_t N>
void TakeListed(const std::array<std::string_view, N>& allowed, std::string_view value,
                std::string& target) {
    for (const auto text : allowed) {
        if (SameText(text, value)) {
            target = std::string(text);
            return;
        }
    }
}

}  // namespace

bool PortChosen(std::string_view port) {
    port = Trim(port);
    return !port.empty() && !SameText(port, kFirstRunPort);
}

std::int32_t ComPortSettings::BaudRateValue() const {
    if (BaudRate == "Custom") {
        return CustomBaudRate;
    }
    return static_cast<std::int32_t>(engine::ParseInt(BaudRate).value_or(9600));
}

bool LoadPortSettings(const std::filesystem::path& file, std::string_view section,
                      ComPortSettings& settings) {
    std::string bytes;
    if (!engine::ReadFileBytes(file, bytes)) {
        return false;
    }
    bool inSection = false;
    std::optional<std::string> customRate;
    for (const auto& line : LinesOf(bytes)) {
        if (const auto name = SectionName(line)) {
            inSection = SameText(*name, section);
            continue;
        }
        const auto kv = inSection ? KeyValue(line) : std::nullopt;
        if (!kv) {
            continue;
        }
        const auto [key, value] = *kv;
        if (SameText(key, "Port")) {
            settings.Port = std::string(value);
        } else if (SameText(key, "BaudRate")) {
            TakeListed(kBaudRateTexts, value, settings.BaudRate);
        } else if (SameText(key, "CustomBaudRate")) {
            customRate = std::string(value);
        } else if (SameText(key, "StopBits")) {
            TakeListed(kStopBitsTexts, value, settings.StopBits);
        } else if (SameText(key, "DataBits")) {
            TakeListed(kDataBitsTexts, value, settings.DataBits);
        } else if (SameText(key, "Parity")) {
            TakeListed(kParityTexts, value, settings.Parity);
        } else if (SameText(key, "FlowControl")) {
            TakeListed(kFlowControlTexts, value, settings.FlowControl);
        }
    }
    if (settings.BaudRate == "Custom") {
        const auto rate = customRate ? engine::ParseInt32(*customRate) : std::nullopt;
        settings.CustomBaudRate = rate && *rate > 0 ? *rate : 9600;
    }
    return true;
}

bool SavePortSettings(const std::filesystem::path& file, std::string_view section,
                      const ComPortSettings& settings, std::string* error) {
    std::vector<std::pair<std::string, std::string>> values = {{"Port", settings.Port},
                                                               {"BaudRate", settings.BaudRate}};
    if (settings.BaudRate == "Custom") {
        values.emplace_back("CustomBaudRate", engine::FormatInt(settings.CustomBaudRate));
    }
    values.emplace_back("StopBits", settings.StopBits);
    values.emplace_back("DataBits", settings.DataBits);
    values.emplace_back("Parity", settings.Parity);
    values.emplace_back("FlowControl", settings.FlowControl);

    std::string bytes;
    std::vector<std::string> lines;
    if (engine::ReadFileBytes(file, bytes)) {
        lines = LinesOf(bytes);
    }
    // Find the section; replace the keys it holds and add the others at its end.
    std::vector<bool> written(values.size(), false);
    std::optional<std::size_t> sectionEnd;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (inSection) {
                break;
            }
            inSection = SameText(*name, section);
            if (inSection) {
                sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!Trim(lines[i]).empty()) {
            sectionEnd = i + 1;
        }
        const auto kv = KeyValue(lines[i]);
        if (!kv) {
            continue;
        }
        for (std::size_t v = 0; v < values.size(); ++v) {
            if (SameText(kv->first, values[v].first)) {
                lines[i] = values[v].first + "=" + values[v].second;
                written[v] = true;
            }
        }
    }
    std::vector<std::string> added;
    for (std::size_t v = 0; v < values.size(); ++v) {
        if (!written[v]) {
            added.push_back(values[v].first + "=" + values[v].second);
        }
    }
    if (!sectionEnd) {
        lines.push_back("[" + std::string(section) + "]");
        sectionEnd = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), added.begin(),
                 added.end());

    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return engine::WriteFileAtomic(file, text, error, {.mode = {}, .durable = true});
}

}  // namespace geodata
