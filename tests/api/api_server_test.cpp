#include "api/api_server.h"

#include "api/api_protocol.h"
#include "api/fake_api_host.h"
#include "base/codepage.h"
#include "base/error.h"
#include "config/app_settings.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <memory>

using kavio::ApiAccess;
using kavio::operator""_sj;
using kavio::qt::TApiServer;
using kavio::test::FakeApiHost;

namespace {

const QByteArray kGreeting = QByteArray::fromStdString(kavio::ApiGreetingLine()) + "\r\n";
const QByteArray kGoodbye = QByteArray::fromStdString(kavio::ApiGoodbyeLine()) + "\r\n";
const QByteArray kBlocked = QByteArray(kavio::kApiBlockedLine.data()) + "\r\n";

// A client on 127.0.0.1 that collects everything the server sends.
class TestClient {
public:
    explicit TestClient(quint16 port, const QHostAddress& from = QHostAddress())
    {
        if (!from.isNull())
            socket.bind(from);
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(5000);
    }

    void Send(const QByteArray& data)
    {
        socket.write(data);
        socket.flush();
    }

    // Waits until `count` lines have arrived (or the time is up) and returns the lines received.
    QList<QByteArray> Lines(int count, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (received.count("\r\n") < count && timer.elapsed() < timeoutMs)
            QTest::qWait(5);
        QList<QByteArray> lines = received.split('\n');
        lines.removeLast();
        for (QByteArray& line : lines)
            line.chop(1);
        return lines;
    }

    bool WaitClosed(int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!closed && timer.elapsed() < timeoutMs)
            QTest::qWait(5);
        return closed;
    }

    QTcpSocket socket;
    QByteArray received;
    bool closed = false;
};

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace

class ApiServerTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        host = std::make_unique<FakeApiHost>();
        server = std::make_unique<TApiServer>(*host);
        QVERIFY(server->Open(0));
        port = server->Port();
    }
    void cleanup()
    {
        server.reset();
        host.reset();
    }

    // Catches execution before everything received ends with CR LF, and replies out of order.
    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::newRow("split over two segments")
            << QList<QByteArray>{"Noop", "\r\n"} << QList<QByteArray>{"Successed"};
        QTest::newRow("two in one segment")
            << QList<QByteArray>{"SetText a\r\nGetText\r\n"}
            << QList<QByteArray>{"Successed", "a"};
        QTest::newRow("complete and incomplete")
            << QList<QByteArray>{"SetText b\r\nGet", "Text\r\n"}
            << QList<QByteArray>{"Successed", "b"};
        QTest::newRow("unknown and empty lines")
            << QList<QByteArray>{"nope\r\n\r\nnoop\r\n"}
            << QList<QByteArray>{"Function NotFound", "Function NotFound", "Successed"};
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, replies);
        TestClient client(port);
        QCOMPARE(client.Lines(1).value(0), kGreeting.chopped(2));
        for (qsizetype i = 0; i < chunks.size(); ++i) {
            client.Send(chunks[i]);
            QTest::qWait(50);
            if (i + 1 < chunks.size())
                QCOMPARE(client.Lines(1, 0).size(), 1);  // nothing ran yet
        }
        QCOMPARE(client.Lines(1 + replies.size()).mid(1), replies);
    }

    // A remote address without permission gets the blocked line, is closed, and nothing it
    // sends is executed; with a matching pattern it is served.
    void admissionByAddress()
    {
        host->text = "kept";
        {
            TestClient remote(port, QHostAddress("127.0.0.2"));
            remote.Send("SetText lost\r\n");
            QVERIFY(remote.WaitClosed());
            QCOMPARE(remote.received, kBlocked);
        }
        QTest::qWait(50);
        QCOMPARE(host->text, std::string("kept"));
        QCOMPARE(server->ClientCount(), 0);

        server->SetAccess(ApiAccess{true, "127.0.0.*"});
        TestClient allowed(port, QHostAddress("127.0.0.2"));
        allowed.Send("GetText\r\n");
        QCOMPARE(allowed.Lines(2), (QList<QByteArray>{kGreeting.chopped(2), "kept"}));
    }

    // The 65th client at once is refused like a blocked address; a freed place is usable again.
    void clientLimit()
    {
        std::vector<std::unique_ptr<TestClient>> clients;
        for (int i = 0; i < TApiServer::kMaxClients; ++i) {
            clients.push_back(std::make_unique<TestClient>(port));
            QCOMPARE(clients.back()->Lines(1).value(0), kGreeting.chopped(2));
        }
        QCOMPARE(server->ClientCount(), TApiServer::kMaxClients);

        TestClient extra(port);
        extra.Send("SetText lost\r\n");
        QVERIFY(extra.WaitClosed());
        QCOMPARE(extra.received, kBlocked);
        QCOMPARE(host->text, std::string());

        clients.pop_back();
        QTRY_COMPARE(server->ClientCount(), TApiServer::kMaxClients - 1);
        TestClient again(port);
        again.Send("Noop\r\n");
        QCOMPARE(again.Lines(2).value(1), QByteArray("Successed"));
    }

    // A client sending more than the limit without a line end is dropped with the goodbye line;
    // the server keeps nothing of it.
    void receiveLimit()
    {
        server->SetReceiveLimit(1 << 20);
        TestClient greedy(port);
        QCOMPARE(greedy.Lines(1).size(), 1);
        greedy.Send(QByteArray(3 << 20, 'x'));
        QVERIFY(greedy.WaitClosed());
        QVERIFY2(greedy.received.endsWith(kGoodbye), greedy.received.right(80).constData());
        QCOMPARE(server->ClientCount(), 0);

        TestClient next(port);
        next.Send("Noop\r\n");
        QCOMPARE(next.Lines(2).value(1), QByteArray("Successed"));
    }

    // While Echo's box is open, the same client's later lines wait and then run once, in order;
    // other clients are served meanwhile.
    void echoWaitsForTheBox()
    {
        std::unique_ptr<TestClient> other;
        QList<QByteArray> otherRepliesDuringBox;
        std::unique_ptr<TestClient> echoing;
        host->onShow = [&](const std::string& text) {
            if (text != "first")
                return;
            echoing->Send("SetText x\r\nGetText\r\n");
            other->Send("Noop\r\n");
            QEventLoop loop;
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < 400 && other->received.count("\r\n") < 2)
                loop.processEvents(QEventLoop::AllEvents, 10);
            QTest::qWait(100);  // the echoing client's lines have arrived by now
            otherRepliesDuringBox = other->Lines(2, 0);
            QCOMPARE(host->text, std::string());  // the waiting lines have not run
        };
        other = std::make_unique<TestClient>(port);
        echoing = std::make_unique<TestClient>(port);
        QCOMPARE(other->Lines(1).size(), 1);
        QCOMPARE(echoing->Lines(1).size(), 1);

        echoing->Send("Echo first\r\n");
        QCOMPARE(echoing->Lines(4).mid(1),
                 (QList<QByteArray>{"Successed", "Successed", "x"}));
        QCOMPARE(otherRepliesDuringBox.value(1), QByteArray("Successed"));
        QCOMPARE(host->shown, std::vector<std::string>{"first"});
        QCOMPARE(host->changes, 1);
        QTest::qWait(100);
        QCOMPARE(echoing->Lines(4, 0).size(), 4);  // nothing ran twice
    }

    // The connection ends while its Echo box is open: nothing crashes when the box returns, and
    // the lines queued behind it do not run.
    void connectionEndsDuringEcho_data()
    {
        QTest::addColumn<bool>("serverCloses");
        QTest::newRow("client leaves") << false;
        QTest::newRow("settings re-applied") << true;
    }
    void connectionEndsDuringEcho()
    {
        QFETCH(bool, serverCloses);
        TestClient client(port);
        QCOMPARE(client.Lines(1).size(), 1);
        host->onShow = [&](const std::string&) {
            if (serverCloses)
                server->Close();
            else
                client.socket.abort();
            QTest::qWait(200);
        };
        client.Send("Echo x\r\nSetText lost\r\n");
        QTRY_COMPARE(host->shown.size(), size_t(1));
        QTRY_COMPARE(server->ClientCount(), 0);
        QTest::qWait(100);
        QCOMPARE(host->text, std::string());
        if (serverCloses) {
            QVERIFY(client.WaitClosed());
            QCOMPARE(client.received, kGreeting + kGoodbye);
        }
    }

    // A reply far larger than the socket's send buffer arrives whole, CR LF included.
    void largeReply()
    {
        host->text = std::string(24 << 20, 'a') + "\r\nend";
        TestClient client(port);
        client.Send("GetText\r\nNoop\r\n");
        const QList<QByteArray> lines = client.Lines(3, 20000);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[1].size(), qsizetype(24 << 20) + 4);
        QVERIFY(lines[1].endsWith("\rend"));
        QCOMPARE(lines[2], QByteArray("Successed"));
    }

    // A failing function gets the failure line, is reported, and the batch goes on.
    void functionError()
    {
        QSignalSpy failed(server.get(), &TApiServer::requestFailed);
        host->onShow = [](const std::string&) { throw kavio::EKavioError("読めません"); };
        TestClient client(port);
        client.Send("Echo x\r\nNoop\r\n");
        QCOMPARE(client.Lines(3).mid(1), (QList<QByteArray>{"Function Failed", "Successed"}));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toString(), QString("読めません"));
    }

    // Re-applying settings ends every connection with the goodbye line and listens on the new port.
    void applySettingsReopens()
    {
        TestClient first(port);
        TestClient second(port);
        QCOMPARE(first.Lines(1).size(), 1);
        QCOMPARE(second.Lines(1).size(), 1);

        kavio::TAppSettings settings;
        settings.PortNumber = FreePort();
        settings.AcceptOther = true;
        settings.LeaveIPAddress = "10.*";
        server->ApplySettings(settings);
        QCOMPARE(server->Port(), quint16(settings.PortNumber));
        QCOMPARE(server->Access(), (ApiAccess{true, "10.*"}));

        for (TestClient* client : {&first, &second}) {
            QVERIFY(client->WaitClosed());
            QCOMPARE(client->received, kGreeting + kGoodbye);
        }
        TestClient old(port);
        QTRY_VERIFY(old.socket.state() == QAbstractSocket::UnconnectedState);
        TestClient fresh(settings.PortNumber);
        QCOMPARE(fresh.Lines(1).value(0), kGreeting.chopped(2));

        settings.AcceptAPI = false;
        server->ApplySettings(settings);
        QVERIFY(!server->IsListening());
        QVERIFY(fresh.WaitClosed());
    }

    // A port in use is reported in the socket error form; the access settings apply all the same.
    void listenFailure()
    {
        QTcpServer occupier;
        QVERIFY(occupier.listen(QHostAddress::AnyIPv4, 0));
        QSignalSpy failed(server.get(), &TApiServer::listenFailed);
        kavio::TAppSettings settings;
        settings.PortNumber = occupier.serverPort();
        settings.AcceptOther = true;
        server->ApplySettings(settings);
        QVERIFY(!server->IsListening());
        QCOMPARE(failed.size(), 1);
        const QString message = failed[0][0].toString();
        QVERIFY2(message.startsWith("Windows ソケットエラー： ") &&
                     message.endsWith(" [API 'listen']"),
                 qPrintable(message));
        QVERIFY(server->Access().AcceptOther);
    }

    // kavioctl end to end: one request, a batch from stdin, and the failures it must report.
    void kavioctl()
    {
        host->text = "あ\r\nい"_sj;
        auto run = [](const QStringList& args, const QByteArray& input = {}) {
            auto process = std::make_shared<QProcess>();
            process->start(KAVIOCTL_PATH, args);
            process->waitForStarted();
            process->write(input);
            process->closeWriteChannel();
            // The server answers on this thread, so wait with the event loop running.
            QElapsedTimer timer;
            timer.start();
            while (process->state() != QProcess::NotRunning && timer.elapsed() < 10000)
                QTest::qWait(5);
            return process;
        };
        const QString portText = QString::number(port);

        auto single = run({"--port", portText, "GetText"});
        QCOMPARE(single->exitCode(), 0);
        QCOMPARE(QString::fromUtf8(single->readAllStandardOutput()), QString("あ\nい\n"));

        auto batch = run({"--port", portText, "-"}, "SetText う\nSetSelStart 1\nGetSelStart\nbad\n");
        QCOMPARE(batch->exitCode(), 0);
        QCOMPARE(QString::fromUtf8(batch->readAllStandardOutput()),
                 QString("Successed\nSuccessed\n1\nFunction NotFound\n"));
        QCOMPARE(host->text, "う"_sj);

        auto argument = run({"--port", portText, "SetText", "x\ny"});
        QCOMPARE(argument->exitCode(), 0);
        QCOMPARE(host->text, std::string("x\r\ny"));

        auto closed = run({"--port", QString::number(FreePort()), "Noop"});
        QVERIFY(closed->exitCode() != 0);
        QVERIFY(closed->readAllStandardError().contains("not listening"));

        std::vector<std::unique_ptr<TestClient>> clients;
        for (int i = 0; i < TApiServer::kMaxClients; ++i) {
            clients.push_back(std::make_unique<TestClient>(port));
            QCOMPARE(clients.back()->Lines(1).size(), 1);
        }
        auto refused = run({"--port", portText, "SetText", "lost"});
        QVERIFY(refused->exitCode() != 0);
        QVERIFY(refused->readAllStandardError().contains("refused"));
        QCOMPARE(host->text, std::string("x\r\ny"));
    }

private:
    std::unique_ptr<FakeApiHost> host;
    std::unique_ptr<TApiServer> server;
    quint16 port = 0;
};

QTEST_GUILESS_MAIN(ApiServerTest)
#include "api_server_test.moc"
