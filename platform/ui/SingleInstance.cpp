#include "platform/ui/SingleInstance.h"

#include <QDir>
#include <QLockFile>

namespace platform::ui {

namespace {

// How long a later copy waits for the first to accept or take its word; a
// first copy that is alive answers from its event loop at once.
constexpr int kConnectTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    release();
}

bool SingleInstance::listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            socket->readAll();
            emit raised();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

bool SingleInstance::registerInstance() {
    release();
    // Two copies started together must not both find the name stale and
    // take it from each other: the check and the take-over run one at a time.
    QLockFile lock(QDir::temp().filePath(name_ + QStringLiteral(".lock")));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(5 * kConnectTimeoutMs))
        return false;

    peer_ = std::make_unique<QLocalSocket>();
    peer_->connectToServer(name_);
    if (peer_->waitForConnected(kConnectTimeoutMs))
        return false;
    peer_.reset();
    // Nobody answers on the name: no file, or a crashed copy's. listen()
    // with access options would replace a live copy's file without asking,
    // so the name is only taken here, under the lock, after nobody answered.
    QLocalServer::removeServer(name_);
    return listen();
}

void SingleInstance::notify() {
    if (!peer_ || peer_->state() != QLocalSocket::ConnectedState)
        return;
    peer_->write("1");
    peer_->waitForBytesWritten(kConnectTimeoutMs);
}

void SingleInstance::release() {
    if (peer_) {
        peer_->disconnectFromServer();
        peer_.reset();
    }
    if (server_) {
        server_->close();
        server_.reset();
    }
}

SingleInstance& Instancja() {
    static SingleInstance instancja;
    return instancja;
}

bool ZarejestrujInstancje() {
    return Instancja().registerInstance();
}

void PowiadomInstancje() {
    Instancja().notify();
}

void ZwolnijInstancje() {
    Instancja().release();
}

} // namespace platform::ui
