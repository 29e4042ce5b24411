#include "api/api_server.h"

#include "api/api_connection.h"
#include "api/api_host.h"
#include "api/kavio_api.h"
#include "config/app_settings.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

#include <algorithm>

namespace kavio::qt {

namespace {

// While a client's replies waiting to be sent exceed this, its requests wait: a client that
// sends requests without reading the replies cannot make the program hold unbounded output.
constexpr qint64 kSendBacklogLimit = qint64(64) << 20;
// How long a connection being ended may still send before it is cut off.
constexpr int kLingerMilliseconds = 1000;

void Write(QTcpSocket* socket, std::string_view line)
{
    socket->write(line.data(), static_cast<qint64>(line.size()));
    socket->write(kApiLineEnd.data(), static_cast<qint64>(kApiLineEnd.size()));
}

// Sends `line` as the connection's last and ends it so that the line arrives: the sending side
// closes once the data has gone out, and what the peer still sends is read and dropped until it
// closes too or the linger time runs out. (Closing a socket that holds unread data resets the
// connection, and the peer may lose the line.) `release` frees the socket afterwards.
template <typename Release>
void SendLastLine(QTcpSocket* socket, std::string_view line, Release release)
{
    Write(socket, line);
    auto closeSending = [socket] {
        if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
            ::shutdown(static_cast<int>(socket->socketDescriptor()), SHUT_WR);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, closeSending);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, release);
    QTimer::singleShot(kLingerMilliseconds, socket, [socket, release] {
        socket->abort();
        release();
    });
    socket->flush();
    closeSending();
}

}  // namespace

struct TApiServer::Client {
    explicit Client(QTcpSocket* s, size_t limit) : socket(s), connection(limit) {}

    QPointer<QTcpSocket> socket;
    TApiConnection connection;
    // A request of this client is executing; a modal box may be open below it.
    bool running = false;
    // The connection has ended; nothing more is executed or sent.
    bool ended = false;
    // The socket is to be freed once the running request returns.
    bool releaseWhenDone = false;

    // The socket's own signal handlers may be on the stack below a running request, so it is
    // freed only after that request has returned.
    void ReleaseSocket()
    {
        if (running)
            releaseWhenDone = true;
        else if (socket)
            socket->deleteLater();
    }
};

TApiServer::TApiServer(ApiHost& host, QObject* parent)
    : QObject(parent),
      m_host(host),
      m_server(new QTcpServer(this)),
      m_receiveLimit(TApiConnection::kDefaultLimit)
{
    m_server->setMaxPendingConnections(kPendingConnections);
    m_server->setListenBacklogSize(kPendingConnections);
    connect(m_server, &QTcpServer::newConnection, this, &TApiServer::AcceptPending);
}

TApiServer::~TApiServer()
{
    Close();
    // Give the goodbye lines their chance to leave before the sockets go with the listener.
    for (QTcpSocket* socket : m_server->findChildren<QTcpSocket*>())
        socket->flush();
}

void TApiServer::ApplySettings(const TAppSettings& settings)
{
    Close();
    SetAccess(ApiAccess{settings.AcceptOther, settings.LeaveIPAddress});
    if (settings.AcceptAPI)
        Open(static_cast<quint16>(settings.PortNumber));
}

bool TApiServer::Open(quint16 port)
{
    Close();
    if (m_server->listen(QHostAddress::AnyIPv4, port))
        return true;
    emit listenFailed(QStringLiteral("Windows ソケットエラー： %1 (%2) [API '%3']")
                          .arg(m_server->errorString(),
                               QString::number(static_cast<int>(m_server->serverError())),
                               QStringLiteral("listen")));
    return false;
}

void TApiServer::Close()
{
    while (!m_clients.empty())
        EndClient(m_clients.back());
    m_server->close();
}

bool TApiServer::IsListening() const
{
    return m_server->isListening();
}

quint16 TApiServer::Port() const
{
    return m_server->serverPort();
}

void TApiServer::AcceptPending()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        const std::string address = socket->peerAddress().toString().toStdString();
        if (!AdmitClient(address, m_access) || ClientCount() >= kMaxClients) {
            Refuse(socket);
            continue;
        }
        auto client = std::make_shared<Client>(socket, m_receiveLimit);
        m_clients.push_back(client);
        // Data beyond this waits in the system's buffers while a request runs (flow control).
        socket->setReadBufferSize(static_cast<qint64>(m_receiveLimit));
        std::weak_ptr<Client> weak = client;
        connect(socket, &QTcpSocket::readyRead, this, [this, weak] {
            if (auto c = weak.lock())
                Read(c);
        });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, weak] {
            if (auto c = weak.lock())
                Run(c);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, weak] {
            if (auto c = weak.lock()) {
                c->ended = true;
                Forget(c);
                c->ReleaseSocket();
            }
        });
        Write(socket, ApiGreetingLine());
        if (socket->bytesAvailable() > 0)
            Read(client);
    }
}

void TApiServer::Refuse(QTcpSocket* socket)
{
    SendLastLine(socket, kApiBlockedLine, [socket] { socket->deleteLater(); });
}

void TApiServer::Read(const std::shared_ptr<Client>& client)
{
    // Data that arrives while a request of this client runs stays in the socket (its signal is
    // not raised again meanwhile), so look again after each run.
    while (!client->ended && client->socket && client->socket->bytesAvailable() > 0) {
        const QByteArray data = client->socket->readAll();
        if (client->connection.Receive(std::string_view(data.constData(), data.size())) ==
            TApiConnection::ReceiveResult::Overflow) {
            EndClient(client);
            return;
        }
        if (client->running)
            return;  // the running request's loop takes the new lines
        Run(client);
    }
}

void TApiServer::Run(const std::shared_ptr<Client>& client)
{
    if (client->running)
        return;
    client->running = true;
    while (!client->ended && client->socket && client->connection.HasRequest()) {
        if (client->socket->bytesToWrite() > kSendBacklogLimit)
            break;  // resumed by bytesWritten
        std::string reply;
        try {
            reply = ExecuteRequestLine(m_host, client->connection.TakeRequest());
        } catch (const std::exception& error) {
            reply = kApiFailedLine;
            emit requestFailed(QString::fromUtf8(error.what()));
        }
        if (client->ended || !client->socket)
            break;
        Write(client->socket, reply);
    }
    client->running = false;
    if (client->releaseWhenDone && client->socket)
        client->socket->deleteLater();
}

void TApiServer::EndClient(std::shared_ptr<Client> client)
{
    client->ended = true;
    Forget(client);
    QTcpSocket* socket = client->socket;
    if (!socket)
        return;
    socket->disconnect(this);
    SendLastLine(socket, ApiGoodbyeLine(), [client] { client->ReleaseSocket(); });
}

void TApiServer::Forget(std::shared_ptr<Client> client)
{
    std::erase(m_clients, client);
}

}  // namespace kavio::qt
