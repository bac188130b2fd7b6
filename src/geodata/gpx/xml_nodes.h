#pragma once
// pugixml helpers for files whose element and attribute names are read without regard to case.
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace geodata {

pugi::xml_node FirstChildNoCase(pugi::xml_node parent, std::string_view name);
pugi::xml_node LastChildNoCase(pugi::xml_node parent, std::string_view name);
pugi::xml_attribute AttributeNoCase(pugi::xml_node node, std::string_view name);
// The first element reached by a path of child names ("Point/coordinates"), or an empty node.
pugi::xml_node PathNoCase(pugi::xml_node node, std::string_view path);
// All text below the node, in document order.
std::string TextContent(pugi::xml_node node);
// The node as XML text without added white space, without the characters XML 1.0 forbids.
std::string OuterXml(pugi::xml_node node);
// Whether an attribute of that name declares a namespace ("xmlns" or "xmlns:p").
bool IsNamespaceDeclaration(std::string_view attributeName);
// OuterXml of an element taken out of its file: its start tag also declares the namespace
// prefixes (and the default namespace) that it and its descendants use and that an ancestor
// below the file's root element declares. The root's own declarations are the writer's.
std::string OuterXmlInScope(pugi::xml_node node);

}  // namespace geodata
