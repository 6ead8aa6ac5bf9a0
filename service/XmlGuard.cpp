#include "service/XmlGuard.h"

#include "service/SoapErrors.h"

#include <cstring>
#include <vector>

namespace sarn {

namespace {

bool IsValidUtf8(const unsigned char* s, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        // Runs of ASCII are the common case (a Base64 image is nothing else).
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if ((word & 0x8080808080808080ULL) != 0) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        std::uint32_t min;
        std::uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            length = 2, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + length > n) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// pugixml reads a document in UTF-8 unless a byte order mark or the declaration says
// otherwise; only what it reads as UTF-8 needs checking here.
bool ReadAsUtf8(const QByteArray& buffer) {
    const auto b = [&](qsizetype i) { return static_cast<unsigned char>(buffer.at(i)); };
    if (buffer.size() >= 2 && ((b(0) == 0xFE && b(1) == 0xFF) || (b(0) == 0xFF && b(1) == 0xFE))) {
        return false;
    }
    if (buffer.size() >= 4 && (b(0) == 0 || b(1) == 0)) {
        return false;  // UTF-16 or UTF-32 without a mark
    }
    if (buffer.startsWith("<?xml")) {
        const qsizetype end = buffer.indexOf("?>");
        const QByteArray declaration = buffer.left(end < 0 ? 0 : end).toLower();
        if (declaration.contains("iso-8859-1") || declaration.contains("latin1")) {
            return false;
        }
    }
    return true;
}

void CheckTree(const pugi::xml_document& document) {
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_doctype) {
            throw MessageError(QStringLiteral("Document type declarations are not accepted"));
        }
    }
    // Walks the whole tree without recursion.
    int depth = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.first_child()) {
            node = node.first_child();
            if (++depth > XmlGuard::kMaxDepth) {
                throw MessageError(QStringLiteral("Elements nested too deeply"));
            }
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
            if (node == document) {
                return;
            }
        }
        if (node) {
            node = node.next_sibling();
        }
    }
}

}  // namespace

void XmlGuard::ParseInPlace(pugi::xml_document& document, QByteArray& buffer) {
    if (ReadAsUtf8(buffer) &&
        !IsValidUtf8(reinterpret_cast<const unsigned char*>(buffer.constData()),
                     static_cast<std::size_t>(buffer.size()))) {
        throw MessageError(QStringLiteral("Invalid UTF-8 in the XML document"));
    }
    const unsigned flags = pugi::parse_default | pugi::parse_doctype | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result result =
        document.load_buffer_inplace(buffer.data(), static_cast<std::size_t>(buffer.size()), flags);
    if (!result) {
        throw MessageError(QString::fromUtf8(result.description()) + QStringLiteral(" at offset ") +
                           QString::number(result.offset));
    }
    CheckTree(document);
}

QString LocalName(const char* qualifiedName) {
    const char* colon = std::strchr(qualifiedName, ':');
    return QString::fromUtf8(colon ? colon + 1 : qualifiedName);
}

QString Prefix(const char* qualifiedName) {
    const char* colon = std::strchr(qualifiedName, ':');
    return colon ? QString::fromUtf8(qualifiedName, colon - qualifiedName) : QString();
}

QString NamespaceOf(pugi::xml_node node, const QString& prefix) {
    const QByteArray attribute =
        prefix.isEmpty() ? QByteArray("xmlns") : QByteArray("xmlns:") + prefix.toUtf8();
    for (; node; node = node.parent()) {
        if (const pugi::xml_attribute a = node.attribute(attribute.constData())) {
            return QString::fromUtf8(a.value());
        }
    }
    return {};
}

QByteArray OuterXml(pugi::xml_node node) {
    struct Writer : pugi::xml_writer {
        QByteArray out;
        void write(const void* data, size_t size) override {
            out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
        }
    } writer;
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.out;
}

}  // namespace sarn
