#include "api/api_connection.h"

#include "api/api_protocol.h"

namespace kavio {

TApiConnection::ReceiveResult TApiConnection::Receive(std::string_view bytes)
{
    if (bytes.size() > m_limit - HeldBytes()) {
        m_buffer.clear();
        m_buffer.shrink_to_fit();
        m_requests.clear();
        m_queuedBytes = 0;
        return ReceiveResult::Overflow;
    }
    m_buffer.append(bytes);
    if (!m_buffer.ends_with(kApiLineEnd))
        return ReceiveResult::Ok;

    // CR and LF are never the second byte of a double-byte character, so a plain search finds
    // the same line ends as a double-byte-aware one on valid text; on a stray lead byte before
    // CR LF it still ends the line there, and every line the client sent gets its reply. One
    // pass over the batch, however many lines it holds.
    size_t from = 0;
    while (from < m_buffer.size()) {
        const size_t end = m_buffer.find(kApiLineEnd, from);
        m_requests.push_back(m_buffer.substr(from, end - from));
        m_queuedBytes += end - from + kApiLineEnd.size();
        from = end + kApiLineEnd.size();
    }
    m_buffer.clear();
    return ReceiveResult::Ok;
}

std::string TApiConnection::TakeRequest()
{
    std::string line = std::move(m_requests.front());
    m_requests.pop_front();
    m_queuedBytes -= line.size() + kApiLineEnd.size();
    return line;
}

}  // namespace kavio
