#include "app/UnitStatus.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/TCPUMonitor.h"
#include "core/ZapiszWyjatek.h"

namespace {

QString Procent(float wartosc, const QString& po) {
    return QLocale().toString(static_cast<double>(wartosc), 'f', 2) + po;
}

QString DataCzasWatku(TCPUMonitor::DataCzas czas) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(czas.time_since_epoch()).count();
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(ms), QLocale::ShortFormat);
}

} // namespace

TFormStatus::TFormStatus(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormStatus"));
    setWindowTitle(QStringLiteral("Status"));
    setAttribute(Qt::WA_DeleteOnClose);
    LabelCPU = new QLabel(this);
    LabelCPU->setObjectName(QStringLiteral("LabelCPU"));
    MemoThreads = new QPlainTextEdit(this);
    MemoThreads->setObjectName(QStringLiteral("MemoThreads"));
    MemoThreads->setReadOnly(true);
    MemoThreads->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoThreads->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoThreads->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(LabelCPU);
    uklad->addWidget(MemoThreads);
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(60000);
    connect(Timer, &QTimer::timeout, this, [this] { ZapisDozwolony = true; });
    Timer->start();
    resize(520, 360);
}

void TFormStatus::OdswiezStatus(TCPUMonitor& monitor) {
    LabelCPU->setText(QStringLiteral("CPU: ") + Procent(monitor.ObciazenieCalkowite(), QStringLiteral("%")));

    QStringList linie;
    linie << QStringLiteral("PPS: %1").arg(TaktyNaSekunde) << QStringLiteral("PT AVG: %1").arg(SredniCzasTaktu)
          << QStringLiteral("PUC: %1").arg(CzasSynchronizacji);
    for (int id = monitor.PierwszyWatek(); id != 0; id = monitor.NastepnyWatek()) {
        const QString nazwa = QString::fromStdString(monitor.NazwaWatku(id));
        linie << Procent(monitor.ObciazenieWatku(id), QStringLiteral("% ")) + '[' +
                     DataCzasWatku(monitor.CzasPojawieniaWatku(id)) + "] (" +
                     QString::fromStdString(monitor.EtykietaWatku(id)) + ") " + nazwa + ' ' +
                     QString::number(static_cast<unsigned>(id));
    }
    MemoThreads->setUpdatesEnabled(false);
    MemoThreads->setPlainText(linie.join('\n'));
    MemoThreads->setUpdatesEnabled(true);

    if (ZapisDozwolony && monitor.ObciazenieCalkowite() > ProgLogu)
        ZapiszLogWatkow();
}

std::string TFormStatus::PlikLoguWatkow() {
    const std::string folder = FolderDokumentow();
    if (folder.empty())
        return {};
    return (std::filesystem::path(folder) / "kandor_threads.log").string();
}

// A log that cannot be written now is tried again at the next refresh.
void TFormStatus::ZapiszLogWatkow() {
    const std::string plik = PlikLoguWatkow();
    if (plik.empty())
        return;
    std::FILE* log = std::fopen(plik.c_str(), "ab");
    if (!log)
        return;
    QString tresc;
    for (const QString& linia : MemoThreads->toPlainText().split('\n'))
        tresc += linia + QStringLiteral("\r\n");
    const QByteArray czas =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8();
    std::fprintf(log, "%s\r\n%s\r\n", czas.constData(), tresc.toUtf8().constData());
    std::fclose(log);
    ZapisDozwolony = false;
}
