#include "vehicle/selectcar.h"

#include "platform/formcontrols.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QSize kMinimumSize(720, 360);
} // namespace

TForm2::TForm2(QWidget* mainWindow) : QDialog(mainWindow), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("Form2"));
    buildUi();
}

void TForm2::buildUi() {
    setWindowTitle(QStringLiteral("Select car"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setMinimumSize(kMinimumSize);
    resize(kMinimumSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QLabel(QStringLiteral("LIST CARS"), this);
    header->setObjectName(QStringLiteral("Label1"));
    header->setStyleSheet(
        QStringLiteral("background: palette(highlight); color: white; font-weight: bold; padding: 4px;"));
    layout->addWidget(header);
    m_ListBox1 = makeList(QStringLiteral("ListBox1"), this);
    layout->addWidget(m_ListBox1, 1);
    connect(m_ListBox1, &QListWidget::itemDoubleClicked, this, &TForm2::ListBox1DblClick);
    connect(new KeyWatcher(m_ListBox1, Qt::Key_Return), &KeyWatcher::pressed, this, &TForm2::ListBox1DblClick);
}

void TForm2::ListBox1DblClick() {
    const QListWidgetItem* item = m_ListBox1->currentItem();
    if (!item || !item->isSelected())
        return;
    // The number in the last braces: an engine line may hold braces of its own.
    const QString line = item->text();
    const qsizetype open = line.lastIndexOf(QLatin1Char('{'));
    const qsizetype end = line.lastIndexOf(QLatin1Char('}'));
    if (open < 0 || end < open)
        return;
    const QString ktype = line.mid(open + 1, end - open - 1);
    close();
    emit kTypeChosen(ktype);
}

void TForm2::fitLongestLine() {
    int widest = 0;
    for (int i = 0; i < m_ListBox1->count(); ++i)
        widest = std::max(widest, m_ListBox1->fontMetrics().horizontalAdvance(m_ListBox1->item(i)->text()));
    const int frame = m_ListBox1->frameWidth() * 2 + m_ListBox1->verticalScrollBar()->sizeHint().width() + 16;
    int width = std::max(kMinimumSize.width(), widest + frame);
    if (const QScreen* screen = m_mainWindow ? m_mainWindow->screen() : this->screen())
        width = std::min(width, screen->availableGeometry().width());
    resize(width, height());
}

void TForm2::clearLines() {
    m_ListBox1->clear();
}

void TForm2::addLine(const QString& line) {
    insertSorted(m_ListBox1, line);
}

void TForm2::showCandidates(const QStringList& lines) {
    clearLines();
    for (const QString& line : lines)
        addLine(line);
    show();
    m_ListBox1->setFocus();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm2::hideEvent(QHideEvent* event) {
    FormClose();
    QDialog::hideEvent(event);
}

void TForm2::FormShow() {
    if (!m_mainWindow)
        return;
    m_mainWindow->setEnabled(false);
    // Disabling the main window disables its child windows too; this one stays usable.
    setEnabled(true);
    fitLongestLine();
    // The keys go to the candidates, not to the disabled main window.
    activateWindow();
    move(m_mainWindow->geometry().center() - rect().center());
}

void TForm2::FormClose() {
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}
