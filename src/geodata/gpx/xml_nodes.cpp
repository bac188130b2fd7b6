#include "geodata/gpx/xml_nodes.h"

#include <cctype>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "engine/core/xml_escape.h"
#include "geodata/gpx/text_utils.h"

namespace geodata {

pugi::xml_node FirstChildNoCase(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && SameText(child.name(), name)) {
            return child;
        }
    }
    return {};
}

pugi::xml_node LastChildNoCase(pugi::xml_node parent, std::string_view name) {
    for (pugi::xml_node child = parent.last_child(); child; child = child.previous_sibling()) {
        if (child.type() == pugi::node_element && SameText(child.name(), name)) {
            return child;
        }
    }
    return {};
}

pugi::xml_attribute AttributeNoCase(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (SameText(a.name(), name)) {
            return a;
        }
    }
    return {};
}

pugi::xml_node PathNoCase(pugi::xml_node node, std::string_view path) {
    while (node && !path.empty()) {
        const std::size_t slash = path.find('/');
        node = FirstChildNoCase(node, path.substr(0, slash));
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return node;
}

std::string TextContent(pugi::xml_node node) {
    // Walked with a loop, not recursion: a file may nest elements deeper than the stack holds.
    std::string text;
    for (pugi::xml_node at = node.first_child(); at;) {
        if (at.type() == pugi::node_pcdata || at.type() == pugi::node_cdata) {
            text += at.value();
        } else if (at.type() == pugi::node_element && at.first_child()) {
            at = at.first_child();
            continue;
        }
        while (!at.next_sibling()) {
            at = at.parent();
            if (at == node) {
                return text;
            }
        }
        at = at.next_sibling();
    }
    return text;
}

std::string OuterXml(pugi::xml_node node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    const std::string printed = out.str();
    // The printer writes a control character of the source as "&#NN;", which XML 1.0 forbids
    // but for tab, line feed and carriage return: those references are left out. (Its own
    // option to skip controls would drop the three allowed ones in attributes too.)
    std::string kept;
    kept.reserve(printed.size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
        if (printed.compare(i, 2, "&#") == 0 && i + 4 < printed.size() && printed[i + 4] == ';' &&
            std::isdigit(static_cast<unsigned char>(printed[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(printed[i + 3]))) {
            const int code = (printed[i + 2] - '0') * 10 + (printed[i + 3] - '0');
            if (code < 32 && code != '\t' && code != '\n' && code != '\r') {
                i += 4;
                continue;
            }
        }
        kept += printed[i];
    }
    return engine::XmlCharacters(kept);
}

bool IsNamespaceDeclaration(std::string_view attributeName) {
    return attributeName == "xmlns" || attributeName.starts_with("xmlns:");
}

namespace {
// The declaration attribute that binds a qualified name's prefix ("xmlns:p", or "xmlns" for
// an unprefixed element); empty for names that need none.
std::string DeclarationFor(std::string_view qualified, bool element) {
    const std::size_t colon = qualified.find(':');
    if (colon == std::string_view::npos) {
        return element ? "xmlns" : "";
    }
    const std::string_view prefix = qualified.substr(0, colon);
    if (prefix == "xml" || prefix == "xmlns") {
        return {};
    }
    return "xmlns:" + std::string(prefix);
}
}  // namespace

std::string OuterXmlInScope(pugi::xml_node node) {
    if (node.type() != pugi::node_element) {
        return OuterXml(node);
    }
    // The declarations the subtree needs, found with a loop (it may be nested very deep).
    std::set<std::string> needed;
    for (pugi::xml_node at = node; at;) {
        if (at.type() == pugi::node_element) {
            needed.insert(DeclarationFor(at.name(), true));
            for (pugi::xml_attribute a = at.first_attribute(); a; a = a.next_attribute()) {
                if (!IsNamespaceDeclaration(a.name())) {
                    needed.insert(DeclarationFor(a.name(), false));
                }
            }
            if (at.first_child()) {
                at = at.first_child();
                continue;
            }
        }
        while (at != node && !at.next_sibling()) {
            at = at.parent();
        }
        at = at == node ? pugi::xml_node() : at.next_sibling();
    }
    needed.erase("");
    // The nearest declaration of each among the ancestors below the root element.
    std::vector<std::pair<std::string, std::string>> added;
    for (const std::string& name : needed) {
        if (node.attribute(name.c_str())) {
            continue;
        }
        for (pugi::xml_node up = node.parent();
             up.type() == pugi::node_element && up.parent().type() != pugi::node_document;
             up = up.parent()) {
            if (const pugi::xml_attribute declared = up.attribute(name.c_str())) {
                added.emplace_back(name, declared.value());
                break;
            }
        }
    }
    if (added.empty()) {
        return OuterXml(node);
    }
    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_copy(node);
    for (const auto& [name, value] : added) {
        copy.append_attribute(name.c_str()).set_value(value.c_str());
    }
    return OuterXml(copy);
}

}  // namespace geodata
