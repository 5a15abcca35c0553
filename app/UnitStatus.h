#pragma once
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;
class TCPUMonitor;

// "Status": the machine's CPU load, the logic's statistics of the last
// second and the program's threads with their loads. Under a high load it
// writes what it shows to the thread log, at most once a minute, so a
// stalled desk leaves a trace of which thread was busy.
class TFormStatus : public QWidget {
    Q_OBJECT
public:
    // Above this total load (percent) the thread list goes to the log.
    static constexpr float ProgLogu = 25.0f;

    explicit TFormStatus(QWidget* parent = nullptr);

    void OdswiezStatus(TCPUMonitor& monitor);
    // The thread log's file: the documents folder's "kandor_threads.log";
    // empty when there is no documents folder.
    static std::string PlikLoguWatkow();

    QLabel* LabelCPU = nullptr;
    QPlainTextEdit* MemoThreads = nullptr;
    QTimer* Timer = nullptr;

    bool ZapisDozwolony = true;
    int TaktyNaSekunde = 0;
    int SredniCzasTaktu = 0;
    int CzasSynchronizacji = 0;

private:
    void ZapiszLogWatkow();
};
