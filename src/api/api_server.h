#pragma once

#include "api/api_protocol.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

namespace kavio {
class ApiHost;
struct TAppSettings;
}

namespace kavio::qt {

// The API's TCP listener on all IPv4 addresses, on the GUI thread. Admitted clients get the
// greeting; each chunk of received data that ends with CR LF is split into request lines, which
// run one at a time against the host, with one reply line each, in order. A refused client gets
// the blocked line and is closed; nothing it sends runs.
class TApiServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 64;
    // Connections waiting to be accepted. A queue shorter than the client limit makes the
    // system drop connections it has already completed when many clients arrive at once, and
    // those clients would wait for ever for a greeting; so every one is queued and then greeted
    // or refused.
    static constexpr int kPendingConnections = 128;

    explicit TApiServer(ApiHost& host, QObject* parent = nullptr);
    ~TApiServer() override;

    // Ends every connection (each gets the goodbye line) and closes the listener, takes the
    // access settings and, with AcceptAPI, listens on PortNumber. A failure to listen is
    // reported through listenFailed; the access settings are applied all the same.
    void ApplySettings(const TAppSettings& settings);

    // Listens on `port` (0: a free port, see Port()). A listener that is open is closed first,
    // with its connections. Returns false after reporting the failure through listenFailed.
    bool Open(quint16 port);
    // Ends every connection, the newest first, each with the goodbye line; closes the listener.
    void Close();

    void SetAccess(const ApiAccess& access) { m_access = access; }
    const ApiAccess& Access() const { return m_access; }

    // The most bytes one client may have waiting; exceeding it ends the connection.
    void SetReceiveLimit(size_t bytes) { m_receiveLimit = bytes; }

    bool IsListening() const;
    quint16 Port() const;
    int ClientCount() const { return static_cast<int>(m_clients.size()); }

signals:
    // "Windows ソケットエラー： message (number) [API 'call']".
    void listenFailed(const QString& message);
    // A function raised an error; the client got the failure line instead of a reply.
    void requestFailed(const QString& message);

private:
    struct Client;

    void AcceptPending();
    void Refuse(QTcpSocket* socket);
    void Read(const std::shared_ptr<Client>& client);
    void Run(const std::shared_ptr<Client>& client);
    void EndClient(std::shared_ptr<Client> client);
    void Forget(std::shared_ptr<Client> client);

    ApiHost& m_host;
    QTcpServer* m_server;
    ApiAccess m_access;
    size_t m_receiveLimit;
    std::vector<std::shared_ptr<Client>> m_clients;  // in the order they connected
};

}  // namespace kavio::qt
