#include "vehicle/selectcar.h"

#include "platform/formcontrols.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TForm2::TForm2(QWidget* mainWindow) : QDialog(mainWindow), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("Form2"));
    buildUi();
}

void TForm2::buildUi() {
    setWindowTitle(QStringLiteral("Select car"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(720, 360);
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
}

void TForm2::clearLines() {
    m_ListBox1->clear();
}

void TForm2::addLine(const QString& line) {
    insertSorted(m_ListBox1, line);
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
    move(m_mainWindow->geometry().center() - rect().center());
}

void TForm2::FormClose() {
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}
