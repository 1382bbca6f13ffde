#include "pricing/processing.h"

#include "platform/dialogs.h"
#include "platform/widgets.h"

#include <QCloseEvent>
#include <QLabel>
#include <QToolButton>

namespace {
const QString kStop = QStringLiteral("STOP");
const QString kClose = QStringLiteral("CLOSE");
// About 30 paints a second at most.
constexpr int kPaintMs = 33;
} // namespace

TForm3::TForm3(Dialogs& dialogs, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_dialogs(dialogs),
      m_mainWindow(mainWindow) {
    buildUi();
    m_paintTimer.setSingleShot(true);
    connect(&m_paintTimer, &QTimer::timeout, this, &TForm3::paintTexts);
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
    // The requests still open, beside the line count of the progress line.
    m_openRequests = new QLabel(this);
    m_openRequests->setObjectName(QStringLiteral("openRequests"));
    m_openRequests->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_openRequests->setStyleSheet(QStringLiteral("color: white; background-color: navy; font-size: 15px;"));
    m_SpeedButton1 = makeButton(QStringLiteral("SpeedButton1"), kStop, this);
    m_SpeedButton1->setStyleSheet(QStringLiteral("color: red;"));

    // Placed, not laid out: the labels change with every line of a run, and a layout would
    // measure them all again each time.
    title->setGeometry(12, 6, 726, 26);
    m_Label2->setGeometry(12, 38, 220, 34);
    m_Label3->setGeometry(240, 38, 378, 34);
    m_openRequests->setGeometry(618, 38, 120, 34);
    m_Label4->setGeometry(12, 78, 726, 32);
    m_Label5->setGeometry(12, 122, 320, 34);
    m_Label6->setGeometry(340, 122, 120, 34);
    m_SpeedButton1->setGeometry(618, 118, 120, 42);
    connect(m_SpeedButton1, &QToolButton::clicked, this, &TForm3::SpeedButton1Click);
}

void TForm3::begin(int lineCount, const QString& progressLine) {
    m_texts.lineCount = QStringLiteral("Count lines : ") + QString::number(lineCount);
    m_texts.progressLine = progressLine;
    m_texts.phase.clear();
    paintTexts();
    show();
}

void TForm3::setProgressLine(const QString& text) {
    m_texts.progressLine = text;
    changed();
}

void TForm3::setPhase(const QString& text) {
    m_texts.phase = text;
    changed();
}

void TForm3::setRunningCount(int count) {
    m_count = count;
    changed();
}

void TForm3::setOpenRequests(int count) {
    m_texts.open = count > 0 ? QStringLiteral("%1 open").arg(count) : QString();
    changed();
}

QString TForm3::buttonCaption() const {
    return m_SpeedButton1->text();
}

void TForm3::changed() {
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= kPaintMs)
        paintTexts();
    else if (!m_paintTimer.isActive())
        m_paintTimer.start(kPaintMs - int(m_sincePaint.elapsed()));
}

void TForm3::paintTexts() {
    m_paintTimer.stop();
    m_sincePaint.start();
    m_Label2->setText(m_texts.lineCount);
    m_Label3->setText(m_texts.progressLine);
    m_Label4->setText(m_texts.phase);
    m_Label6->setText(QString::number(m_count));
    m_openRequests->setText(m_texts.open);
}

void TForm3::FormShow() {
    StopFlag = 0;
    m_shuttingDown = false;
    m_SpeedButton1->setText(kStop);
    paintTexts();
    if (m_mainWindow) {
        move(m_mainWindow->frameGeometry().center() - rect().center());
        m_mainWindow->setEnabled(false);
    }
}

bool TForm3::FormCloseQuery() const {
    return m_shuttingDown || m_count < 1 || m_SpeedButton1->text() == kClose;
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
    setRunningCount(0);
    paintTexts();
    m_SpeedButton1->setText(kClose);
    emit stopConfirmed();
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
    paintTexts();
    FormClose();
}
