#pragma once

#include <pugixml.hpp>

#include <QByteArray>
#include <QString>

namespace sarn {

// Parses replies and descriptions that come from the network, which may be hostile: refuses
// document type declarations, invalid UTF-8 and absurd nesting instead of trusting the parser
// with them. Throws MessageError with the reason.
class XmlGuard {
  public:
    static constexpr int kMaxDepth = 256;

    // Parses `buffer` in place (its bytes are rewritten and must outlive `document`). Text nodes
    // that are only white space are kept when they are an element's only child.
    static void ParseInPlace(pugi::xml_document& document, QByteArray& buffer);
};

// Element names: the prefix and the local part of a qualified name, and the namespace a
// prefix stands for at a node (the default namespace for an empty prefix).
QString LocalName(const char* qualifiedName);
QString Prefix(const char* qualifiedName);
QString NamespaceOf(pugi::xml_node node, const QString& prefix);

// The node's XML as written, without added formatting.
QByteArray OuterXml(pugi::xml_node node);

}  // namespace sarn
