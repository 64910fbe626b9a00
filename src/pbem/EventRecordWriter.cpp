#include "pbem/EventRecordWriter.h"

#include "pbem/DataBuffer.h"
#include "pbem/EventFiles.h"

std::string BuildEventRecord(const CPBEMGameEvent& event)
{
    CDataBuffer buffer;
    buffer.AppendRaw("Even", 4);
    buffer.AppendByte(1); // record version; readers skip it
    buffer.AppendWide(event.m_strGameId);
    buffer.AppendInt32(event.m_nFromPlayer);
    buffer.AppendByte(event.m_bShared ? 1 : 0);
    buffer.AppendInt32(event.m_nPlayer);
    buffer.AppendBytes8(event.m_strKind);
    buffer.AppendWide(event.m_strText);
    const std::int32_t nSize = event.m_pData ? event.m_nDataSize : 0;
    buffer.AppendInt32(nSize);
    buffer.AppendInt32(nSize);
    if (nSize > 0)
        buffer.AppendRaw(event.m_pData.get(), static_cast<std::size_t>(nSize));
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetSize());
}

std::string BuildEscapedEventRecord(const CPBEMGameEvent& event)
{
    return EscapeEventText(BuildEventRecord(event));
}
