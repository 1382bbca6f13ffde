#include "pricing/processing.h"

#include "platform/dialogs.h"
#include "platform/widgets.h"
#include "pricing/priceworkers.h"

#include <QCloseEvent>
#include <QLabel>
#include <QToolButton>

namespace {
const QString kStop = QStringLiteral("STOP");
const QString kClose = QStringLiteral("CLOSE");
} // namespace

TForm3::TForm3(Dialogs& dialogs, PriceWorkers& workers, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_dialogs(dialogs),
      m_workers(workers), m_mainWindow(mainWindow) {
    buildUi();
    connect(&m_workers, &PriceWorkers::countChanged, this, &TForm3::showCount);
}

void TForm3::buildUi() {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Processing export/analiz prices"));
    setFixedSize(750, 167);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    setPalette(colours);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(19);
    setFont(bold);

    auto* title = new QLabel(QStringLiteral("Processing export/analiz prices"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont underlined = bold;
    underlined.setUnderline(true);
    title->setFont(underlined);
    m_Label2 = new QLabel(QStringLiteral("Count lines : "), this);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_Label3 = new QLabel(this);
    m_Label3->setObjectName(QStringLiteral("Label3"));
    m_Label3->setStyleSheet(QStringLiteral("color: white; background-color: navy; font-size: 24px;"));
    m_Label4 = new QLabel(this);
    m_Label4->setObjectName(QStringLiteral("Label4"));
    m_Label4->setWordWrap(true);
    m_Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Label4->setStyleSheet(QStringLiteral("color: red; font-size: 11px;"));
    m_Label5 = new QLabel(QStringLiteral("Count of running threads"), this);
    m_Label5->setObjectName(QStringLiteral("Label5"));
    m_Label6 = new QLabel(QStringLiteral("0"), this);
    m_Label6->setObjectName(QStringLiteral("Label6"));
    m_SpeedButton1 = makeButton(QStringLiteral("SpeedButton1"), kStop, this);
    m_SpeedButton1->setStyleSheet(QStringLiteral("color: red;"));

    // Placed, not laid out: the labels change with every line of a run, and a layout would
    // measure them all again each time.
    title->setGeometry(12, 6, 726, 26);
    m_Label2->setGeometry(12, 38, 220, 34);
    m_Label3->setGeometry(240, 38, 498, 34);
    m_Label4->setGeometry(12, 78, 726, 32);
    m_Label5->setGeometry(12, 122, 320, 34);
    m_Label6->setGeometry(340, 122, 120, 34);
    m_SpeedButton1->setGeometry(618, 118, 120, 42);
    connect(m_SpeedButton1, &QToolButton::clicked, this, &TForm3::SpeedButton1Click);
}

void TForm3::setLineCount(int lineCount) {
    m_Label2->setText(QStringLiteral("Count lines : ") + QString::number(lineCount));
}

void TForm3::setProgressLine(const QString& text) {
    m_Label3->setText(text);
}

void TForm3::setPhase(const QString& text) {
    m_Label4->setText(text);
}

QString TForm3::phase() const {
    return m_Label4->text();
}

QString TForm3::buttonCaption() const {
    return m_SpeedButton1->text();
}

void TForm3::showCount(int count) {
    m_Label6->setText(QString::number(count));
}

void TForm3::FormShow() {
    StopFlag = 0;
    m_shuttingDown = false;
    m_SpeedButton1->setText(kStop);
    showCount(m_workers.RunningThreadCount());
    if (m_mainWindow) {
        move(m_mainWindow->frameGeometry().center() - rect().center());
        m_mainWindow->setEnabled(false);
    }
}

bool TForm3::FormCloseQuery() const {
    return m_shuttingDown || m_workers.RunningThreadCount() < 1 || m_SpeedButton1->text() == kClose;
}

void TForm3::FormClose() {
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}

void TForm3::SpeedButton1Click() {
    if (StopFlag == 1) {
        close();
        return;
    }
    if (!m_dialogs.confirm(QStringLiteral("Stop export ???"), Confirmation::Routine))
        return;
    StopFlag = 1;
    m_workers.forgetRunning();
    m_Label6->setText(QStringLiteral("0"));
    m_SpeedButton1->setText(kClose);
}

void TForm3::closeForShutdown() {
    m_shuttingDown = true;
    close();
}

void TForm3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm3::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}
