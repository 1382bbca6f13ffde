#include "pricing/resulttables.h"

#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "pricing/gridrows.h"
#include "pricing/resultrows.h"
#include "pricing/tablegrid.h"
#include "service/appcontext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace {

QToolButton* barButton(const QString& name, const QString& text, const QString& hint) {
    QToolButton* button = makeButton(name, text);
    button->setToolTip(hint);
    return button;
}

} // namespace

ResultTables::ResultTables(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void ResultTables::buildUi(QWidget* parent) {
    m_compareRows = new ResultRows(ResultRows::Table::Compare, this);
    m_analysisRows = new ResultRows(ResultRows::Table::Analysis, this);
    // Wide enough for the titles and the usual texts, and no wider before the prices: at 1280 by
    // 800 the price and currency (and an offer's first price) are in view without scrolling. A
    // cut text shows whole as the cell's tool tip.
    m_StringGrid2 = new TableGrid(QStringLiteral("StringGrid2"), m_compareRows, {70, 85, 115, 95, 60, 60});
    m_StringGrid3 =
        new TableGrid(QStringLiteral("StringGrid3"), m_analysisRows, {60, 60, 80, 80, 90, 60, 60, 60, 60, 150, 50});
    const QString exportHint = QStringLiteral("Export to MS Excel");
    const QString deleteHint = QStringLiteral("Delete selected line");
    const QString clearHint = QStringLiteral("Clean full list");
    m_SpeedButton43 = barButton(QStringLiteral("SpeedButton43"), QStringLiteral("XLS"), exportHint);
    m_SpeedButton45 = barButton(QStringLiteral("SpeedButton45"), QStringLiteral("DEL"), deleteHint);
    m_SpeedButton44 = barButton(QStringLiteral("SpeedButton44"), QStringLiteral("CLR"), clearHint);
    m_SpeedButton49 = barButton(QStringLiteral("SpeedButton49"), QStringLiteral("XLS"), exportHint);
    m_SpeedButton47 = barButton(QStringLiteral("SpeedButton47"), QStringLiteral("DEL"), deleteHint);
    m_SpeedButton46 = barButton(QStringLiteral("SpeedButton46"), QStringLiteral("CLR"), clearHint);
    // Checked at every start: these two boxes are not kept in the settings.
    m_CheckBox5 = makeCheck(QStringLiteral("CheckBox5"), QStringLiteral("Clean list for each new export"));
    m_CheckBox5->setChecked(true);
    m_CheckBox6 = makeCheck(QStringLiteral("CheckBox6"), QStringLiteral("Clean list for each new export"));
    m_CheckBox6->setChecked(true);

    m_compareWidget = buildTab(parent, m_StringGrid2, m_CheckBox5, {m_SpeedButton43, m_SpeedButton45, m_SpeedButton44});
    m_analysisWidget =
        buildTab(parent, m_StringGrid3, m_CheckBox6, {m_SpeedButton49, m_SpeedButton47, m_SpeedButton46});

    connect(m_SpeedButton43, &QToolButton::clicked, this, &ResultTables::SpeedButton43Click);
    connect(m_SpeedButton45, &QToolButton::clicked, this, &ResultTables::SpeedButton45Click);
    connect(m_SpeedButton44, &QToolButton::clicked, this, &ResultTables::SpeedButton44Click);
    connect(m_SpeedButton49, &QToolButton::clicked, this, &ResultTables::SpeedButton49Click);
    connect(m_SpeedButton47, &QToolButton::clicked, this, &ResultTables::SpeedButton47Click);
    connect(new KeyWatcher(m_StringGrid2, Qt::Key_Delete), &KeyWatcher::pressed, this,
            &ResultTables::SpeedButton45Click);
    connect(new KeyWatcher(m_StringGrid3, Qt::Key_Delete), &KeyWatcher::pressed, this,
            &ResultTables::SpeedButton47Click);
    connect(m_SpeedButton46, &QToolButton::clicked, this, &ResultTables::SpeedButton46Click);
}

QWidget* ResultTables::buildTab(QWidget* parent, TableGrid* grid, QCheckBox* clean,
                                const QList<QToolButton*>& buttons) {
    auto* tab = new QWidget(parent);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* notice = new QLabel(QStringLiteral("For unregistered customers there is a restriction in obtaining data on "
                                             "prices by time"));
    notice->setStyleSheet(QStringLiteral("color: red; font-style: italic;"));
    notice->setWordWrap(true);
    layout->addWidget(notice);
    auto* middle = new QHBoxLayout;
    auto* bar = new QVBoxLayout;
    for (QToolButton* button : buttons)
        bar->addWidget(button);
    bar->addStretch(1);
    middle->addLayout(bar);
    middle->addWidget(grid, 1);
    layout->addLayout(middle, 1);
    layout->addWidget(clean);
    return tab;
}

bool ResultTables::cleanCompareForEachRun() const {
    return m_CheckBox5->isChecked();
}

bool ResultTables::cleanAnalysisForEachRun() const {
    return m_CheckBox6->isChecked();
}

int ResultTables::AppendCompareRow(const QStringList& cells) {
    const int row = m_StringGrid2->rowCount() - 1;
    m_compareRows->appendBatches(
        {{{cells.value(0), cells.value(1), cells.value(2)}, ResultSource::ShopComparison, QString(), {cells}}});
    return row;
}

int ResultTables::AppendAnalysisRow(const QMap<int, QString>& cells) {
    const int row = m_StringGrid3->rowCount() - 1;
    m_analysisRows->appendBatches({{{cells.value(1), cells.value(2), cells.value(3)},
                                    ResultSource::PriceAnalysis,
                                    QString(),
                                    {ResultRows::analysisCells(cells)}}});
    return row;
}

void ResultTables::deleteSelectedLine(TableGrid* grid) {
    const int row = grid->currentRow();
    if (!mayDeleteGridRow(grid->rowCount(), row, grid->cell(row, 1)))
        return;
    if (m_context.dialogs->confirm(QStringLiteral("Delete selected line ???")))
        DeleteGridRow(grid, row);
}

void ResultTables::SpeedButton43Click() {
    ExportGridToSpreadsheet(m_context, m_StringGrid2, QStringLiteral("Compare prices"));
}

void ResultTables::SpeedButton45Click() {
    deleteSelectedLine(m_StringGrid2);
}

void ResultTables::SpeedButton44Click() {
    if (m_compareRows->clearAsked(*m_context.dialogs))
        m_StringGrid2->clearRows();
}

void ResultTables::SpeedButton49Click() {
    ExportGridToSpreadsheet(m_context, m_StringGrid3, QStringLiteral("Analysis prices"));
}

void ResultTables::SpeedButton47Click() {
    deleteSelectedLine(m_StringGrid3);
}

void ResultTables::SpeedButton46Click() {
    if (m_analysisRows->clearAsked(*m_context.dialogs))
        m_StringGrid3->clearRows();
}
