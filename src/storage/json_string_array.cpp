// SPDX-License-Identifier: GPL-3.0-or-later
// Compact JSON arrays of strings, written byte for byte like the reference encoder.
#include "storage/json_string_array.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace nabrix {

namespace {

void appendEscaped(QByteArray& out, const QString& text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += QByteArray::number(byte, 16).rightJustified(2, '0');
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

QByteArray encodeJsonStringArray(const QStringList& strings)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < strings.size(); ++i) {
        if (i > 0)
            out += ',';
        appendEscaped(out, strings[i]);
    }
    out += ']';
    return out;
}

std::optional<QStringList> decodeJsonStringArray(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QStringList strings;
    const QJsonArray array = document.array();
    strings.reserve(array.size());
    for (const QJsonValue value : array) {
        if (!value.isString())
            return std::nullopt;
        strings.append(value.toString());
    }
    return strings;
}

} // namespace nabrix
