#include "app/UnitKomunikaty.h"

#include <QDateTime>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

TFormKomunikaty::TFormKomunikaty(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FormKomunikaty"));
    setWindowTitle(QStringLiteral("Komunikaty"));
    setAttribute(Qt::WA_DeleteOnClose);
    MemoKomunikaty = new QPlainTextEdit(this);
    MemoKomunikaty->setObjectName(QStringLiteral("MemoKomunikaty"));
    MemoKomunikaty->setReadOnly(true);
    MemoKomunikaty->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoKomunikaty->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoKomunikaty->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->addWidget(MemoKomunikaty);
    resize(480, 240);
}

void TFormKomunikaty::Dodaj(const QString& tekst) {
    const QString czas = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    MemoKomunikaty->appendPlainText(czas + ' ' + tekst);
    QScrollBar* pionowy = MemoKomunikaty->verticalScrollBar();
    pionowy->setValue(pionowy->value() + 100);
}
