#include "geodata/gpx/xml_nodes.h"

#include <sstream>

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

namespace {
void AppendText(pugi::xml_node node, std::string& text) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
        } else if (child.type() == pugi::node_element) {
            AppendText(child, text);
        }
    }
}
}  // namespace

std::string TextContent(pugi::xml_node node) {
    std::string text;
    if (node) {
        AppendText(node, text);
    }
    return text;
}

std::string OuterXml(pugi::xml_node node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

}  // namespace geodata
