#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace kavio {

// One admitted client's received data. Bytes collect until everything received so far ends with
// CR LF; then all of it is split into request lines, which wait in order until they are taken
// for execution. Lines that arrive while an earlier one still runs (a modal Echo box lets events
// through) queue behind it, so every line runs exactly once and in the order received.
class TApiConnection {
public:
    static constexpr size_t kDefaultLimit = size_t(64) << 20;

    // `limit`: the most bytes a client may have waiting, received and queued together.
    explicit TApiConnection(size_t limit = kDefaultLimit) : m_limit(limit) {}

    enum class ReceiveResult { Ok, Overflow };
    // Overflow: the client sent more than the limit without it being executed; the data is
    // dropped and the connection should end.
    ReceiveResult Receive(std::string_view bytes);

    bool HasRequest() const { return !m_requests.empty(); }
    // The oldest waiting request line (without CR LF).
    std::string TakeRequest();

    // Bytes held: the incomplete batch and the queued lines.
    size_t HeldBytes() const { return m_buffer.size() + m_queuedBytes; }

private:
    size_t m_limit;
    std::string m_buffer;
    std::deque<std::string> m_requests;
    size_t m_queuedBytes = 0;
};

}  // namespace kavio
