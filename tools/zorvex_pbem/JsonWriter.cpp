#include "JsonWriter.h"

#include "base/Encoding.h"

namespace
{
const char kHex[] = "0123456789abcdef";
}

void CJsonWriter::BeforeValue()
{
    if (m_bNeedComma)
        m_strOut += ',';
    m_bNeedComma = true;
}

CJsonWriter& CJsonWriter::BeginObject()
{
    BeforeValue();
    m_strOut += '{';
    m_bNeedComma = false;
    return *this;
}

CJsonWriter& CJsonWriter::EndObject()
{
    m_strOut += '}';
    m_bNeedComma = true;
    return *this;
}

CJsonWriter& CJsonWriter::BeginArray(std::string_view key)
{
    Key(key);
    m_strOut += '[';
    m_bNeedComma = false;
    return *this;
}

CJsonWriter& CJsonWriter::EndArray()
{
    m_strOut += ']';
    m_bNeedComma = true;
    return *this;
}

CJsonWriter& CJsonWriter::Key(std::string_view key)
{
    BeforeValue();
    AppendQuoted(key);
    m_strOut += ':';
    m_bNeedComma = false; // the value follows without a comma
    return *this;
}

CJsonWriter& CJsonWriter::String(std::wstring_view value)
{
    BeforeValue();
    AppendQuoted(WideToUtf8(value));
    return *this;
}

CJsonWriter& CJsonWriter::Number(long long value)
{
    BeforeValue();
    m_strOut += std::to_string(value);
    return *this;
}

CJsonWriter& CJsonWriter::Bool(bool value)
{
    BeforeValue();
    m_strOut += value ? "true" : "false";
    return *this;
}

void CJsonWriter::AppendQuoted(std::string_view utf8)
{
    m_strOut += '"';
    for (char ch : utf8)
    {
        const auto c = static_cast<unsigned char>(ch);
        switch (c)
        {
        case '"':
            m_strOut += "\\\"";
            break;
        case '\\':
            m_strOut += "\\\\";
            break;
        case '\n':
            m_strOut += "\\n";
            break;
        case '\r':
            m_strOut += "\\r";
            break;
        case '\t':
            m_strOut += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
            {
                m_strOut += "\\u00";
                m_strOut += kHex[c >> 4];
                m_strOut += kHex[c & 0xF];
            }
            else
            {
                m_strOut += ch;
            }
        }
    }
    m_strOut += '"';
}
