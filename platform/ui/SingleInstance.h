#pragma once
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

#include <memory>

namespace platform::ui {

// Keeps one copy of the program running: the first copy listens on a local
// socket of the given name; a later copy finds it there, tells it to come
// to the front, and ends.
//
// A first copy that crashed leaves its socket file behind with nobody
// listening: a copy that cannot connect to it takes the name over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = QStringLiteral("kandor_event"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True: this is the first copy and now listens. False: another copy
    // runs (this one stays connected to it for notify()), or the name could
    // not be taken.
    bool registerInstance();
    // Tells the running copy to come to the front.
    void notify();
    void release();

    bool listening() const { return server_ && server_->isListening(); }

signals:
    // A later copy asked this one to come to the front.
    void raised();

private:
    bool listen();
    void accept();

    QString name_;
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<QLocalSocket> peer_;
};

// The program entry's calls, over one SingleInstance named "kandor_event".
bool ZarejestrujInstancje();
void PowiadomInstancje();
void ZwolnijInstancje();
// The process's instance guard, for connecting to raised().
SingleInstance& Instancja();

} // namespace platform::ui
